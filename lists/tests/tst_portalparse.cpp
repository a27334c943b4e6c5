// The demo portal's pages, generated and parsed: every headline comes back as the portal wrote it.

#include "lists/archiveparser.h"
#include "lists/hotparser.h"
#include "portal/pagegenerator.h"

#include <QTest>

using namespace mz;

namespace {
const QString kBase = QStringLiteral("http://127.0.0.1:8086");
}

class TestPortalParse : public QObject
{
    Q_OBJECT

private slots:
    void archivePage_data();
    void archivePage();
    void hotNewsPage_data();
    void hotNewsPage();
};

void TestPortalParse::archivePage_data()
{
    QTest::addColumn<QDate>("day");
    QTest::newRow("2007-03-02") << QDate(2007, 3, 2);
    QTest::newRow("2008-02-29") << QDate(2008, 2, 29);
    QTest::newRow("2024-12-31") << QDate(2024, 12, 31);
}

void TestPortalParse::archivePage()
{
    QFETCH(QDate, day);
    const PortalGenerator portal(kBase);
    const int count = portal.entryCount(day);
    const ArchiveParseResult result = parseArchivePage(portal.archivePage(day), kBase);
    QCOMPARE(result.found, count);
    QCOMPARE(result.rows.size(), count);

    int fontWrapped = 0, emptyCategories = 0, absolute = 0;
    for (int n = 1; n <= count; ++n) {
        const PortalHeadline h = portal.headline(day, n);
        const HeadlineRow &row = result.rows.at(n - 1);
        const QString category = h.emptyCategory ? QStringLiteral("考试") : h.category;
        QCOMPARE(row.title, h.title.toLower());
        QCOMPARE(row.sub1, category);
        QCOMPARE(row.tag, portal.url(h.path));
        QCOMPARE(row.icon, categoryIcon(category));
        QVERIFY(row.icon > 0);
        fontWrapped += h.fontWrapped;
        emptyCategories += h.emptyCategory;
        absolute += h.absoluteAddress;
    }
    // The page exercises the parser's special cases.
    QVERIFY(fontWrapped > 0);
    QVERIFY(emptyCategories > 0);
    QVERIFY(absolute > 0);
}

void TestPortalParse::hotNewsPage_data()
{
    archivePage_data();
}

void TestPortalParse::hotNewsPage()
{
    QFETCH(QDate, day);
    const PortalGenerator portal(kBase);
    const HeadlineRows rows = parseHotPage(portal.hotNewsPage(day));

    HeadlineRows expected;
    for (int s = 0; s < 7; ++s) {
        for (const PortalHeadline &h : portal.hotHeadlines(day, s)) {
            HeadlineRow row;
            row.title = h.title;
            row.sub1 = QString::fromUtf16(kHotSections[s].name);
            row.sub2 = portal.url(PortalGenerator::commentPath(day, h.number));
            row.tag = portal.url(h.path);
            row.icon = kHotSections[s].icon;
            expected.append(row);
        }
    }
    QVERIFY(expected.size() >= 7 * 6);
    QCOMPARE(rows.size(), expected.size());
    for (qsizetype i = 0; i < rows.size(); ++i)
        QCOMPARE(rows.at(i), expected.at(i));
}

QTEST_GUILESS_MAIN(TestPortalParse)
#include "tst_portalparse.moc"
