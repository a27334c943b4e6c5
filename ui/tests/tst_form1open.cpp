// Opening headlines from the main window's list views: which address a double click, "打开新闻"
// and "打开新闻评论" hand to the system's browser, the comment column marker, sorted views,
// missing selections and addresses that must never reach the desktop.

#include "ui/form1.h"
#include "ui/headlinelists.h"
#include "ui/linkopener.h"
#include "ui/windowstatus.h"
#include "lists/headline.h"
#include "lists/headlinemodel.h"
#include "testsupport/formfixture.h"

#include <QAction>
#include <QHeaderView>
#include <QStyle>
#include <QStyleOptionViewItem>
#include "lists/headlinesortproxy.h"
#include <QTest>
#include <QTreeView>

#include <memory>

namespace {

mz::HeadlineRow row(const QString &name)
{
    mz::HeadlineRow r;
    r.title = name;
    r.sub1 = QStringLiteral("国内");
    r.sub2 = QStringLiteral("http://127.0.0.1:8086/comment/") + name + QStringLiteral(".shtml");
    r.tag = QStringLiteral("http://127.0.0.1:8086/news/") + name + QStringLiteral(".shtml");
    return r;
}

QUrl tagOf(const QString &name)
{
    return QUrl(row(name).tag);
}
QUrl commentOf(const QString &name)
{
    return QUrl(row(name).sub2);
}

QTreeView *viewByName(Form1 &form, const QString &name)
{
    return name == u"ListView1"   ? form.ListView1
           : name == u"ListView2" ? form.ListView2
                                  : form.ListView3;
}

mz::HeadlineSortProxy *proxyOf(Form1 &form, const QTreeView *view)
{
    return view == form.ListView1   ? form.lists().proxy1()
           : view == form.ListView2 ? form.lists().proxy2()
                                    : form.lists().proxy3();
}

mz::HeadlineModel *modelOf(Form1 &form, const QTreeView *view)
{
    return view == form.ListView1   ? form.lists().model1()
           : view == form.ListView2 ? form.lists().model2()
                                    : form.lists().model3();
}

// Each view gets its own rows (prefix "1-", "2-", "3-") so that an opened address tells which
// view it came from.
void fill(Form1 &form)
{
    int n = 1;
    for (QTreeView *view : {form.ListView1, form.ListView2, form.ListView3}) {
        const QString prefix = QString::number(n++) + QLatin1Char('-');
        modelOf(form, view)->clear();
        for (const char *name : {"a", "b", "c"})
            modelOf(form, view)->append(row(prefix + QLatin1String(name)));
    }
}

// The window 1000 by 700, filled, with `view` in front and on screen.
bool showFilled(Form1 &form, QTreeView *view)
{
    fill(form);
    form.resize(1000, 700);
    form.showListView(view);
    form.show();
    return QTest::qWaitForWindowExposed(&form);
}

void select(Form1 &form, QTreeView *view, int shownRow)
{
    view->setCurrentIndex(proxyOf(form, view)->index(shownRow, 0));
}

// What the window system delivers for a double click: press, release, double click, release.
void doubleClick(QWidget *viewport, QPoint pos)
{
    QTest::mouseClick(viewport, Qt::LeftButton, {}, pos);
    QTest::mouseDClick(viewport, Qt::LeftButton, {}, pos);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, pos);
}

} // namespace

class TestForm1Open : public QObject
{
    Q_OBJECT

private slots:
    void doubleClickOpensTag_data();
    void doubleClickOpensTag();
    void markerFollowsLastPress();
    void columnsKeepTheirPlaces();
    void commentMarkerBelongsToListView1();
    void s41OpensCommentAddress();
    void s4OpensOnlyVisibleView_data();
    void s4OpensOnlyVisibleView();
    void sortedViewOpensRowAsShown();
    void noSelectedRowOpensNothing_data();
    void noSelectedRowOpensNothing();
    void unsafeAddressesStayInside_data();
    void unsafeAddressesStayInside();
    void relativeTagInListOpensNothing();
    void emptyCommentAddressLeavesArticle();
    void noOpenerIsHarmless();
};

void TestForm1Open::doubleClickOpensTag_data()
{
    QTest::addColumn<QString>("view");
    QTest::addColumn<bool>("onTickBox");      // the double click hits the hot news row's tick box
    QTest::addColumn<bool>("readingBetween"); // the row being read is selected between the clicks
    QTest::addColumn<QString>("expected");
    QTest::newRow("hot-list") << QStringLiteral("ListView1") << false << false
                              << QStringLiteral("1-b");
    QTest::newRow("archive-list") << QStringLiteral("ListView2") << false << false
                                  << QStringLiteral("2-b");
    QTest::newRow("favorites") << QStringLiteral("ListView3") << false << false
                               << QStringLiteral("3-b");
    QTest::newRow("hot-list-tick-box")
        << QStringLiteral("ListView1") << true << false << QStringLiteral("1-b");
    QTest::newRow("hot-list-while-reading")
        << QStringLiteral("ListView1") << false << true << QStringLiteral("1-b");
}

// A real double click on the title (or the tick box) of the second row opens that row's
// article, while another row is selected and whatever reading aloud selects meanwhile.
void TestForm1Open::doubleClickOpensTag()
{
    QFETCH(QString, view);
    QFETCH(bool, onTickBox);
    QFETCH(bool, readingBetween);
    QFETCH(QString, expected);
    mz::test::FormFixture f;
    auto form = f.load();
    QTreeView *v = viewByName(*form, view);
    QVERIFY(showFilled(*form, v));
    select(*form, v, 2);

    const QRect title = v->visualRect(proxyOf(*form, v)->index(1, 0));
    QPoint at = title.center();
    if (onTickBox) {
        QStyleOptionViewItem option;
        option.initFrom(v);
        option.rect = title;
        option.features |= QStyleOptionViewItem::HasCheckIndicator;
        at = v->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, v).center();
    }
    QVERIFY(v->viewport()->rect().contains(at));
    QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, at);
    if (onTickBox) // the press hit the box: the click ticked the row
        QVERIFY(modelOf(*form, v)->checked(1));
    if (readingBetween) {
        form->s47_Click();
        f.speech.emitPosition(0); // the first title: the row being read is selected
        QCOMPARE(v->currentIndex().row(), 0);
    }
    QTest::mouseDClick(v->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(v->viewport(), Qt::LeftButton, {}, at);

    QCOMPARE(f.opener.opened, QList<QUrl>{tagOf(expected)});
    QCOMPARE(v->currentIndex().row(), 1);
    QVERIFY(!form->lists().commentColumnHit());
}

// The marker describes the last press in ListView1: a press in the comment column sets it, and a
// later double click on a title (whose press lands in the title column) opens the article; a
// double click in the comment column opens the comment page.
void TestForm1Open::markerFollowsLastPress()
{
    mz::test::FormFixture f;
    auto form = f.load();
    QVERIFY(showFilled(*form, form->ListView1));
    QWidget *viewport = form->ListView1->viewport();

    const QHeaderView *header = form->ListView1->header();
    const QRect first = form->ListView1->visualRect(form->lists().proxy1()->index(0, 2));
    const QPoint inComments(header->sectionSize(0) + header->sectionSize(1) + 5,
                            first.center().y());
    QVERIFY(viewport->rect().contains(inComments));
    QTest::mouseClick(viewport, Qt::LeftButton, {}, inComments);
    QVERIFY(form->lists().commentColumnHit());
    QVERIFY(f.opener.opened.isEmpty());

    const QPoint title = form->ListView1->visualRect(form->lists().proxy1()->index(2, 0)).center();
    doubleClick(viewport, title);
    QCOMPARE(f.opener.opened, QList<QUrl>{tagOf(QStringLiteral("1-c"))});
    QVERIFY(!form->lists().commentColumnHit());

    doubleClick(viewport, inComments);
    QCOMPARE(f.opener.opened,
             (QList<QUrl>{tagOf(QStringLiteral("1-c")), commentOf(QStringLiteral("1-a"))}));
    QVERIFY(!form->lists().commentColumnHit()); // used up by the double click that read it
}

// A drag of the 评论 header onto 分类 leaves the columns where they are: the comment column test
// goes by their places, so after the swap a double click on a category opened the comment page.
void TestForm1Open::columnsKeepTheirPlaces()
{
    mz::test::FormFixture f;
    auto form = f.load();
    QVERIFY(showFilled(*form, form->ListView1));
    QHeaderView *header = form->ListView1->header();
    QWidget *bar = header->viewport();
    const int y = header->height() / 2;
    const QPoint from(header->sectionViewportPosition(2) + header->sectionSize(2) / 2, y);
    const QPoint to(header->sectionViewportPosition(1) + 5, y);
    QTest::mousePress(bar, Qt::LeftButton, {}, from);
    for (int step = 1; step <= 10; ++step)
        QTest::mouseMove(bar, from + (to - from) * step / 10);
    QTest::mouseRelease(bar, Qt::LeftButton, {}, to);
    QCOMPARE(header->visualIndex(2), 2);

    const QRect category = form->ListView1->visualRect(form->lists().proxy1()->index(1, 1));
    doubleClick(form->ListView1->viewport(), category.center());
    QCOMPARE(f.opener.opened, QList<QUrl>{tagOf(QStringLiteral("1-b"))});
}

// Only ListView1's double click reads the marker; the other lists open their tag and leave it.
void TestForm1Open::commentMarkerBelongsToListView1()
{
    mz::test::FormFixture f;
    auto form = f.load();
    fill(*form);
    form->lists().setCommentColumnHit(true);
    select(*form, form->ListView2, 0);
    form->ListView2_DblClick();
    QCOMPARE(f.opener.opened, QList<QUrl>{tagOf(QStringLiteral("2-a"))});
    QVERIFY(form->lists().commentColumnHit());

    select(*form, form->ListView1, 1);
    form->ListView1_DblClick();
    QCOMPARE(f.opener.opened.last(), commentOf(QStringLiteral("1-b")));
}

// "打开新闻评论" from pop1, with nothing else pending, opens the selected row's comment page.
void TestForm1Open::s41OpensCommentAddress()
{
    mz::test::FormFixture f;
    auto form = f.load();
    fill(*form);
    form->showListView(form->ListView1);
    select(*form, form->ListView1, 0);
    QVERIFY(!form->lists().commentColumnHit());

    form->s41->trigger();
    QCOMPARE(f.opener.opened, QList<QUrl>{commentOf(QStringLiteral("1-a"))});
    QVERIFY(!form->lists().commentColumnHit());

    // "打开新闻" afterwards opens the article.
    form->s4->trigger();
    QCOMPARE(f.opener.opened,
             (QList<QUrl>{commentOf(QStringLiteral("1-a")), tagOf(QStringLiteral("1-a"))}));
}

void TestForm1Open::s4OpensOnlyVisibleView_data()
{
    QTest::addColumn<QString>("view");
    QTest::addColumn<QString>("expected");
    QTest::newRow("hot-list-in-front") << QStringLiteral("ListView1") << QStringLiteral("1-c");
    QTest::newRow("archive-in-front") << QStringLiteral("ListView2") << QStringLiteral("2-c");
    QTest::newRow("favorites-in-front") << QStringLiteral("ListView3") << QStringLiteral("3-c");
}

// Every view has a selected row, but only the one in front is opened (the window itself is
// not on screen).
void TestForm1Open::s4OpensOnlyVisibleView()
{
    QFETCH(QString, view);
    QFETCH(QString, expected);
    mz::test::FormFixture f;
    auto form = f.load();
    fill(*form);
    for (QTreeView *v : {form->ListView1, form->ListView2, form->ListView3})
        select(*form, v, 2);
    form->showListView(viewByName(*form, view));

    form->s4_Click();
    QCOMPARE(f.opener.opened, QList<QUrl>{tagOf(expected)});
}

// After sorting by title, the selected position is the row as shown, not as inserted.
void TestForm1Open::sortedViewOpensRowAsShown()
{
    mz::test::FormFixture f;
    auto form = f.load();
    form->lists().model2()->clear();
    form->lists().model2()->append(mz::HeadlineRows{
        row(QStringLiteral("c")), row(QStringLiteral("a")), row(QStringLiteral("b"))});
    form->showListView(form->ListView2);
    form->ListView2_ColumnClick(0);
    QCOMPARE(form->lists().shownRow(form->ListView2, 0).title, QStringLiteral("a"));

    select(*form, form->ListView2, 0);
    form->ListView2_DblClick();
    select(*form, form->ListView2, 2);
    form->s4_Click();
    QCOMPARE(f.opener.opened,
             (QList<QUrl>{tagOf(QStringLiteral("a")), tagOf(QStringLiteral("c"))}));
}

void TestForm1Open::noSelectedRowOpensNothing_data()
{
    QTest::addColumn<bool>("filled");
    QTest::newRow("rows-none-selected") << true;
    QTest::newRow("empty-list") << false;
}

// Nothing is opened, and "打开新闻评论" without a row leaves no marker behind: the next double
// click on a title opens the article.
void TestForm1Open::noSelectedRowOpensNothing()
{
    QFETCH(bool, filled);
    mz::test::FormFixture f;
    auto form = f.load();
    if (filled)
        fill(*form);
    for (QTreeView *v : {form->ListView1, form->ListView2, form->ListView3}) {
        v->setCurrentIndex(QModelIndex());
        QVERIFY(!v->currentIndex().isValid());
    }
    form->showListView(form->ListView1);

    form->ListView1_DblClick();
    form->ListView2_DblClick();
    form->ListView3_DblClick();
    form->s4_Click();
    form->s41_Click();
    QVERIFY(f.opener.opened.isEmpty());
    QVERIFY(!form->lists().commentColumnHit());

    if (!filled)
        return;
    select(*form, form->ListView1, 1);
    form->ListView1_DblClick();
    QCOMPARE(f.opener.opened, QList<QUrl>{tagOf(QStringLiteral("1-b"))});
}

void TestForm1Open::unsafeAddressesStayInside_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("opens");
    QTest::addColumn<QString>("asOpened"); // empty: the address as given, trimmed
    QTest::newRow("http") << QStringLiteral("http://127.0.0.1:8086/news/1.shtml") << true
                          << QString();
    QTest::newRow("https-upper-case")
        << QStringLiteral("HTTPS://example.com/a?b=1") << true << QString();
    // Pages may not hand a prepared mail (with attachments, say) to the mail program.
    QTest::newRow("mailto-from-page")
        << QStringLiteral("mailto:friend@example.com?attach=/etc/passwd") << false << QString();
    // Addresses the article download takes as they are written in the page.
    QTest::newRow("blank-in-path")
        << QStringLiteral("http://127.0.0.1/news/a b.shtml") << true << QString();
    QTest::newRow("bar-in-query") << QStringLiteral("http://127.0.0.1/show?id=1|2") << true
                                  << QString();
    QTest::newRow("surrounding-blanks")
        << QStringLiteral("  http://127.0.0.1/x.shtml \r\n") << true << QString();
    // A page broke the address inside its href: opened as a browser reads it.
    QTest::newRow("line-break-in-path")
        << QStringLiteral("http://127.0.0.1/news/\r\n2007/1.shtml") << true
        << QStringLiteral("http://127.0.0.1/news/2007/1.shtml");
    QTest::newRow("tab-and-lf-in-query") << QStringLiteral("http://127.0.0.1/show?id=1\t\n2")
                                         << true << QStringLiteral("http://127.0.0.1/show?id=12");
    QTest::newRow("line-break-in-host")
        << QStringLiteral("http://news.exa\r\nmple.com/1.shtml") << true
        << QStringLiteral("http://news.example.com/1.shtml");
    QTest::newRow("empty") << QString() << false << QString();
    QTest::newRow("blanks") << QStringLiteral("   ") << false << QString();
    QTest::newRow("relative-path") << QStringLiteral("news/20070302/1.shtml") << false << QString();
    QTest::newRow("rooted-path") << QStringLiteral("/etc/passwd") << false << QString();
    QTest::newRow("windows-path") << QStringLiteral("C:\\Windows\\notepad.exe") << false
                                  << QString();
    QTest::newRow("file-url") << QStringLiteral("file:///etc/passwd") << false << QString();
    QTest::newRow("script") << QStringLiteral("javascript:alert(1)") << false << QString();
    QTest::newRow("scheme-without-host") << QStringLiteral("http://") << false << QString();
    QTest::newRow("host-less-http") << QStringLiteral("http:news.shtml") << false << QString();
    QTest::newRow("garbage") << QStringLiteral("%%%<>{}") << false << QString();
    QTest::newRow("blank-in-scheme")
        << QStringLiteral("ht tp://example.com/") << false << QString();
    QTest::newRow("bare-mailto") << QStringLiteral("mailto:") << false << QString();
}

void TestForm1Open::unsafeAddressesStayInside()
{
    QFETCH(QString, address);
    QFETCH(bool, opens);
    QFETCH(QString, asOpened);
    mz::test::FormFixture f;
    auto form = f.load();
    LinkOpener links(&f.opener, form->status());
    QCOMPARE(links.openPageAddress(address), opens);
    QCOMPARE(f.opener.opened.size(), opens ? 1 : 0);
    if (opens)
        QCOMPARE(f.opener.opened.first(), QUrl(asOpened.isEmpty() ? address.trimmed() : asOpened));
    // A refused address that was not blank is named in panel s1.
    const QString s1 = form->status().panel(WindowStatus::Panel::S1);
    QCOMPARE(!s1.isEmpty(), !opens && !address.trimmed().isEmpty());
    QVERIFY(opens || s1.contains(address.trimmed()));
}

// A row whose tag is a relative path (a damaged page) opens nothing from the list either.
void TestForm1Open::relativeTagInListOpensNothing()
{
    mz::test::FormFixture f;
    auto form = f.load();
    mz::HeadlineRow bad = row(QStringLiteral("x"));
    bad.tag = QStringLiteral("20070302/x.shtml");
    form->lists().model2()->clear();
    form->lists().model2()->append(bad);
    form->showListView(form->ListView2);
    select(*form, form->ListView2, 0);
    form->s4_Click();
    QVERIFY(f.opener.opened.isEmpty());
}

// A hot row without a comment address: nothing opens, and the next double click opens the
// article.
void TestForm1Open::emptyCommentAddressLeavesArticle()
{
    mz::test::FormFixture f;
    auto form = f.load();
    mz::HeadlineRow r = row(QStringLiteral("x"));
    r.sub2.clear();
    form->lists().model1()->clear();
    form->lists().model1()->append(r);
    select(*form, form->ListView1, 0);
    form->s41_Click();
    QVERIFY(f.opener.opened.isEmpty());
    QVERIFY(!form->lists().commentColumnHit());
    form->ListView1_DblClick();
    QCOMPARE(f.opener.opened, QList<QUrl>{tagOf(QStringLiteral("x"))});
}

void TestForm1Open::noOpenerIsHarmless()
{
    mz::test::FormFixture f;
    f.env.opener = nullptr;
    auto form = f.load();
    fill(*form);
    select(*form, form->ListView1, 0);
    form->showListView(form->ListView1);
    form->s41_Click();
    form->s4_Click();
    QVERIFY(f.opener.opened.isEmpty());
    // Without a way to open addresses the user is told.
    QVERIFY(
        form->status().panel(WindowStatus::Panel::S1).startsWith(QStringLiteral("无法打开地址：")));
    QVERIFY(!form->lists().commentColumnHit());
}

QTEST_MAIN(TestForm1Open)
#include "tst_form1open.moc"
