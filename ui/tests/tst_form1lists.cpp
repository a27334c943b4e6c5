// Form1's headline lists: list() and listHot() on stored pages, the event pump during a parse,
// sorting by header clicks, the comment column marker and the popup menu pop1.

#include "ui/form1.h"
#include "ui/headlinelists.h"
#include "ui/navigationtree.h"
#include "ui/searchcommands.h"
#include "ui/windowstatus.h"
#include "lists/headlinemodel.h"
#include "platform/textfile.h"
#include "testsupport/formfixture.h"
#include "testsupport/specialfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QMenu>
#include <QSignalSpy>
#include "lists/headlinesortproxy.h"
#include <QTest>
#include <QTextDocument>
#include <QTimer>
#include <QToolTip>
#include <QTreeView>
#include <memory>

using namespace mz;

namespace {

const QString kBase = QStringLiteral("http://127.0.0.1:9");
const QString kIdle = QStringLiteral("墨舟 V1.3");

QString archivePage(int count, const QString &prefix = QStringLiteral("标题"))
{
    QString page = QStringLiteral("<html><body>\r\n<!-- 新闻开始 -->\r\n<ul>\r\n");
    for (int i = 1; i <= count; ++i)
        page += QStringLiteral("<li>[%1]<a href=/n/%2.shtml>%3%2</a></li>\r\n")
                    .arg(i % 3 ? QStringLiteral("国内") : QStringLiteral("体育"),
                         QString::number(i), prefix);
    return page + QStringLiteral("</ul>\r\n<!-- 新闻结束 -->\r\n</body></html>");
}

QString hotEntry(int n, const QString &title)
{
    return QStringLiteral("<td style='padding-top:2px' align=left class='linkBlue'><span "
                          "style='padding-left:6px'>"
                          "<a href=http://h.test/%1.shtml target=_blank>%2</a></span></td>"
                          "<td style='padding-top:2px' class='linkBlue'><a href=http://h.test/c/%1 "
                          "target=_blank>"
                          "评论</a></td>\r\n")
        .arg(n)
        .arg(title);
}

} // namespace

class TestForm1Lists : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void listMissingFile();
    void listWithoutEndMarker();
    void listCaptionsAndRows();
    void listRowIconsAndAddresses();
    void newerListDuringPumpWins();
    void newerListWithMissingFileStopsOlder();
    void closingStopsTheList();
    void listHotMissingFile();
    void listHotUnusableFile_data();
    void listHotUnusableFile();
    void listHotSections();
    void listHotWithoutEndMarker();
    void toolTipShowsTheTitleAsText_data();
    void toolTipShowsTheTitleAsText();
    void headerClickSortsAscending();
    void favoritesNeverSort();
    void commentColumnMarker();
    void rightReleaseShowsPop1_data();
    void rightReleaseShowsPop1();
    void leftReleaseShowsNoMenu();

private:
    QString write(const QString &name, const QString &text);
    void showList(QTreeView *view);

    std::unique_ptr<test::FormFixture> m_fixture;
    std::unique_ptr<Form1> m_form;
};

void TestForm1Lists::init()
{
    m_fixture = std::make_unique<test::FormFixture>();
    m_fixture->setPortal(kBase);
    m_form = m_fixture->create(); // not loaded: these tests feed list() and listHot() directly
}

void TestForm1Lists::cleanup()
{
    m_form.reset();
    m_fixture.reset();
}

QString TestForm1Lists::write(const QString &name, const QString &text)
{
    const QString path = m_fixture->dir.filePath(name);
    if (!writeTextFile(path, text))
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

void TestForm1Lists::showList(QTreeView *view)
{
    m_form->show();
    m_form->showListView(view);
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
}

void TestForm1Lists::listMissingFile()
{
    Form1 &f = *m_form;
    [[maybe_unused]] QString archive, hot;
    f.status().setPanel(WindowStatus::Panel::S1, u"before"_qs);
    f.setWindowTitle(u"caption before"_qs);
    archive = m_fixture->dir.filePath(u"news1000_20070302.shtml"_qs);
    f.list(archive);
    QCOMPARE(m_fixture->messages.messages,
             (QList<RecordedMessage>{{u"你还没有下载今日新闻"_qs, u"提示"_qs, MessageIcon::None}}));
    QCOMPARE(f.lists().model2()->rowCount(), 0);
    QCOMPARE(f.status().panel(WindowStatus::Panel::S1), u"before"_qs);
    QCOMPARE(f.windowTitle(), u"caption before"_qs);
}

void TestForm1Lists::listWithoutEndMarker()
{
    Form1 &f = *m_form;
    [[maybe_unused]] QString archive, hot;
    archive = write(u"a.shtml"_qs, archivePage(5).remove(u"<!-- 新闻结束 -->"_qs));
    f.list(archive);
    QCOMPARE(f.lists().model2()->rowCount(), 0);
    QCOMPARE(f.status().panel(WindowStatus::Panel::S1), u"所有共0条"_qs);
    QCOMPARE(f.windowTitle(), kIdle);
    QVERIFY(m_fixture->messages.messages.isEmpty());
}

void TestForm1Lists::listCaptionsAndRows()
{
    Form1 &f = *m_form;
    [[maybe_unused]] QString archive, hot;
    archive = write(u"a.shtml"_qs, archivePage(250, u"Title "_qs));
    QStringList captions;
    QList<int> rowsAtCaption;
    connect(&f, &QWidget::windowTitleChanged, this, [&](const QString &title) {
        captions << title;
        rowsAtCaption << f.lists().model2()->rowCount();
    });
    f.list(archive);
    QCOMPARE(captions, (QStringList{u"墨舟 V1.3  第100条"_qs, u"墨舟 V1.3  第200条"_qs, kIdle}));
    QCOMPARE(rowsAtCaption, (QList<int>{100, 200, 250}));
    QCOMPARE(f.status().panel(WindowStatus::Panel::S1), u"所有共250条"_qs);
    QCOMPARE(f.lists().model2()->rowCount(), 250);
    for (int i = 0; i < 250; ++i) {
        QCOMPARE(f.lists().model2()->row(i).title, u"title %1"_qs.arg(i + 1));
        QCOMPARE(f.lists().shownRow(f.ListView2, i).title, u"title %1"_qs.arg(i + 1));
    }
    QCOMPARE(f.lists().shownRowCount(f.ListView2), 250);
}

void TestForm1Lists::listRowIconsAndAddresses()
{
    Form1 &f = *m_form;
    [[maybe_unused]] QString archive, hot;
    archive = write(
        u"a.shtml"_qs,
        u"新闻开始<li>[]<a href=/x.shtml>t</a><li>[杂谈]<a href=\"/y.shtml\" target=_blank>u</a>"
        "<li>[国际]<a href=https://o.test/z>v</a>新闻结束"_qs);
    f.list(archive);
    QCOMPARE(f.lists().model2()->rowCount(), 3);
    const HeadlineRow &r0 = f.lists().model2()->row(0);
    QCOMPARE(r0.title, u"t"_qs);
    QCOMPARE(r0.sub1, u"考试"_qs);
    QCOMPARE(r0.tag, kBase + u"/x.shtml"_qs);
    QCOMPARE(r0.icon, 23);
    QCOMPARE(f.lists().model2()->row(1).tag, kBase + u"/y.shtml"_qs);
    QCOMPARE(f.lists().model2()->row(1).icon, 0);
    QCOMPARE(f.lists().model2()->row(2).tag, u"https://o.test/z"_qs);

    // The picture shown is ImageList1's at the row's icon index; no icon without a category.
    const QModelIndex i0 = f.lists().model2()->index(0, 0);
    QCOMPARE(f.lists().model2()->data(i0, Qt::DecorationRole).value<QIcon>().cacheKey(),
             f.ImageList1.at(23).cacheKey());
    QVERIFY(
        !f.lists().model2()->data(f.lists().model2()->index(1, 0), Qt::DecorationRole).isValid());
    QCOMPARE(f.lists().model2()->headerData(2, Qt::Horizontal, Qt::DisplayRole).toString(),
             u"日期"_qs);
    QVERIFY(!(f.lists().model2()->flags(i0) & Qt::ItemIsUserCheckable));
}

// A newer display of the archive that runs inside the older one's event pump replaces its
// rows completely; the older one stops and adds nothing afterwards.
void TestForm1Lists::newerListDuringPumpWins()
{
    Form1 &f = *m_form;
    [[maybe_unused]] QString archive, hot;
    const QString pageA = write(u"a.shtml"_qs, archivePage(1000, u"甲"_qs));
    const QString pageB = write(u"b.shtml"_qs, archivePage(150, u"乙"_qs));
    int nested = 0;
    QTimer::singleShot(0, &f, [&] {
        ++nested;
        archive = pageB;
        f.lists().model2()->clear();
        f.list(archive);
    });
    archive = pageA;
    f.list(archive);
    QCOMPARE(nested, 1);
    QCOMPARE(f.lists().model2()->rowCount(), 150);
    for (int i = 0; i < 150; ++i)
        QVERIFY(f.lists().model2()->row(i).title.startsWith(u"乙"_qs));
    QCOMPARE(f.status().panel(WindowStatus::Panel::S1), u"所有共150条"_qs);
    QCOMPARE(f.windowTitle(), kIdle);
}

void TestForm1Lists::newerListWithMissingFileStopsOlder()
{
    Form1 &f = *m_form;
    [[maybe_unused]] QString archive, hot;
    archive = write(u"a.shtml"_qs, archivePage(500));
    QTimer::singleShot(0, &f, [&] {
        archive = m_fixture->dir.filePath(u"missing.shtml"_qs);
        f.lists().model2()->clear();
        f.list(archive);
    });
    f.status().setPanel(WindowStatus::Panel::S1, u"before"_qs);
    f.list(archive);
    QCOMPARE(m_fixture->messages.messages.size(), 1);
    QCOMPARE(f.lists().model2()->rowCount(), 0);
    QCOMPARE(f.status().panel(WindowStatus::Panel::S1), u"before"_qs);
    QCOMPARE(f.windowTitle(), kIdle);
}

// A window closed while a large page fills ListView2 leaves at once: the parse stops at the pump
// that closed it instead of reading the rest of the page, and no box is raised afterwards (one
// standing alone would keep the program running until answered).
void TestForm1Lists::closingStopsTheList()
{
    Form1 &f = *m_form;
    [[maybe_unused]] QString archive, hot;
    archive = write(u"a.shtml"_qs, archivePage(1000));
    f.show();
    QTimer::singleShot(0, &f, [&] { f.close(); });
    f.list(archive);
    QVERIFY(!f.isVisible());
    QVERIFY2(f.lists().model2()->rowCount() < 1000,
             qPrintable(QString::number(f.lists().model2()->rowCount())));
    const QString folder = m_fixture->dir.filePath(u"20070302.shtml"_qs);
    QVERIFY(QDir().mkdir(folder));
    f.listHot(folder); // says why the hot news cannot be read, while the window is open
    QVERIFY(m_fixture->messages.messages.isEmpty());
}

// Under the hot news page's name stands what no page read can finish or what no hot news page
// is: the list stays empty, the user is told why, and the thing stays as it was.
void TestForm1Lists::listHotUnusableFile_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");
    QTest::newRow("fifo") << u"fifo"_qs << u"不是普通文件"_qs;
    QTest::newRow("folder") << u"folder"_qs << u"不是普通文件"_qs;
    QTest::newRow("link-to-device") << u"device"_qs << u"不是普通文件"_qs;
}

void TestForm1Lists::listHotUnusableFile()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    Form1 &f = *m_form;
    const QString hot = m_fixture->dir.filePath(u"20070302.shtml"_qs);
    QVERIFY(mz::test::makeSpecialFile(hot, kind));
    f.listHot(hot);
    QCOMPARE(f.lists().model1()->rowCount(), 0);
    QCOMPARE(m_fixture->messages.messages.size(), 1);
    QVERIFY2(m_fixture->messages.messages.first().text.contains(reason),
             qPrintable(m_fixture->messages.messages.first().text));
    QVERIFY(!QFileInfo(hot).isFile() || QFileInfo(hot).isSymLink());
}

void TestForm1Lists::listHotMissingFile()
{
    Form1 &f = *m_form;
    [[maybe_unused]] QString archive, hot;
    f.status().setPanel(WindowStatus::Panel::S1, u"before"_qs);
    hot = m_fixture->dir.filePath(u"20070302.shtml"_qs);
    f.listHot(hot);
    QCOMPARE(f.lists().model1()->rowCount(), 0);
    QCOMPARE(f.status().panel(WindowStatus::Panel::S1), u"before"_qs);
    QVERIFY(m_fixture->messages.messages.isEmpty());
}

void TestForm1Lists::listHotSections()
{
    Form1 &f = *m_form;
    [[maybe_unused]] QString archive, hot;
    QString page = u"<html>国内新闻<table>"_qs + hotEntry(1, u"NBA 总决赛"_qs);
    page += u"<!-- 体育新闻 begin -->"_qs + hotEntry(2, u"体育二"_qs);
    page +=
        u"<!-- 军事新闻 begin --><!-- 科技新闻 begin --><!-- 财经新闻 begin --><!-- 娱乐新闻 begin -->"_qs +
        hotEntry(3, u"娱乐三"_qs);
    page += u"</table>新闻中心意见反馈留言板</html>"_qs;
    hot = write(u"hot.shtml"_qs, page);
    QString captionBefore = f.windowTitle();
    f.listHot(hot);
    QCOMPARE(f.lists().model1()->rowCount(), 3);
    QCOMPARE(f.status().panel(WindowStatus::Panel::S1), u"热点新闻共3条!"_qs);
    QCOMPARE(f.windowTitle(), captionBefore);
    // No "国际新闻 begin": the entries before "体育新闻 begin" are international.
    QCOMPARE(f.lists().model1()->row(0).title, u"NBA 总决赛"_qs);
    QCOMPARE(f.lists().model1()->row(0).sub1, u"国际新闻"_qs);
    QCOMPARE(f.lists().model1()->row(0).icon, 5);
    QCOMPARE(f.lists().model1()->row(1).sub1, u"体育新闻"_qs);
    QCOMPARE(f.lists().model1()->row(2).sub1, u"娱乐新闻"_qs);
    QCOMPARE(f.lists().model1()->row(2).icon, 11);
    QCOMPARE(f.lists().model1()->row(2).sub2, u"http://h.test/c/3"_qs);

    // Hot news rows carry an unticked tick box and show the comment address in column 3.
    const QModelIndex i0 = f.lists().model1()->index(0, 0);
    QVERIFY(f.lists().model1()->flags(i0) & Qt::ItemIsUserCheckable);
    QCOMPARE(f.lists().model1()->data(i0, Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
    QCOMPARE(f.lists().model1()->headerData(2, Qt::Horizontal, Qt::DisplayRole).toString(),
             u"评论"_qs);
    QCOMPARE(f.lists().model1()->data(f.lists().model1()->index(0, 2)).toString(),
             u"http://h.test/c/1"_qs);
}

void TestForm1Lists::listHotWithoutEndMarker()
{
    Form1 &f = *m_form;
    [[maybe_unused]] QString archive, hot;
    hot = write(u"hot.shtml"_qs, u"国内新闻"_qs + hotEntry(1, u"t"_qs));
    f.listHot(hot);
    QCOMPARE(f.lists().model1()->rowCount(), 0);
    QCOMPARE(f.status().panel(WindowStatus::Panel::S1), u"热点新闻共0条!"_qs);
}

// A title that looks like markup is shown as it stands in the row's tooltip too: not as a
// picture read from a file, bold text or a character.
void TestForm1Lists::toolTipShowsTheTitleAsText_data()
{
    QTest::addColumn<QString>("title"); // as the page writes it
    QTest::addColumn<QString>("shown");
    QTest::newRow("picture") << u"<img src=\"secret.png\">图片"_qs
                             << u"<img src=\"secret.png\">图片"_qs;
    QTest::newRow("bold") << u"<b>粗</b>体"_qs << u"<b>粗</b>体"_qs;
    QTest::newRow("written-reference") << u"&amp;lt;b&amp;gt;"_qs << u"&lt;b&gt;"_qs;
}

void TestForm1Lists::toolTipShowsTheTitleAsText()
{
    QFETCH(QString, title);
    QFETCH(QString, shown);
    Form1 &f = *m_form;
    const QString page = u"<html>国内新闻<table>"_qs + hotEntry(1, title) +
                         u"</table>新闻中心意见反馈留言板</html>"_qs;
    f.listHot(write(u"hot.shtml"_qs, page));
    showList(f.ListView1);
    QTreeView *view = f.ListView1;
    const QRect cell = view->visualRect(view->model()->index(0, 0));
    QHelpEvent help(QEvent::ToolTip, cell.center(), view->viewport()->mapToGlobal(cell.center()));
    QApplication::sendEvent(view->viewport(), &help);
    QTRY_VERIFY(QToolTip::isVisible());
    QTextDocument tip;
    tip.setHtml(QToolTip::text());
    QCOMPARE(tip.toPlainText(), shown);
    QToolTip::hideText();
}

void TestForm1Lists::headerClickSortsAscending()
{
    Form1 &f = *m_form;
    [[maybe_unused]] QString archive, hot;
    archive = write(
        u"a.shtml"_qs,
        u"新闻开始<li>[体育]<a href=/1>b</a><li>[国内]<a href=/2>c</a><li>[财经]<a href=/3>a</a>"
        "<li>[国内]<a href=/4>d</a>新闻结束"_qs);
    f.list(archive);
    showList(f.ListView2);

    QHeaderView *header = f.ListView2->header();
    const auto clickHeader = [&](int section) {
        const QPoint p(header->sectionViewportPosition(section) + header->sectionSize(section) / 2,
                       header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, p);
    };
    const auto shownColumn = [&](int column) {
        QStringList out;
        for (int i = 0; i < f.lists().shownRowCount(f.ListView2); ++i) {
            const HeadlineRow &r = f.lists().shownRow(f.ListView2, i);
            out << (column == 0 ? r.title : r.sub1 + r.title);
        }
        return out;
    };

    // Category order, twice: still ascending; equal categories keep their page order.
    const QStringList byCategory{u"体育b"_qs, u"国内c"_qs, u"国内d"_qs, u"财经a"_qs};
    QStringList sortedCategories = byCategory;
    std::sort(sortedCategories.begin(), sortedCategories.end(),
              [](const QString &a, const QString &b) { return a.left(2) < b.left(2); });
    clickHeader(1);
    QCOMPARE(shownColumn(1), sortedCategories);
    clickHeader(1);
    QCOMPARE(shownColumn(1), sortedCategories);
    QCOMPARE(f.lists().proxy2()->sortOrder(), Qt::AscendingOrder);

    clickHeader(0);
    QCOMPARE(shownColumn(0), (QStringList{u"a"_qs, u"b"_qs, u"c"_qs, u"d"_qs}));
    // The model keeps the page order; the sort stays on for a later fill.
    QCOMPARE(f.lists().model2()->row(0).title, u"b"_qs);
    f.lists().model2()->clear();
    f.list(archive);
    QCOMPARE(shownColumn(0), (QStringList{u"a"_qs, u"b"_qs, u"c"_qs, u"d"_qs}));

    // ListView1 sorts the same way, through its own handler.
    f.lists().model1()->append(HeadlineRows{{u"z"_qs, u"国内新闻"_qs, {}, {}, 6, false},
                                            {u"y"_qs, u"体育新闻"_qs, {}, {}, 10, false}});
    f.ListView1_ColumnClick(0);
    QCOMPARE(f.lists().shownRow(f.ListView1, 0).title, u"y"_qs);
    QCOMPARE(f.lists().model1()->row(0).title, u"z"_qs);
}

void TestForm1Lists::favoritesNeverSort()
{
    Form1 &f = *m_form;
    [[maybe_unused]] QString archive, hot;
    f.lists().model3()->append(
        HeadlineRows{{u"c"_qs, u"国内"_qs, u"2007-3-2"_qs, u"http://x/1"_qs, 0, false},
                     {u"a"_qs, u"体育"_qs, u"2007-3-1"_qs, u"http://x/2"_qs, 0, false}});
    showList(f.ListView3);
    QHeaderView *header = f.ListView3->header();
    for (int section = 0; section < 3; ++section) {
        const QPoint p(header->sectionViewportPosition(section) + 5, header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, p);
    }
    QCOMPARE(f.lists().shownRow(f.ListView3, 0).title, u"c"_qs);
    QCOMPARE(f.lists().shownRow(f.ListView3, 1).title, u"a"_qs);
    QVERIFY(
        !f.lists().model3()->data(f.lists().model3()->index(0, 0), Qt::DecorationRole).isValid());
}

void TestForm1Lists::commentColumnMarker()
{
    Form1 &f = *m_form;
    [[maybe_unused]] QString archive, hot;
    f.lists().model1()->append(
        HeadlineRows{{u"t"_qs, u"国内新闻"_qs, u"http://c"_qs, u"http://a"_qs, 6, false}});
    showList(f.ListView1);
    QHeaderView *header = f.ListView1->header();
    header->resizeSection(0, 120);
    header->resizeSection(1, 60);
    QVERIFY(f.ListView1->viewport()->width() > 200);
    QWidget *vp = f.ListView1->viewport();

    QVERIFY(!f.lists().commentColumnHit());
    QTest::mousePress(vp, Qt::LeftButton, {}, QPoint(180, 8)); // exactly at the right edge
    QTest::mouseRelease(vp, Qt::LeftButton, {}, QPoint(180, 8));
    QVERIFY(!f.lists().commentColumnHit());
    QTest::mousePress(vp, Qt::MiddleButton, {}, QPoint(181, 8));
    QTest::mouseRelease(vp, Qt::MiddleButton, {}, QPoint(181, 8));
    QVERIFY(f.lists().commentColumnHit());
    // The marker describes the last press: one in the first two columns clears it.
    QTest::mouseClick(vp, Qt::LeftButton, {}, QPoint(10, 8));
    QVERIFY(!f.lists().commentColumnHit());

    // Presses in the other views do not set it.
    f.lists().setCommentColumnHit(false);
    showList(f.ListView2);
    QTest::mouseClick(f.ListView2->viewport(), Qt::LeftButton, {}, QPoint(190, 8));
    QVERIFY(!f.lists().commentColumnHit());
}

void TestForm1Lists::rightReleaseShowsPop1_data()
{
    QTest::addColumn<int>("view");
    QTest::newRow("ListView1") << 1;
    QTest::newRow("ListView2") << 2;
    QTest::newRow("ListView3") << 3;
}

void TestForm1Lists::rightReleaseShowsPop1()
{
    QFETCH(int, view);
    Form1 &f = *m_form;
    [[maybe_unused]] QString archive, hot;
    QTreeView *v = view == 1 ? f.ListView1 : view == 2 ? f.ListView2 : f.ListView3;
    showList(v);
    const QPoint at(30, 20);
    QTest::mouseClick(v->viewport(), Qt::RightButton, {}, at);
    QTRY_VERIFY(f.pop1->isVisible());
    QCOMPARE(f.pop1->pos(), f.ListView1->viewport()->mapToGlobal(at));

    const QStringList expected{u"s4 打开新闻"_qs,         u"s41 打开新闻评论"_qs,
                               u"s48 朗读打勾新闻"_qs,    u"s47 朗读所有新闻"_qs,
                               u"s46 停止朗读新闻"_qs,    u"q5 -"_qs,
                               u"s5 下载打勾的新闻"_qs,   u"s7 添加关键词"_qs,
                               u"s9 将此新闻发给好友"_qs, u"q55 -"_qs,
                               u"shouc1 收藏此新闻"_qs,   u"shouc1del 从收藏夹删除此新闻"_qs};
    QStringList shown;
    for (QAction *a : f.pop1->actions()) {
        QVERIFY(a->isVisible());
        QVERIFY(a->isEnabled());
        shown << a->objectName() + u' ' + (a->isSeparator() ? u"-"_qs : a->text());
    }
    QCOMPARE(shown, expected);
    f.pop1->close();
    QVERIFY(!f.pop1->isVisible());
}

void TestForm1Lists::leftReleaseShowsNoMenu()
{
    Form1 &f = *m_form;
    [[maybe_unused]] QString archive, hot;
    showList(f.ListView2);
    QTest::mouseClick(f.ListView2->viewport(), Qt::LeftButton, {}, QPoint(30, 20));
    f.ListView_MouseUp(f.ListView3, Qt::MiddleButton, 30, 20);
    QCoreApplication::processEvents();
    QVERIFY(!f.pop1->isVisible());
}

QTEST_MAIN(TestForm1Lists)
#include "tst_form1lists.moc"
