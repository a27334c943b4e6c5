// Keyword search over rows: splitting, containment, hit order and counting, icons, "*" groups.

#include "search/keywordsearch.h"

#include <QRandomGenerator>
#include <QSet>
#include "testsupport/referencesearch.h"

#include <QTest>

using mz::HeadlineRow;
using mz::HeadlineRows;

namespace {

HeadlineRow headline(const QString &title, const QString &category, const QString &tag = {})
{
    HeadlineRow r;
    r.title = title;
    r.sub1 = category;
    r.tag = tag;
    return r;
}

// A small archive that exercises every rule; the row index is the comment's number.
HeadlineRows sampleArchive()
{
    return {
        headline(u"股票上涨证券公司受益"_qs, u"财经"_qs, u"http://p/0.shtml"_qs), // 0
        headline(u"证券市场平稳"_qs, u"财经"_qs),                                 // 1
        headline(u"股票下跌"_qs, QString()),                                      // 2
        headline(QString(), u"国内"_qs),                                          // 3 empty title
        headline(u"nba总决赛开幕"_qs, u"体育"_qs),                                // 4
        headline(u" 开头有空格"_qs, u"未知类"_qs),                                // 5
        headline(u"天气转暖"_qs, u"环保"_qs),                                     // 6
    };
}

// The search as defined, the slow way, over the rows' titles.
QList<int> referenceHits(const HeadlineRows &rows, const QString &query)
{
    QStringList titles;
    for (const HeadlineRow &row : rows)
        titles << row.title;
    return mz::test::referenceHits(titles, query);
}

} // namespace

class TestKeywordSearch : public QObject
{
    Q_OBJECT

private slots:
    void splitTerms_data();
    void splitTerms();
    void contains_data();
    void contains();
    void hits_data();
    void hits();
    void blanksAsShown_data();
    void blanksAsShown();
    void emptyArchive();
    void hitIcon_data();
    void hitIcon();
    void resultRows();
    void singleTermHits();
    void counts();
    void scannerMatchesDefinition_data();
    void scannerMatchesDefinition();
};

void TestKeywordSearch::splitTerms_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<QStringList>("terms");
    QTest::newRow("two-words") << u"股票+证券"_qs << QStringList{u"股票"_qs, u"证券"_qs};
    QTest::newRow("trailing-plus") << u"股票+"_qs << QStringList{u"股票"_qs, QString()};
    QTest::newRow("leading-plus") << u"+股票"_qs << QStringList{QString(), u"股票"_qs};
    QTest::newRow("double-plus") << u"股票++证券"_qs
                                 << QStringList{u"股票"_qs, QString(), u"证券"_qs};
    QTest::newRow("plus-alone") << u"+"_qs << QStringList{QString(), QString()};
    QTest::newRow("blanks-kept") << u" 股票 + 证券"_qs << QStringList{u" 股票 "_qs, u" 证券"_qs};
}

void TestKeywordSearch::splitTerms()
{
    QFETCH(QString, query);
    QFETCH(QStringList, terms);
    QCOMPARE(mz::splitTerms(query), terms);
}

void TestKeywordSearch::contains_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("expected");
    QTest::newRow("word-inside") << u"今日股票上涨"_qs << u"股票"_qs << true;
    QTest::newRow("empty-text-in-title") << u"新闻"_qs << QString() << true;
    QTest::newRow("empty-title-empty-text") << QString() << QString() << false;
    QTest::newRow("empty-title") << QString() << u"新"_qs << false;
    QTest::newRow("case-differs") << u"nba总决赛"_qs << u"NBA"_qs << false;
    QTest::newRow("same-case") << u"nba总决赛"_qs << u"nba"_qs << true;
    QTest::newRow("full-width-differs") << u"nba总决赛"_qs << u"ｎｂａ"_qs << false;
    QTest::newRow("blank-counts") << u"股票上涨"_qs << u"股票 "_qs << false;
    QTest::newRow("whole-title") << u"股票"_qs << u"股票"_qs << true;
    QTest::newRow("longer-than-title") << u"股"_qs << u"股票"_qs << false;
}

void TestKeywordSearch::contains()
{
    QFETCH(QString, title);
    QFETCH(QString, text);
    QFETCH(bool, expected);
    QCOMPARE(mz::contains(title, text), expected);
}

void TestKeywordSearch::hits_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<QList<int>>("rows");
    QTest::addColumn<QStringList>("terms");
    const QStringList reset{QString()};

    // Alternatives: the row loop is outside, so a row's repeated hits stand together.
    QTest::newRow("both-words-twice")
        << u"股票+证券"_qs << QList<int>{0, 0, 1, 2} << QStringList{u"股票"_qs, u"证券"_qs};
    QTest::newRow("trailing-plus-every-title")
        << u"股票+"_qs << QList<int>{0, 0, 1, 2, 2, 4, 5, 6} << QStringList{u"股票"_qs, QString()};
    QTest::newRow("leading-plus") << u"+股票"_qs << QList<int>{0, 0, 1, 2, 2, 4, 5, 6}
                                  << QStringList{QString(), u"股票"_qs};
    QTest::newRow("plus-alone-twice-each")
        << u"+"_qs << QList<int>{0, 0, 1, 1, 2, 2, 4, 4, 5, 5, 6, 6}
        << QStringList{QString(), QString()};
    QTest::newRow("double-plus") << u"股票++证券"_qs << QList<int>{0, 0, 0, 1, 1, 2, 2, 4, 5, 6}
                                 << QStringList{u"股票"_qs, QString(), u"证券"_qs};
    QTest::newRow("term-order-inside-row")
        << u"证券+股票"_qs << QList<int>{0, 0, 1, 2} << QStringList{u"证券"_qs, u"股票"_qs};

    // Single term: the whole query, once per row; searchTerms keeps its reset value.
    QTest::newRow("upper-case-finds-nothing") << u"NBA"_qs << QList<int>{} << reset;
    QTest::newRow("lower-case") << u"nba"_qs << QList<int>{4} << reset;
    QTest::newRow("leading-blank-kept") << u" 开头"_qs << QList<int>{5} << reset;
    QTest::newRow("leading-blank-no-match") << u" 股票"_qs << QList<int>{} << reset;
    QTest::newRow("trailing-blank-no-match") << u"股票 "_qs << QList<int>{} << reset;
    QTest::newRow("single-word") << u"股票"_qs << QList<int>{0, 2} << reset;
    QTest::newRow("empty-query-every-title") << QString() << QList<int>{0, 1, 2, 4, 5, 6} << reset;

    // "*": every word of a group must occur; one hit per row and group.
    QTest::newRow("star-both-words")
        << u"股票*上涨"_qs << QList<int>{0} << QStringList{u"股票*上涨"_qs};
    QTest::newRow("star-one-missing")
        << u"股票*平稳"_qs << QList<int>{} << QStringList{u"股票*平稳"_qs};
    QTest::newRow("star-any-order")
        << u"证券*股票"_qs << QList<int>{0} << QStringList{u"证券*股票"_qs};
    QTest::newRow("star-binds-tighter")
        << u"股票*上涨+证券"_qs << QList<int>{0, 0, 1} << QStringList{u"股票*上涨"_qs, u"证券"_qs};
    QTest::newRow("star-group-last")
        << u"证券+股票*下跌"_qs << QList<int>{0, 1, 2} << QStringList{u"证券"_qs, u"股票*下跌"_qs};
    QTest::newRow("star-overlapping-words")
        << u"股票*票上"_qs << QList<int>{0} << QStringList{u"股票*票上"_qs};
    QTest::newRow("star-same-word-twice")
        << u"股票*股票"_qs << QList<int>{0, 2} << QStringList{u"股票*股票"_qs};
    QTest::newRow("star-empty-word") << u"股票*"_qs << QList<int>{0, 2} << QStringList{u"股票*"_qs};
    QTest::newRow("star-alone-every-title-once")
        << u"*"_qs << QList<int>{0, 1, 2, 4, 5, 6} << QStringList{u"*"_qs};
    QTest::newRow("star-case-sensitive")
        << u"NBA*总决赛"_qs << QList<int>{} << QStringList{u"NBA*总决赛"_qs};
}

void TestKeywordSearch::hits()
{
    QFETCH(QString, query);
    QFETCH(QList<int>, rows);
    QFETCH(QStringList, terms);
    const HeadlineRows archive = sampleArchive();
    const mz::KeywordHits result = mz::keywordHits(mz::rowsOf(archive), query);
    QCOMPARE(result.rows, rows);
    QCOMPARE(result.terms, terms);
}

void TestKeywordSearch::blanksAsShown_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<QList<int>>("rows");
    QTest::newRow("cr-lf-as-one-blank") << u"股票 上涨"_qs << QList<int>{0, 3};
    QTest::newRow("lf-and-separators") << u"平稳 证券"_qs << QList<int>{1, 2};
    QTest::newRow("no-break-space") << u"下跌 公司"_qs << QList<int>{4};
    QTest::newRow("alternatives-and-groups") << u"nba+下跌 公司*下跌"_qs << QList<int>{4, 5};
    QTest::newRow("no-blank-no-break") << u"股票上涨"_qs << QList<int>{};
    QTest::newRow("two-blanks-one-break") << u"股票  上涨"_qs << QList<int>{};
}

// The lists show a title's line breaks and no-break spaces as blanks: a blank typed in the query
// finds them, and the keyword counts agree.
void TestKeywordSearch::blanksAsShown()
{
    QFETCH(QString, query);
    QFETCH(QList<int>, rows);
    const QStringList titles{u"股票\r\n上涨"_qs, u"平稳\n证券"_qs,     u"平稳\u2029证券"_qs,
                             u"股票 上涨"_qs,    u"下跌\u00a0公司"_qs, u"nba\n"_qs};
    HeadlineRows archive;
    mz::TitleBlock block;
    for (const QString &title : titles) {
        archive.append(headline(title, QString()));
        block.append(title);
    }
    QCOMPARE(mz::keywordHits(mz::rowsOf(archive), query).rows, rows);
    QCOMPARE(mz::keywordCounts(block, {query}),
             QList<int>{int(QSet<int>(rows.begin(), rows.end()).size())});
}

void TestKeywordSearch::emptyArchive()
{
    const HeadlineRows none;
    const mz::KeywordHits alternatives = mz::keywordHits(mz::rowsOf(none), u"股票+证券");
    QVERIFY(alternatives.rows.isEmpty());
    QCOMPARE(alternatives.terms, (QStringList{u"股票"_qs, u"证券"_qs}));
    QVERIFY(mz::keywordHits(mz::rowsOf(none), u"股票").rows.isEmpty());
    QVERIFY(mz::keywordResultRows(mz::rowsOf(none), {}).isEmpty());
}

void TestKeywordSearch::hitIcon_data()
{
    QTest::addColumn<QString>("category");
    QTest::addColumn<int>("icon");
    QTest::newRow("exam") << u"考试"_qs << 23;
    QTest::newRow("empty-is-exam") << QString() << 23;
    QTest::newRow("environment") << u"环保"_qs << 24;
    QTest::newRow("domestic") << u"国内"_qs << 6;
    QTest::newRow("culture") << u"文化"_qs << 21;
    QTest::newRow("unknown-no-icon") << u"未知类"_qs << 0;
    QTest::newRow("blank-is-not-empty") << u" "_qs << 0;
    QTest::newRow("padded-name-unknown") << u" 考试"_qs << 0;
}

void TestKeywordSearch::hitIcon()
{
    QFETCH(QString, category);
    QFETCH(int, icon);
    QCOMPARE(mz::keywordHitIcon(category), icon);
}

void TestKeywordSearch::resultRows()
{
    HeadlineRows archive = sampleArchive();
    archive[0].sub2 = u"http://p/comment"_qs;
    archive[0].checked = true;
    archive[0].icon = 8;
    const mz::RowSource rows = mz::rowsOf(archive);
    const mz::KeywordHits result = mz::keywordHits(rows, u"股票+天气+开头");
    const HeadlineRows hits = mz::keywordResultRows(rows, result.rows);

    QCOMPARE(hits.size(), 4); // a row without a known category is counted as well
    QCOMPARE(hits[0].title, archive[0].title);
    QCOMPARE(hits[0].tag, archive[0].tag);
    QCOMPARE(hits[0].icon, 8);       // 财经
    QVERIFY(hits[0].sub1.isEmpty()); // the result list shows no category
    QVERIFY(hits[0].sub2.isEmpty());
    QVERIFY(!hits[0].checked);
    QCOMPARE(hits[1].icon, 23); // empty category
    QCOMPARE(hits[2].title, archive[5].title);
    QCOMPARE(hits[2].icon, 0);  // 未知类: no icon
    QCOMPARE(hits[3].icon, 24); // 环保
}

void TestKeywordSearch::singleTermHits()
{
    const HeadlineRows archive = sampleArchive();
    // The bare search takes "+" and "*" literally.
    QCOMPARE(mz::singleTermHits(mz::rowsOf(archive), u"股票"), (QList<int>{0, 2}));
    QCOMPARE(mz::singleTermHits(mz::rowsOf(archive), u"股票+证券"), QList<int>{});
    QCOMPARE(mz::singleTermHits(mz::rowsOf(archive), u""), (QList<int>{0, 1, 2, 4, 5, 6}));

    HeadlineRows literal{headline(u"a+b*c"_qs, QString())};
    QCOMPARE(mz::singleTermHits(mz::rowsOf(literal), u"+b*"), QList<int>{0});
}

// The search against the slow definition, on generated titles and queries. Small
// alphabets make words overlap, repeat and share first units; the larger ones take the scanner
// past eight different first units and past 64 different words.
void TestKeywordSearch::counts()
{
    mz::TitleBlock block;
    for (const HeadlineRow &row : sampleArchive())
        block.append(row.title);
    // A row counts once however many alternatives it matches; an empty title never counts.
    const QStringList keywords{u"股票+证券"_qs, u"股票*上涨"_qs, u"+"_qs,    QString(),
                               u"nba"_qs,       u"NBA"_qs,       u"证券*"_qs};
    QCOMPARE(mz::keywordCounts(block, keywords), (QList<int>{3, 1, 6, 6, 1, 0, 2}));
    QCOMPARE(mz::keywordCounts(mz::TitleBlock(), keywords), QList<int>(keywords.size(), 0));
}

void TestKeywordSearch::scannerMatchesDefinition_data()
{
    QTest::addColumn<QString>("alphabet");
    QTest::addColumn<int>("maxTitle");
    QTest::addColumn<int>("wordLength");
    QTest::addColumn<int>("maxWords");
    QTest::newRow("few-units-overlapping") << u"股票证券ab上"_qs << 12 << 3 << 4;
    QTest::newRow("many-first-units") << u"一二三四五六七八九十甲乙丙丁"_qs << 30 << 2 << 12;
    QTest::newRow("over-64-words") << u"abcdefghij"_qs << 60 << 3 << 120;
    QTest::newRow("surrogate-pairs") << u"\U0001F600\U0001F601a"_qs << 10 << 3 << 4;
}

void TestKeywordSearch::scannerMatchesDefinition()
{
    QFETCH(QString, alphabet);
    QFETCH(int, maxTitle);
    QFETCH(int, wordLength);
    QFETCH(int, maxWords);
    QRandomGenerator random(20070315);
    auto pick = [&](int maxLength) {
        QString s;
        const int length = random.bounded(maxLength + 1);
        for (int k = 0; k < length; ++k)
            s += alphabet.at(random.bounded(int(alphabet.size())));
        return s;
    };

    HeadlineRows archive;
    mz::TitleBlock block;
    for (int i = 0; i < 300; ++i) {
        archive.append(headline(pick(maxTitle), QString()));
        block.append(archive.last().title);
    }
    QStringList queries;
    QList<int> counts; // the distinct rows of each query's hits
    for (int q = 0; q < 200; ++q) {
        QString query = pick(wordLength);
        const int words = 1 + random.bounded(maxWords);
        for (int w = 1; w < words; ++w)
            query += QChar(random.bounded(3) == 0 ? u'*' : u'+') + pick(wordLength);
        const QList<int> actual = mz::keywordHits(mz::rowsOf(archive), query).rows;
        const QList<int> expected = referenceHits(archive, query);
        if (actual != expected)
            QFAIL(qPrintable(u"query \"%1\""_qs.arg(query)));
        queries.append(query);
        counts.append(int(QSet<int>(expected.begin(), expected.end()).size()));
    }
    // All queries counted at once share their words' sweeps.
    QCOMPARE(mz::keywordCounts(block, queries), counts);
}

QTEST_APPLESS_MAIN(TestKeywordSearch)
#include "tst_keywordsearch.moc"
