// The title block: its layout for awkward titles, and the model keeping it in step with its rows
// through every kind of append and clear. The model's other columns give back what was appended.

#include "lists/headlinemodel.h"
#include "lists/titleblock.h"
#include "testsupport/rows.h"

#include <QTest>

using mz::HeadlineModel;
using mz::HeadlineRow;
using mz::HeadlineRows;
using mz::TitleBlock;

namespace {

HeadlineRow headline(const QString &title)
{
    HeadlineRow r;
    r.title = title;
    r.sub1 = u"国内"_qs;
    r.tag = u"http://127.0.0.1/"_qs + title;
    return r;
}

HeadlineRows headlines(const QStringList &titles)
{
    HeadlineRows rows;
    for (const QString &title : titles)
        rows.append(headline(title));
    return rows;
}

// Empty when the block holds exactly the model's titles in model order, laid out as documented;
// otherwise what differs.
QString blockMismatch(const HeadlineModel &model)
{
    const TitleBlock &block = model.titles();
    if (block.rowCount() != model.rowCount())
        return u"%1 rows in the block, %2 in the model"_qs.arg(block.rowCount())
            .arg(model.rowCount());
    qsizetype at = 0;
    for (int r = 0; r < model.rowCount(); ++r) {
        if (block.start(r) != at)
            return u"row %1 starts at %2, expected %3"_qs.arg(r).arg(block.start(r)).arg(at);
        if (block.title(r) != model.row(r).title)
            return u"row %1 holds \"%2\", expected \"%3\""_qs.arg(r).arg(block.title(r).toString(),
                                                                         model.row(r).title);
        if (block.units()[block.end(r)] != TitleBlock::kSeparator)
            return u"no separator after row %1"_qs.arg(r);
        at = block.end(r) + 1;
    }
    if (block.size() != at)
        return u"block of %1 units, expected %2"_qs.arg(block.size()).arg(at);
    return {};
}

} // namespace

class TestTitleBlock : public QObject
{
    Q_OBJECT

private slots:
    void layout_data();
    void layout();
    void modelKeepsBlockInStep();
    void clearedModelStartsAfresh();
    void columnsGiveBackTheRows_data();
    void columnsGiveBackTheRows();
    void rowsShowOnOneLine_data();
    void rowsShowOnOneLine();
};

void TestTitleBlock::layout_data()
{
    QTest::addColumn<QStringList>("titles");
    QTest::newRow("no-rows") << QStringList{};
    QTest::newRow("plain") << QStringList{u"股票上涨"_qs, u"nba 总决赛"_qs};
    QTest::newRow("empty-titles") << QStringList{QString(), u"中"_qs, QString(), QString()};
    QTest::newRow("separator-inside-title")
        << QStringList{QString(QChar(u'\0')), u"a"_qs + QChar(u'\0') + u"b"_qs, QString()};
    QTest::newRow("surrogate-pairs") << QStringList{u"\U0001F600\U0001F601"_qs, u"x\U0001F600"_qs};
    QTest::newRow("long-title") << QStringList{QString(300, u'长'), u"短"_qs};
}

void TestTitleBlock::layout()
{
    QFETCH(QStringList, titles);
    HeadlineModel model(HeadlineModel::Kind::Archive);
    model.append(headlines(titles));
    const QString mismatch = blockMismatch(model);
    QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
    QCOMPARE(model.titles().rowCount(), titles.size());
}

// Each way of adding rows, one after the other on the same model.
void TestTitleBlock::modelKeepsBlockInStep()
{
    HeadlineModel model(HeadlineModel::Kind::Archive);
    auto check = [&](const char *step) {
        const QString mismatch = blockMismatch(model);
        if (!mismatch.isEmpty())
            QFAIL(qPrintable(QString::fromUtf8(step) + u": "_qs + mismatch));
    };

    HeadlineRows moved = headlines({u"第一批"_qs, QString(), u"股票"_qs});
    model.append(std::move(moved)); // into an empty model: the batch is taken over
    check("moved batch into empty model");
    model.append(headline(u"单条"_qs));
    check("single row");
    const HeadlineRows copied = headlines({u"复制一"_qs, u"复制二"_qs});
    model.append(copied);
    check("copied batch");
    model.append(headlines({u"移入"_qs, QString(QChar(u'\0'))}));
    check("moved batch onto rows");
    model.append(HeadlineRows{});
    check("empty batch");
    QCOMPARE(model.rowCount(), 8);

    // Chunks of 100, the way the archive list fills.
    for (int chunk = 0; chunk < 5; ++chunk) {
        HeadlineRows rows;
        for (int i = 0; i < 100; ++i)
            rows.append(headline(u"标题%1-%2"_qs.arg(chunk).arg(i)));
        model.append(std::move(rows));
    }
    check("chunks");
    QCOMPARE(model.titles().rowCount(), 508);
}

void TestTitleBlock::clearedModelStartsAfresh()
{
    HeadlineModel model(HeadlineModel::Kind::Archive);
    model.append(headlines({u"旧一"_qs, u"旧二"_qs}));
    model.clear();
    QCOMPARE(model.titles().rowCount(), 0);
    QCOMPARE(model.titles().size(), 0);

    model.append(headlines({u"新"_qs}));
    const QString mismatch = blockMismatch(model);
    QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
    QCOMPARE(model.titles().title(0), u"新");
    QCOMPARE(model.titles().size(), 2);

    // A large list cleared keeps its memory; the next fill, whether it reuses that memory or
    // (announced as far smaller) gives it back, holds exactly its own rows.
    HeadlineRows many;
    for (int i = 0; i < 50000; ++i)
        many.append(
            HeadlineRow{u"旧%1"_qs.arg(i), u"国际"_qs, {}, u"http://a/x/%1"_qs.arg(i), 3, false});
    const QString head = u"http://portal.test/news/"_qs;
    const mz::HeadlineRef refs[] = {{u"甲"_qs, u"国内"_qs, head, u"1.shtml"_qs, 6},
                                    {u"乙乙"_qs, u"体育"_qs, head, QStringView(), 2}};
    const HeadlineRows expected{{u"甲"_qs, u"国内"_qs, {}, head + u"1.shtml"_qs, 6, false},
                                {u"乙乙"_qs, u"体育"_qs, {}, head, 2, false}};
    for (const bool announced : {false, true}) {
        model.clear();
        model.append(many);
        model.clear();
        if (announced)
            model.expectRows(2);
        model.append(std::span<const mz::HeadlineRef>(refs));
        QCOMPARE(mz::test::describe(model.rows()), mz::test::describe(expected));
        const QString stale = blockMismatch(model);
        QVERIFY2(stale.isEmpty(), qPrintable(stale));
    }
}

// A title or category broken over lines in the page shows whole on its one-line row; the row
// (favourites, file names, the search) and the tooltip keep the text as it came.
void TestTitleBlock::rowsShowOnOneLine_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    QTest::newRow("leading-breaks") << u"\r\n\r\n两会开幕"_qs << u"  两会开幕"_qs;
    QTest::newRow("lf-cr-mixed") << u"第一行\n第二行\r第三行\n\r"_qs
                                 << u"第一行 第二行 第三行  "_qs;
    QTest::newRow("unicode-separators") << u"甲\u2028乙\u2029丙"_qs << u"甲 乙 丙"_qs;
    QTest::newRow("tab-and-nul-kept") << u"甲\t乙"_qs + QChar(u'\0') << u"甲\t乙"_qs + QChar(u'\0');
}

void TestTitleBlock::rowsShowOnOneLine()
{
    QFETCH(QString, text);
    QFETCH(QString, shown);
    HeadlineModel model(HeadlineModel::Kind::Hot);
    model.append(HeadlineRow{text, text, text, u"http://127.0.0.1/"_qs, 6, false});
    for (int column = 0; column < 3; ++column) {
        QCOMPARE(model.index(0, column).data().toString(), shown);
        QCOMPARE(model.index(0, column).data(Qt::ToolTipRole).toString(), text);
    }
    QCOMPARE(model.row(0).title, text);
}

QTEST_APPLESS_MAIN(TestTitleBlock)
#include "tst_titleblock.moc"

void TestTitleBlock::columnsGiveBackTheRows_data()
{
    QTest::addColumn<HeadlineRows>("rows");
    const auto row = [](const QString &tag, const QString &sub1 = u"国内"_qs,
                        const QString &sub2 = QString(), int icon = 6, bool checked = false) {
        return HeadlineRow{u"t"_qs + tag, sub1, sub2, tag, icon, checked};
    };
    const QString base = u"http://portal.test/news/2007-03-02/"_qs;
    QTest::newRow("shared-beginning")
        << HeadlineRows{row(base + u"1.shtml"_qs), row(base + u"2.shtml"_qs),
                        row(u"http://other.test/x/3.shtml"_qs), row(base + u"4.shtml"_qs)};
    QTest::newRow("awkward-addresses")
        << HeadlineRows{row(QString()),
                        row(u"no-slash"_qs),
                        row(u"/"_qs),
                        row(base),
                        row(base + u"café/é.shtml"_qs),
                        row(base + u"新闻/甲.shtml"_qs),
                        row(u"http://p.test/新闻/"_qs + QChar(0xff) + u"\U0001F600"_qs),
                        row(QString(QChar(u'\0')) + u"/x"_qs)};
    QTest::newRow("categories-and-icons")
        << HeadlineRows{row(u"/a"_qs, u"国际"_qs, {}, 5), row(u"/b"_qs, QString(), {}, 0),
                        row(u"/c"_qs, u"国际"_qs, {}, 5), row(u"/d"_qs, u"国内"_qs, {}, 255)};
    QTest::newRow("comment-column-from-the-middle") << HeadlineRows{
        row(u"/a"_qs), row(u"/b"_qs), row(u"/c"_qs, u"国内"_qs, u"http://c.test/1"_qs, 6, true),
        row(u"/d"_qs), row(u"/e"_qs, u"国内"_qs, u"http://c.test/2"_qs, 6, true)};
    HeadlineRows unrelated; // beginnings that share nothing are not kept one per row
    for (int i = 0; i < 300; ++i)
        unrelated << row(u"http://h%1.test/p%1/a.shtml"_qs.arg(i));
    QTest::newRow("unrelated-beginnings") << unrelated;
}

void TestTitleBlock::columnsGiveBackTheRows()
{
    QFETCH(HeadlineRows, rows);
    HeadlineModel model(HeadlineModel::Kind::Hot);
    model.append(rows.first(rows.size() / 2));
    for (const HeadlineRow &r : rows.sliced(rows.size() / 2))
        model.append(r);
    QCOMPARE(model.rows(), rows);
    for (int i = 0; i < rows.size(); ++i) {
        QCOMPARE(model.text(i, 1).toString(), rows[i].sub1);
        QCOMPARE(model.text(i, 2).toString(), rows[i].sub2);
        QCOMPARE(model.data(model.index(i, 0), HeadlineModel::TagRole).toString(), rows[i].tag);
        QCOMPARE(model.data(model.index(i, 0), Qt::CheckStateRole).toInt(),
                 rows[i].checked ? Qt::Checked : Qt::Unchecked);
    }
    // As the parser hands them over: each address as two pieces, cut at every point in turn.
    for (qsizetype cut = 0; cut <= 40; ++cut) {
        std::vector<mz::HeadlineRef> refs;
        for (const HeadlineRow &r : rows) {
            const qsizetype at = std::min(cut, r.tag.size());
            refs.push_back({r.title, r.sub1, QStringView(r.tag).first(at),
                            QStringView(r.tag).sliced(at), r.icon});
        }
        HeadlineModel parsed(HeadlineModel::Kind::Archive);
        parsed.append(refs);
        for (int i = 0; i < rows.size(); ++i)
            QCOMPARE(parsed.data(parsed.index(i, 0), HeadlineModel::TagRole).toString(),
                     rows[i].tag);
    }
}
