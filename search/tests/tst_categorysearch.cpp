// Category search over rows: the match rule, hit order and the icon of the name searched for.

#include "search/categorysearch.h"

#include <QTest>

using mz::HeadlineRow;
using mz::HeadlineRows;

namespace {

HeadlineRow headline(const QString &title, const QString &category)
{
    HeadlineRow r;
    r.title = title;
    r.sub1 = category;
    r.tag = u"http://p/"_qs + title;
    return r;
}

HeadlineRows sampleArchive()
{
    return {
        headline(u"a"_qs, u"国内"_qs),       // 0
        headline(u"b"_qs, u"考试"_qs),       // 1
        headline(u"c"_qs, QString()),        // 2
        headline(u"d"_qs, u"   "_qs),        // 3 blanks only
        headline(u"e"_qs, u"国内新闻"_qs),   // 4
        headline(u"f"_qs, u"\u3000考试"_qs), // 5 full-width blank
        headline(u"g"_qs, u"文化"_qs),       // 6
        headline(u"h"_qs, u" 体育"_qs),      // 7
        headline(u"i"_qs, u" 考试 "_qs),     // 8
    };
}

} // namespace

class TestCategorySearch : public QObject
{
    Q_OBJECT

private slots:
    void matches_data();
    void matches();
    void hits_data();
    void hits();
    void resultRows();
    void emptyArchive();
};

void TestCategorySearch::matches_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("category");
    QTest::addColumn<bool>("expected");
    QTest::newRow("exam-exact") << u"考试"_qs << u"考试"_qs << true;
    QTest::newRow("exam-empty") << u"考试"_qs << QString() << true;
    QTest::newRow("exam-blanks-only") << u"考试"_qs << u"  "_qs << true;
    QTest::newRow("exam-padded") << u"考试"_qs << u" 考试  "_qs << true;
    QTest::newRow("exam-full-width-blank") << u"考试"_qs << u"\u3000考试"_qs << false;
    QTest::newRow("exam-full-width-only") << u"考试"_qs << u"\u3000"_qs << false;
    QTest::newRow("exam-tab-stays") << u"考试"_qs << u"\t考试"_qs << false;
    QTest::newRow("exam-longer-no-containment") << u"考试"_qs << u"考试资讯"_qs << false;
    QTest::newRow("domestic-exact") << u"国内"_qs << u"国内"_qs << true;
    QTest::newRow("domestic-contained") << u"国内"_qs << u"国内新闻"_qs << true;
    QTest::newRow("domestic-other") << u"国内"_qs << u"国际"_qs << false;
    QTest::newRow("domestic-empty-category") << u"国内"_qs << QString() << false;
    QTest::newRow("sport-leading-blank") << u"体育"_qs << u" 体育"_qs << true;
    QTest::newRow("culture") << u"文化"_qs << u"文化"_qs << true;
}

void TestCategorySearch::matches()
{
    QFETCH(QString, name);
    QFETCH(QString, category);
    QFETCH(bool, expected);
    QCOMPARE(mz::categoryMatches(name, category), expected);
}

void TestCategorySearch::hits_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QList<int>>("rows");
    QTest::addColumn<int>("icon");
    QTest::newRow("exam-gathers-empty-and-blank") << u"考试"_qs << QList<int>{1, 2, 3, 8} << 23;
    QTest::newRow("domestic-by-containment") << u"国内"_qs << QList<int>{0, 4} << 6;
    QTest::newRow("culture-toolbar-only") << u"文化"_qs << QList<int>{6} << 21;
    QTest::newRow("sport") << u"体育"_qs << QList<int>{7} << 10;
    QTest::newRow("environment-none") << u"环保"_qs << QList<int>{} << 24;
    QTest::newRow("name-outside-table") << u"国内新闻"_qs << QList<int>{4} << 0;
}

void TestCategorySearch::hits()
{
    QFETCH(QString, name);
    QFETCH(QList<int>, rows);
    QFETCH(int, icon);
    const HeadlineRows archive = sampleArchive();
    const mz::RowSource source = mz::rowsOf(archive);
    const QList<int> found = mz::categoryHits(source, name);
    QCOMPARE(found, rows);

    const HeadlineRows result = mz::categoryResultRows(source, found, name);
    QCOMPARE(result.size(), rows.size());
    for (qsizetype k = 0; k < result.size(); ++k) {
        const HeadlineRow &from = archive.at(rows.at(k));
        QCOMPARE(result[k].title, from.title);
        QCOMPARE(result[k].tag, from.tag);
        QCOMPARE(result[k].icon, icon); // the searched name's icon, not the row's own
        QVERIFY(result[k].sub1.isEmpty());
    }
}

void TestCategorySearch::resultRows()
{
    // A hit whose own category is a longer text still carries the icon of the name searched for.
    HeadlineRows archive{headline(u"x"_qs, u"国内新闻"_qs)};
    archive[0].icon = 19;
    archive[0].sub2 = u"http://p/comment"_qs;
    archive[0].checked = true;
    const HeadlineRows result = mz::categoryResultRows(
        mz::rowsOf(archive), mz::categoryHits(mz::rowsOf(archive), u"国内"), u"国内");
    QCOMPARE(result.size(), 1);
    QCOMPARE(result[0].icon, 6);
    QVERIFY(result[0].sub2.isEmpty());
    QVERIFY(!result[0].checked);
}

void TestCategorySearch::emptyArchive()
{
    const HeadlineRows none;
    QVERIFY(mz::categoryHits(mz::rowsOf(none), u"考试").isEmpty());
    QVERIFY(mz::categoryHits(mz::rowsOf(none), u"国内").isEmpty());
}

QTEST_APPLESS_MAIN(TestCategorySearch)
#include "tst_categorysearch.moc"
