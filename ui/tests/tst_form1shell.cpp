#include "ui/form1.h"
#include "testsupport/fontscope.h"
#include "ui/transferbars.h"
#include "ui/headlinelists.h"
#include "ui/navigationtree.h"
#include "ui/searchcommands.h"
#include "ui/windowstatus.h"
#include "ui/widgetmessages.h"
#include "portal/portalsite.h"
#include "lists/headlinemodel.h"
#include "platform/textfile.h"
#include "testsupport/contrast.h"
#include "testsupport/formfixture.h"

#include <QStatusBar>
#include <QAccessible>
#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QApplication>
#include <QTranslator>
#include <QToolBar>
#include <QTreeView>
#include <QTreeWidget>

#include <sys/stat.h>

using mz::test::crlf;
using mz::test::FormFixture;

namespace {

QStringList childKeys(QTreeWidgetItem *root)
{
    QStringList keys;
    for (int i = 0; i < root->childCount(); ++i)
        keys << NavigationTree::nodeKey(root->child(i));
    return keys;
}

const QString kOption =
    crlf(QStringLiteral("[旧新闻存放天数]\n3天\n[你的关键词]\n股票+证券\n\nnba\n[分类]"
                        "\n国内\n文化\n体育\n[新闻网站]\nhttp://x\n"));

// Shows the window 1000 by 700 with `list` in front, its minimum size lifted so that a test
// can make it as small as it likes; whether the window came on screen.
bool showFreelySized(Form1 &form, QTreeView *list)
{
    form.setMinimumSize(0, 0);
    form.resize(1000, 700);
    form.showListView(list);
    form.show();
    return QTest::qWaitForWindowExposed(&form);
}

} // namespace

class UrlSink : public QObject
{
    Q_OBJECT
public Q_SLOTS:
    void take(const QUrl &url) { urls << url; }

public:
    QList<QUrl> urls;
};

class TestForm1Shell : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void startUpBuildsTree()
    {
        FormFixture f(kOption);
        // A stored archive for 2007-3-1 shows image 1 on its node.
        mz::writeTextFile(f.dir.filePath(QStringLiteral("news1000_20070301.shtml")),
                          QStringLiteral("x"));
        // A folder named like 2007-2-28's archive is no stored archive.
        QVERIFY(QDir(f.dir.path()).mkdir(QStringLiteral("news1000_20070228.shtml")));
        auto form = f.load();
        QCOMPARE(form->windowTitle(), QStringLiteral("墨舟1.3版"));
        QTreeWidget *tree = form->TreeView1;
        QCOMPARE(tree->topLevelItemCount(), 5);
        QStringList roots, rootTexts;
        for (int i = 0; i < 5; ++i) {
            roots << NavigationTree::nodeKey(tree->topLevelItem(i));
            rootTexts << tree->topLevelItem(i)->text(0);
            QCOMPARE(NavigationTree::nodeImage(tree->topLevelItem(i)), 3);
        }
        QCOMPARE(roots, (QStringList{"k0", "k1", "k2", "k3", "k4"}));
        QCOMPARE(rootTexts, (QStringList{QStringLiteral("今日新闻"), QStringLiteral("旧新闻"),
                                         QStringLiteral("你的关键词"), QStringLiteral("分类"),
                                         QStringLiteral("收藏夹")}));
        QCOMPARE(childKeys(tree->topLevelItem(0)), QStringList{"k20070302"});
        QCOMPARE(tree->topLevelItem(0)->child(0)->text(0), QStringLiteral("2007-3-2"));
        QCOMPARE(NavigationTree::nodeImage(tree->topLevelItem(0)->child(0)), 4);
        QCOMPARE(childKeys(tree->topLevelItem(1)),
                 (QStringList{"k20070301", "k20070228", "k20070227"}));
        QCOMPARE(NavigationTree::nodeImage(form->tree().nodeByKey("k20070301")), 1);
        QCOMPARE(NavigationTree::nodeImage(form->tree().nodeByKey("k20070228")), 4);
        // A screen reader hears what the pictures show.
        const auto description = [&form](const char *key) {
            return form->tree().nodeByKey(key)->data(0, Qt::AccessibleDescriptionRole).toString();
        };
        QCOMPARE(description("k20070301"), QStringLiteral("已下载"));
        QCOMPARE(description("k20070228"), QStringLiteral("未下载"));
        // Keywords k21..k23 (the empty line is a keyword), categories share the numbering and a
        // refused line (文化) still uses one.
        QCOMPARE(childKeys(tree->topLevelItem(2)), (QStringList{"k21", "k22", "k23"}));
        QCOMPARE(tree->topLevelItem(2)->child(1)->text(0), QString());
        QCOMPARE(NavigationTree::nodeImage(tree->topLevelItem(2)->child(0)), 26);
        QCOMPARE(childKeys(tree->topLevelItem(3)), (QStringList{"k34", "k36"}));
        QCOMPARE(NavigationTree::nodeImage(form->tree().nodeByKey("k36")), 10);
        QCOMPARE(form->tree().nn(), 6);
        QVERIFY(tree->topLevelItem(0)->isExpanded());
        QVERIFY(tree->topLevelItem(1)->isExpanded());
        QVERIFY(tree->topLevelItem(2)->isExpanded());
        QVERIFY(!tree->topLevelItem(3)->isExpanded());
        QCOMPARE(form->tree().selectedKey(), QStringLiteral("k20070302"));
        QCOMPARE(form->tree().today().label, QStringLiteral("2007-3-2"));
        // Nothing shown, nothing searched.
        QVERIFY(form->ListView1->isHidden() && form->ListView2->isHidden() &&
                form->ListView3->isHidden() && form->WebBrowser1->isHidden());
        QCOMPARE(form->status().panel(WindowStatus::Panel::S2), QString());
        QVERIFY(f.messages.messages.isEmpty());
        QCOMPARE(f.speech.calls.size(), 1);
        QVERIFY(f.speech.calls.first().contains(QStringLiteral("提醒您系统未安装语音库")));
        form->close();
        QCOMPARE(f.speech.calls.last(), QStringLiteral("close"));
    }

    // The last column: what the notice at load says, empty when there is none.
    void missingOrBrokenOptionFile_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("kind"); // what stands in the file's place, if not the file
        QTest::addColumn<QString>("notice");
        QTest::newRow("missing") << QString() << QString() << QString();
        QTest::newRow("only-days")
            << crlf(QStringLiteral("[旧新闻存放天数]\n2天")) << QString() << QString();
        QTest::newRow("garbage") << QStringLiteral("[[[[天天\r\n[") << QString() << QString();
        QTest::newRow("a-folder") << QString() << "folder" << QStringLiteral("不是普通文件");
        // A FIFO would hold the window's load until some program wrote into it.
        QTest::newRow("a-fifo") << QString() << "fifo" << QStringLiteral("不是普通文件");
        QTest::newRow("far-too-large")
            << crlf(QStringLiteral("[你的关键词]\n")) + QStringLiteral("nba\r\n").repeated(300000)
            << QString() << QStringLiteral("过大");
    }
    void missingOrBrokenOptionFile()
    {
        QFETCH(QString, option);
        QFETCH(QString, kind);
        QFETCH(QString, notice);
        FormFixture f(option);
        const QString path = f.dir.filePath(QStringLiteral("option.ini"));
        if (option.isNull())
            QFile::remove(path);
        if (kind == u"folder")
            QVERIFY(QDir(f.dir.path()).mkdir(QStringLiteral("option.ini")));
        else if (kind == u"fifo")
            QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        auto form = f.load();
        QCOMPARE(form->TreeView1->topLevelItemCount(), 5);
        QCOMPARE(form->TreeView1->topLevelItem(2)->childCount(), 0);
        QCOMPARE(form->tree().selectedKey(), QStringLiteral("k20070302"));
        QCOMPARE(f.messages.messages.size(), notice.isEmpty() ? 0 : 1);
        if (!notice.isEmpty())
            QVERIFY2(f.messages.messages.first().text.contains(notice),
                     qPrintable(f.messages.messages.first().text));
    }

    void rightClickSetsStatesAndShowsPop()
    {
        FormFixture f(kOption);
        auto form = f.load();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QTreeWidget *tree = form->TreeView1;
        QTreeWidgetItem *keyword = form->tree().nodeByKey("k21");
        tree->scrollToItem(keyword);
        const QPoint at = tree->visualItemRect(keyword).center();
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(form->tree().selectedKey(), QStringLiteral("k21"));

        // The menu acts on the selected node; a release without a press on a node keeps it.
        QTreeWidgetItem *day = form->tree().nodeByKey("k20070301");
        const QPoint dayAt = tree->visualItemRect(day).center();
        QTest::mouseRelease(tree->viewport(), Qt::RightButton, {}, dayAt);
        QCOMPARE(form->tree().selectedKey(), QStringLiteral("k21"));
        QTRY_VERIFY(form->pop->isVisible());
        QVERIFY(form->s3->isEnabled() && form->s66->isEnabled() && form->s666->isEnabled());
        QVERIFY(!form->s1->isEnabled() && !form->s8->isEnabled() && !form->s0->isEnabled());
        QVERIFY(form->s6->isEnabled() && form->s6666->isEnabled() && form->s00->isEnabled());
        form->pop->close();

        // The favorites root keeps the states of the previous right click.
        QTest::mousePress(tree->viewport(), Qt::RightButton, {},
                          tree->visualItemRect(form->tree().nodeByKey("k4")).center());
        QTest::mouseRelease(tree->viewport(), Qt::RightButton, {}, dayAt);
        QCOMPARE(form->tree().selectedKey(), QStringLiteral("k4"));
        QTRY_VERIFY(form->pop->isVisible());
        QVERIFY(form->s3->isEnabled() && form->s66->isEnabled() && !form->s1->isEnabled());
        form->pop->close();

        // Left release opens nothing.
        QTest::mouseRelease(tree->viewport(), Qt::LeftButton, {}, dayAt);
        QVERIFY(!form->pop->isVisible());

        // The pop items in order, separators included.
        QStringList names;
        for (QAction *a : form->pop->actions())
            names << a->objectName();
        QCOMPARE(names, (QStringList{"s1hot", "s1", "q1", "s2hot", "s2", "q2", "s0", "s00", "q3",
                                     "s3", "s8", "s6666", "q4", "s6", "s66", "s666"}));
    }

    void toolbarButtons()
    {
        FormFixture f(kOption);
        auto form = f.load();
        const QList<QAction *> buttons = form->Toolbar1->actions();
        QCOMPARE(buttons.size(), 21);
        QCOMPARE(buttons[0]->data().toString(), QStringLiteral("button0"));
        QCOMPARE(buttons[0]->toolTip(), QStringLiteral("热点新闻"));
        QCOMPARE(buttons[12]->text(), QStringLiteral("生活"));
        QCOMPARE(buttons[12]->data().toString(), QString());
        QCOMPARE(buttons[19]->data().toString(), QStringLiteral("button21"));
        QCOMPARE(buttons[20]->data().toString(), QStringLiteral("button20"));
        QCOMPARE(form->ImageList2.size(), 21);
        QVERIFY(form->ImageList1.size() >= 27);
        for (int i : {1, 2, 3, 4, 5, 24, 26})
            QVERIFY2(!form->ImageList1[i].isNull(), qPrintable(QString::number(i)));

        // The keyless 生活 button is a category button: it lists 生活 and shows ListView1.
        mz::HeadlineRow life;
        life.title = QStringLiteral("社区菜价平稳");
        life.sub1 = QStringLiteral("生活");
        mz::HeadlineRow other;
        other.title = QStringLiteral("股市收涨");
        other.sub1 = QStringLiteral("财经");
        form->lists().model2()->append(mz::HeadlineRows{life, other});
        buttons[12]->trigger();
        QCOMPARE(form->lists().model1()->rowCount(), 1);
        QCOMPARE(form->lists().model1()->row(0).title, life.title);
        QCOMPARE(form->status().panel(WindowStatus::Panel::S2), QStringLiteral("搜索到1条!"));
        QVERIFY(form->ListView1->isVisibleTo(form.get()));
        QVERIFY(form->ListView2->isHidden());

        // Command4 empties ListView1.
        form->Command4->click();
        QCOMPARE(form->lists().model1()->rowCount(), 0);
    }

    void resizeKeepsPanesTogether()
    {
        FormFixture f(kOption);
        auto form = f.load();
        form->resize(900, 600);
        form->Form_Resize();
        const QRect list = form->ListView1->geometry();
        QCOMPARE(form->ListView2->geometry(), list);
        QCOMPARE(form->ListView3->geometry(), list);
        QCOMPARE(form->WebBrowser1->geometry(), list);
        QCOMPARE(form->TreeView1->width(), 265);
        QVERIFY(list.left() > form->TreeView1->geometry().right());
        // The progress band lies between the panes and the status bar, covering neither.
        const QRect band = form->transferBars().geometry();
        QVERIFY(band.height() > 0);
        QVERIFY(list.bottom() < band.top());
        QVERIFY(form->TreeView1->geometry().bottom() < band.top());
        QVERIFY(band.bottom() < form->StatusBar1->geometry().top());
        // Too low: nothing moves (below the window's own minimum, so that is lifted here).
        form->setMinimumSize(0, 0);
        form->resize(900, 3 * form->Toolbar1->sizeHint().height());
        form->Form_Resize();
        QCOMPARE(form->ListView1->geometry(), list);
    }

    // The search box and its button show their texts whole in any font and stay above the tree.
    void searchRowFitsTheFont_data()
    {
        QTest::addColumn<int>("pointSize"); // 0: the default font
        QTest::newRow("default") << 0;
        QTest::newRow("20pt") << 20;
    }
    void searchRowFitsTheFont()
    {
        QFETCH(int, pointSize);
        const mz::test::ApplicationFontScope scope(pointSize);
        const QFont &font = scope.font();
        FormFixture f(kOption);
        auto form = f.load();
        form->resize(1000, 700);
        form->Form_Resize();

        const QRect box = form->Text2->geometry(), button = form->Command6->geometry();
        const QFontMetrics metrics(font);
        QVERIFY2(button.width() > metrics.horizontalAdvance(form->Command6->text()),
                 "the button's caption is cut");
        QVERIFY2(box.height() > metrics.height(), "the typed text is cut");
        QCOMPARE(button.height(), box.height());
        QCOMPARE(button.left(), box.right() + 1);
        QVERIFY(button.right() <= form->TreeView1->geometry().right());
        QVERIFY(form->TreeView1->geometry().top() > box.bottom());
        if (!pointSize) { // a font that fits keeps the design sizes
            QCOMPARE(box.height(), 25);
            QCOMPARE(button.width(), 65);
        }
    }

    // The title column follows the window's width; a window made very small and then large
    // again gives the titles their room back.
    void titleColumnComesBackAfterShrinking()
    {
        FormFixture f(kOption);
        auto form = f.load();
        QVERIFY(showFreelySized(*form, form->ListView1));
        const QHeaderView *header = form->ListView1->header();
        const int title = header->sectionSize(0);
        QVERIFY(title > 200);
        form->resize(280, 700); // the list has no width left
        QTRY_COMPARE(header->sectionSize(0), header->minimumSectionSize());
        form->resize(1000, 700);
        QTRY_COMPARE(header->sectionSize(0), title);
    }

    // A list hidden while the window is resized (another list is shown) has its title follow
    // the change as well, so that it fits its width when it is shown again.
    void titleColumnFollowsWhileHidden_data()
    {
        QTest::addColumn<int>("windowWidth"); // the window's width while ListView2 is hidden
        QTest::newRow("wider") << 1300;
        QTest::newRow("narrower") << 800;
        QTest::newRow("no-room-left") << 300;
    }
    void titleColumnFollowsWhileHidden()
    {
        QFETCH(int, windowWidth);
        FormFixture f(kOption);
        auto form = f.load();
        QVERIFY(showFreelySized(*form, form->ListView2));
        const QHeaderView *header = form->ListView2->header();
        const int title = header->sectionSize(0);
        const int width = form->ListView2->viewport()->width();
        QVERIFY(title > 200);

        form->showListView(form->ListView1);
        form->resize(windowWidth, 700);
        QTRY_COMPARE(form->width(), windowWidth);
        form->showListView(form->ListView2);
        const int grown = form->ListView2->viewport()->width() - width;
        QVERIFY(grown != 0);
        QCOMPARE(header->sectionSize(0), qMax(header->minimumSectionSize(), title + grown));
        QCOMPARE(header->sectionSize(1), 90);
    }

    // The title's width does not follow the list's scroll bar: a list filled after the widths
    // were restored gave the bar's room to the title, which was stored so at exit and came
    // back narrower at every start; emptied, the list gave it back.
    void titleColumnIgnoresTheScrollBar()
    {
        FormFixture f(kOption + QStringLiteral("[窗口]\r\n0,0,760,560,200,500,90,100,500,90,100,"
                                               "500,90,100\r\n"));
        auto form = f.load();
        form->showListView(form->ListView1);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        const QHeaderView *header = form->ListView1->header();
        QCOMPARE(header->sectionSize(0), 500);
        mz::HeadlineModel *model = form->lists().model1();
        model->append(mz::HeadlineRows(300, {QStringLiteral("标题"),
                                             QStringLiteral("国内新闻"),
                                             {},
                                             QStringLiteral("http://x/1.shtml")}));
        QTRY_VERIFY(form->ListView1->verticalScrollBar()->isVisible());
        QCOMPARE(header->sectionSize(0), 500);
        model->clear();
        QTRY_VERIFY(!form->ListView1->verticalScrollBar()->isVisible());
        QCOMPARE(header->sectionSize(0), 500);
    }

    // A list first shown narrower than its columns were laid out for (the window fitted into a
    // small screen, or made small before it showed) narrows the title so the columns after it
    // stay in sight, down to the header's minimum. A wide window keeps the laid-out width, and
    // widths remembered from the user's last session are kept as they were, unless the window
    // is fitted into a smaller screen than the one they were kept on.
    void titleColumnLeavesRoomForTheOthers_data()
    {
        QTest::addColumn<int>("windowWidth"); // 0: as the window opened on the test screen
        QTest::addColumn<QString>("place");   // the "[窗口]" line, or none
        QTest::addColumn<bool>("showLater");  // ListView2, shown once the window is open
        QTest::addColumn<int>("title");       // 0: what leaves room, -1: the header's minimum
        QTest::newRow("fitted-into-the-screen") << 0 << QString() << false << 0;
        QTest::newRow("list-shown-later") << 0 << QString() << true << 0;
        QTest::newRow("no-room-at-all") << 300 << QString() << false << -1;
        QTest::newRow("wide-window") << 1400 << QString() << false << 460;
        QTest::newRow("remembered-widths")
            << 0 << QStringLiteral("0,0,760,560,200,500,90,100,500,90,100,500,90,100") << false
            << 500;
        QTest::newRow("remembered-on-a-larger-screen")
            << 0 << QStringLiteral("0,0,1400,560,200,950,90,100,950,90,100,950,90,100") << false
            << 0;
    }
    void titleColumnLeavesRoomForTheOthers()
    {
        QFETCH(int, windowWidth);
        QFETCH(QString, place);
        QFETCH(bool, showLater);
        QFETCH(int, title);
        FormFixture f(place.isEmpty() ? kOption
                                      : kOption + QStringLiteral("[窗口]\r\n%1\r\n").arg(place));
        auto form = f.load();
        form->setMinimumSize(0, 0);
        if (windowWidth)
            form->resize(windowWidth, 600);
        QTreeView *view = showLater ? form->ListView2 : form->ListView1;
        if (!showLater)
            form->showListView(view);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        if (showLater)
            form->showListView(view);
        const QHeaderView *header = view->header();
        if (title == 0) {
            QCOMPARE(header->length(), view->viewport()->width());
            QVERIFY(header->sectionSize(0) < 460);
        } else {
            QCOMPARE(header->sectionSize(0), title < 0 ? header->minimumSectionSize() : title);
        }
        QCOMPARE(header->sectionSize(1), 90);
    }

    // A window closed maximised opens at its normal size with the columns that size had: the
    // title kept its maximised width, which pushed the other columns out of sight.
    void maximisedWindowKeepsNormalColumns()
    {
        FormFixture f(kOption);
        int title = 0;
        {
            auto form = f.load();
            QVERIFY(showFreelySized(*form, form->ListView1));
            form->resize(760, 560);
            QTRY_COMPARE(form->width(), 760);
            title = form->ListView1->header()->sectionSize(0);
            form->showMaximized();
            QTRY_VERIFY(form->ListView1->header()->sectionSize(0) > title);
            form->close();
        }
        auto form = f.load();
        form->showListView(form->ListView1);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QCOMPARE(form->width(), 760);
        QCOMPARE(form->ListView1->header()->sectionSize(0), title);
    }

    // Command5 shows the program's web site in the browser pane without bringing it forward.
    void command5ShowsSiteWithoutShowing()
    {
        mz::test::FormFixture f;
        mz::PortalServer portal(&f.clock);
        QVERIFY(portal.listen(0));
        f.setPortal(portal.baseUrl());
        auto form = f.load();
        form->Command5->click();
        QTRY_VERIFY_WITH_TIMEOUT(form->WebBrowser1->toPlainText().contains(QStringLiteral("墨舟")),
                                 10000);
        QVERIFY(form->WebBrowser1->isHidden());
        QCOMPARE(portal.server().requestedPaths(), QList<QByteArray>{"/mozhou/"});
    }

    // A page's own colours are chosen for a browser's white paper: under a dark colour scheme
    // the site's links (#1f3a93) stood on the pane's dark background at 1.6:1.
    void sitePageReadableInAnyScheme_data()
    {
        QTest::addColumn<QPalette>("scheme");
        QTest::newRow("light") << QPalette();
        QTest::newRow("dark") << mz::test::darkScheme();
    }
    void sitePageReadableInAnyScheme()
    {
        QFETCH(QPalette, scheme);
        const QPalette saved = QApplication::palette();
        QApplication::setPalette(scheme);
        mz::test::FormFixture f;
        mz::PortalServer portal(&f.clock);
        QVERIFY(portal.listen(0));
        f.setPortal(portal.baseUrl());
        auto form = f.load();
        QVERIFY(showFreelySized(*form, form->ListView1));
        form->s6666_Click();
        QTextBrowser *pane = form->WebBrowser1;
        QTRY_VERIFY_WITH_TIMEOUT(pane->toPlainText().contains(QStringLiteral("热点新闻")), 10000);
        const QTextCursor link = pane->document()->find(QStringLiteral("热点新闻"));
        QVERIFY(link.charFormat().isAnchor());
        QTextCursor start = link;
        start.setPosition(link.selectionStart());
        const QRect first = pane->cursorRect(start);
        const QRect last = pane->cursorRect(link);
        const QImage shown = pane->viewport()->grab().toImage();
        QApplication::setPalette(saved);
        const QColor paper = shown.pixelColor(1, 1);
        const QRect glyphs(first.topLeft(), QPoint(last.left() - 1, first.bottom()));
        const double contrast = mz::test::strongestContrast(shown, glyphs, paper);
        QVERIFY2(contrast >= 4.5, qPrintable(QStringLiteral("link: contrast %1").arg(contrast)));
    }

    void command5UnreachableSiteSaysSo()
    {
        mz::test::FormFixture f; // port 9: nothing answers
        auto form = f.load();
        form->Command5_Click();
        QTRY_VERIFY_WITH_TIMEOUT(
            form->WebBrowser1->toPlainText().contains(QStringLiteral("无法打开")), 10000);
    }

    // The desktop opener hands addresses to the system's handler for their scheme.
    void desktopOpenerUsesSchemeHandler()
    {
        UrlSink sink;
        QDesktopServices::setUrlHandler(QStringLiteral("http"), &sink, "take");
        QDesktopServices::setUrlHandler(QStringLiteral("mailto"), &sink, "take");
        mz::DesktopOpener opener;
        QVERIFY(opener.open(QUrl(QStringLiteral("http://127.0.0.1:8086/news/20070302/1.shtml"))));
        QVERIFY(opener.open(QUrl(QStringLiteral("mailto:a@b.c?subject=x"))));
        QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
        QDesktopServices::unsetUrlHandler(QStringLiteral("mailto"));
        QCOMPARE(sink.urls,
                 (QList<QUrl>{QUrl(QStringLiteral("http://127.0.0.1:8086/news/20070302/1.shtml")),
                              QUrl(QStringLiteral("mailto:a@b.c?subject=x"))}));
    }

    // The message boxes' one button reads "确定", to the eye and to a screen reader, as the rest
    // of the box does.
    void messageBoxButtonIsChinese()
    {
        const auto box = mz::makeMessageBox(QMessageBox::Information, QStringLiteral("提示"),
                                            QStringLiteral("下载完成。"));
        QCOMPARE(box->buttons().size(), 1);
        QAbstractButton *ok = box->button(QMessageBox::Ok);
        QVERIFY(ok);
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(ok);
        QVERIFY(iface);
        QCOMPARE(iface->text(QAccessible::Name), QStringLiteral("确定"));
    }

    // What Qt itself puts in the window reads Chinese as the rest does: the edit menu of the
    // search box, the keyword editor and the dialogs' text boxes, and the browser pane's.
    void standardMenusAreChinese_data()
    {
        QTest::addColumn<QString>("widget");
        QTest::newRow("text-box") << "text-box";
        QTest::newRow("browser-pane") << "browser-pane";
    }
    void standardMenusAreChinese()
    {
        QFETCH(QString, widget);
        QTranslator *texts = mz::installQtChineseTexts();
        QVERIFY2(texts, "Qt's Chinese texts (package qt6-translations-l10n) are not installed");
        QLineEdit box(QStringLiteral("新闻"));
        QTextBrowser pane;
        pane.setHtml(QStringLiteral("<p>新闻</p>"));
        const std::unique_ptr<QMenu> menu(widget == u"text-box" ? box.createStandardContextMenu()
                                                                : pane.createStandardContextMenu());
        QCoreApplication::removeTranslator(texts);
        delete texts;
        QVERIFY(menu);
        int items = 0;
        for (QAction *action : menu->actions()) {
            if (action->isSeparator())
                continue;
            ++items;
            const QString caption = action->text().section(u'\t', 0, 0);
            QVERIFY2(std::any_of(caption.cbegin(), caption.cend(),
                                 [](QChar c) { return c.unicode() >= 0x4E00; }),
                     qPrintable(caption));
        }
        QVERIFY(items >= 2);
    }

    // Messages and status notes are shown as written: a headline's title or a page's address
    // in them is never read as markup, so a title holding a link cannot put into a box a link
    // that opens anything (file:///etc/passwd) when it is clicked, nor hide or change its text.
    void messagesAreNotMarkup()
    {
        const QString text = QStringLiteral("新闻“<a href='file:///etc/passwd'>详情</a>请看 &amp; "
                                            "<b>粗体</b>”下载失败。\n错误：404");
        const auto box = mz::makeMessageBox(QMessageBox::Critical, QString(), text);
        auto *label = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
        QVERIFY(label);
        QCOMPARE(QAccessible::queryAccessibleInterface(label)->text(QAccessible::Name), text);

        mz::test::FormFixture f;
        auto form = f.load();
        auto *s1 = form->findChild<QLabel *>(QStringLiteral("s1"));
        form->status().setPanel(WindowStatus::Panel::S1, QStringLiteral("<b></b>"));
        QVERIFY(s1->sizeHint().width() >
                s1->fontMetrics().horizontalAdvance(QStringLiteral("<b>")));
    }

    // The tree always keeps a selected node: clicks on the blank area, Ctrl+clicks and other
    // buttons than the left one never leave the commands without a node to act on.
    void treeKeepsASelection()
    {
        mz::test::FormFixture f(kOption);
        auto form = f.load();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QTreeWidget *tree = form->TreeView1;
        const QPoint keyword = tree->visualItemRect(form->tree().nodeByKey("k21")).center();
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, keyword);
        QCOMPARE(form->tree().selectedKey(), QStringLiteral("k21"));
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::ControlModifier, keyword);
        QCOMPARE(form->tree().selectedKey(), QStringLiteral("k21"));
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                          QPoint(5, tree->viewport()->height() - 3));
        QCOMPARE(form->tree().selectedKey(), QStringLiteral("k21"));
        QTest::mouseClick(tree->viewport(), Qt::MiddleButton, {},
                          tree->visualItemRect(form->tree().nodeByKey("k22")).center());
        QCOMPARE(form->tree().selectedKey(), QStringLiteral("k21"));
    }
};

QTEST_MAIN(TestForm1Shell)
#include "tst_form1shell.moc"
