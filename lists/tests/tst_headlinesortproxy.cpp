// The sorting layer against QSortFilterProxyModel: the same rows in the same order, tie for
// tie, through sorting, appending in chunks while sorted, re-sorting and refilling.

#include "lists/headlinemodel.h"
#include "lists/headlinesortproxy.h"

#include <QRandomGenerator>
#include <QSortFilterProxyModel>
#include <QTest>

#include <cmath>

using mz::HeadlineModel;
using mz::HeadlineRow;
using mz::HeadlineRows;
using mz::HeadlineSortProxy;

namespace {

// Short texts from a small alphabet, so that equal texts and shared prefixes are common; with
// upper and lower case, a surrogate pair, an embedded U+0000 and empty texts.
QString randomText(QRandomGenerator &rng, int maxUnits)
{
    static const QStringList pieces{u"a"_qs,    u"B"_qs,          u"b"_qs,           u"国"_qs,
                                    u"国内"_qs, u"\U0001F600"_qs, QString(QChar(0)), u"Z"_qs};
    QString text;
    const int n = int(rng.bounded(maxUnits + 1));
    for (int i = 0; i < n; ++i)
        text += pieces.at(int(rng.bounded(pieces.size())));
    return text;
}

HeadlineRows randomRows(QRandomGenerator &rng, int count)
{
    static const QStringList categories{u"国内"_qs, u"国际"_qs, u"体育"_qs, u"考试"_qs,
                                        u"a"_qs,    u"A"_qs,    QString()};
    HeadlineRows rows;
    for (int i = 0; i < count; ++i) {
        HeadlineRow r;
        r.title = randomText(rng, 6);
        r.sub1 = categories.at(int(rng.bounded(categories.size())));
        r.sub2 = rng.bounded(4) == 0 ? randomText(rng, 3) : QString();
        r.tag = QString::number(i);
        rows.append(r);
    }
    return rows;
}

QList<int> shownOrder(const QAbstractProxyModel &proxy)
{
    QList<int> order;
    for (int i = 0; i < proxy.rowCount(); ++i)
        order.append(proxy.mapToSource(proxy.index(i, 0)).row());
    return order;
}

} // namespace

class TestHeadlineSortProxy : public QObject
{
    Q_OBJECT

private slots:
    void sameOrderAsSortFilterProxy_data();
    void sameOrderAsSortFilterProxy();
    void persistentIndexFollowsItsRow();
    void headerAndTicksPassThrough();
    void persistentIndexFollowsItsRowThroughBulkFill();
};

void TestHeadlineSortProxy::sameOrderAsSortFilterProxy_data()
{
    QTest::addColumn<QString>("script");
    // fill:N appends N rows at once; chunks:NxK appends K chunks of N rows; sort:C sorts by
    // column C; clear empties the model; bulk and end begin and end a bulk fill of the proxy
    // (its order is compared once the fill has ended).
    QTest::newRow("unsorted") << u"fill:50 chunks:7x3"_qs;
    QTest::newRow("sort-title") << u"fill:400 sort:0"_qs;
    QTest::newRow("sort-category-ties") << u"fill:400 sort:1"_qs;
    QTest::newRow("sort-third-mostly-empty") << u"fill:300 sort:2"_qs;
    QTest::newRow("sort-over-sort") << u"fill:400 sort:1 sort:0 sort:1 sort:2"_qs;
    QTest::newRow("same-column-twice") << u"fill:200 sort:1 chunks:30x2 sort:1"_qs;
    QTest::newRow("chunks-while-sorted-category") << u"fill:200 sort:1 chunks:100x8"_qs;
    QTest::newRow("chunks-while-sorted-title") << u"sort:0 chunks:100x10"_qs;
    QTest::newRow("single-rows-while-sorted") << u"fill:20 sort:1 chunks:1x60"_qs;
    QTest::newRow("chunks-then-resort") << u"fill:100 sort:0 chunks:50x5 sort:1 chunks:25x4"_qs;
    QTest::newRow("clear-keeps-sorting") << u"fill:100 sort:1 clear chunks:100x6"_qs;
    QTest::newRow("clear-then-fill-at-once") << u"fill:80 sort:0 clear fill:300 chunks:9x9"_qs;
    QTest::newRow("large-blocks") << u"fill:3000 sort:0 chunks:100x40 sort:1 chunks:500x4"_qs;
    QTest::newRow("bulk-unsorted") << u"bulk chunks:10x5 end sort:1"_qs;
    QTest::newRow("bulk-category-from-empty") << u"sort:1 bulk chunks:100x12 end"_qs;
    QTest::newRow("bulk-category-onto-rows") << u"fill:150 sort:1 bulk chunks:100x8 end"_qs;
    QTest::newRow("bulk-title-ties") << u"sort:0 bulk chunks:30x20 end chunks:30x3"_qs;
    QTest::newRow("bulk-third-column") << u"fill:50 sort:2 bulk chunks:40x10 end"_qs;
    QTest::newRow("bulk-single-rows") << u"fill:10 sort:1 bulk chunks:1x80 end"_qs;
    QTest::newRow("bulk-after-clear") << u"fill:100 sort:1 clear bulk chunks:100x6 end"_qs;
    QTest::newRow("bulk-clear-inside") << u"sort:0 bulk chunks:50x3 clear chunks:50x4 end"_qs;
    QTest::newRow("bulk-sorted-midway") << u"bulk chunks:40x3 sort:1 chunks:40x5 end"_qs;
    QTest::newRow("bulk-resorted-midway") << u"sort:1 bulk chunks:40x3 sort:0 chunks:40x5 end"_qs;
    QTest::newRow("bulk-same-column-midway")
        << u"sort:1 bulk chunks:40x3 sort:1 chunks:40x4 end"_qs;
    QTest::newRow("bulk-large")
        << u"sort:1 bulk chunks:100x60 end sort:0 bulk chunks:100x20 end"_qs;
}

void TestHeadlineSortProxy::sameOrderAsSortFilterProxy()
{
    QFETCH(QString, script);
    QRandomGenerator rng(uint(qHash(script)));
    HeadlineModel model(HeadlineModel::Kind::Hot);
    QSortFilterProxyModel reference;
    reference.setDynamicSortFilter(true);
    reference.setSourceModel(&model);
    HeadlineSortProxy proxy;
    proxy.setSourceModel(&model);

    // A bulk fill shows the rows in batches that at least double what is shown, so that a view
    // lays its rows out a logarithmic number of times.
    int insertions = 0;
    int bulkStart = 0;
    connect(&proxy, &QAbstractItemModel::rowsInserted, &proxy, [&] { ++insertions; });
    const auto checkBatches = [&] {
        const int added = model.rowCount() - bulkStart;
        QVERIFY2(
            insertions <= 2 + int(std::log2(std::max(added, 1))),
            qPrintable(QStringLiteral("%1 insertions for %2 rows").arg(insertions).arg(added)));
    };

    bool bulk = false;
    for (const QString &op : script.split(u' ')) {
        const QStringList parts = op.split(u':');
        if (parts[0] == u"bulk") {
            proxy.beginBulkFill();
            bulk = true;
            insertions = 0;
            bulkStart = model.rowCount();
        } else if (parts[0] == u"end") {
            proxy.endBulkFill();
            bulk = false;
            checkBatches();
        } else if (parts[0] == u"fill") {
            model.append(randomRows(rng, parts[1].toInt()));
        } else if (parts[0] == u"chunks") {
            const QStringList nk = parts[1].split(u'x');
            for (int c = 0; c < nk[1].toInt(); ++c)
                model.append(randomRows(rng, nk[0].toInt()));
        } else if (parts[0] == u"sort") {
            reference.sort(parts[1].toInt(), Qt::AscendingOrder);
            proxy.sort(parts[1].toInt());
            QCOMPARE(proxy.sortColumn(), reference.sortColumn());
        } else if (parts[0] == u"clear") {
            model.clear();
            insertions = 0;
            bulkStart = 0;
        }
        if (bulk && parts[0] != u"sort") {
            // More than half the rows are shown at any time; the rest wait for the next batch.
            QVERIFY(proxy.rowCount() <= reference.rowCount());
            QVERIFY(proxy.rowCount() * 2 > reference.rowCount() || reference.rowCount() == 0);
            continue;
        }
        QCOMPARE(proxy.rowCount(), reference.rowCount());
        const QList<int> expected = shownOrder(reference);
        QCOMPARE(shownOrder(proxy), expected);
        for (int i = 0; i < proxy.rowCount(); ++i) {
            const QModelIndex source = model.index(expected[i], 1);
            QCOMPARE(proxy.mapFromSource(source), proxy.index(i, 1));
            QCOMPARE(proxy.index(i, 1).data().toString(), reference.index(i, 1).data().toString());
        }
    }
}

void TestHeadlineSortProxy::persistentIndexFollowsItsRow()
{
    HeadlineModel model(HeadlineModel::Kind::Archive);
    HeadlineSortProxy proxy;
    proxy.setSourceModel(&model);
    model.append(HeadlineRows{{u"c"_qs, u"2"_qs, {}, u"t-c"_qs, 0, false},
                              {u"a"_qs, u"3"_qs, {}, u"t-a"_qs, 0, false},
                              {u"b"_qs, u"1"_qs, {}, u"t-b"_qs, 0, false}});
    const QPersistentModelIndex held(proxy.index(0, 1)); // row "c"
    const auto heldTag = [&] { return model.row(proxy.mapToSource(held).row()).tag; };

    proxy.sort(0);
    QCOMPARE(held.row(), 2);
    QCOMPARE(heldTag(), u"t-c"_qs);
    model.append(HeadlineRows{{u"a0"_qs, u"0"_qs, {}, u"t-a0"_qs, 0, false},
                              {u"d"_qs, u"0"_qs, {}, u"t-d"_qs, 0, false}});
    QCOMPARE(held.row(), 3);
    QCOMPARE(held.column(), 1);
    QCOMPARE(heldTag(), u"t-c"_qs);
    proxy.sort(1);
    QCOMPARE(heldTag(), u"t-c"_qs);
    QCOMPARE(proxy.index(held.row(), 1).data().toString(), u"2"_qs);
}

void TestHeadlineSortProxy::persistentIndexFollowsItsRowThroughBulkFill()
{
    HeadlineModel model(HeadlineModel::Kind::Archive);
    HeadlineSortProxy proxy;
    proxy.setSourceModel(&model);
    proxy.sort(0);
    model.append(HeadlineRows{{u"c"_qs, u"2"_qs, {}, u"t-c"_qs, 0, false},
                              {u"a"_qs, u"3"_qs, {}, u"t-a"_qs, 0, false}});
    const QPersistentModelIndex held(proxy.index(1, 1)); // row "c"
    proxy.beginBulkFill();
    model.append(HeadlineRows{{u"b"_qs, u"1"_qs, {}, u"t-b"_qs, 0, false}});
    QCOMPARE(proxy.rowCount(), 2); // held back until the batch is as large as what is shown
    model.append(HeadlineRows{{u"a"_qs, u"0"_qs, {}, u"t-a2"_qs, 0, false}});
    const QPersistentModelIndex added(proxy.index(2, 0)); // row "b", shown last for now
    QCOMPARE(proxy.index(2, 0).data().toString(), u"b"_qs);
    QCOMPARE(held.row(), 1);
    proxy.endBulkFill();
    QCOMPARE(held.row(), 3);
    QCOMPARE(held.column(), 1);
    QCOMPARE(model.row(proxy.mapToSource(held).row()).tag, u"t-c"_qs);
    QCOMPARE(added.row(), 2);
    QCOMPARE(model.row(proxy.mapToSource(added).row()).tag, u"t-b"_qs);
    QCOMPARE(proxy.index(1, 0).data(HeadlineModel::TagRole).toString(), u"t-a2"_qs);
}

void TestHeadlineSortProxy::headerAndTicksPassThrough()
{
    HeadlineModel model(HeadlineModel::Kind::Hot);
    HeadlineSortProxy proxy;
    proxy.setSourceModel(&model);
    QCOMPARE(proxy.headerData(2, Qt::Horizontal, Qt::DisplayRole).toString(), u"评论"_qs);
    model.append(HeadlineRows{{u"b"_qs, {}, {}, {}, 0, false}, {u"a"_qs, {}, {}, {}, 0, false}});
    proxy.sort(0);
    QVERIFY(proxy.setData(proxy.index(0, 0), Qt::Checked, Qt::CheckStateRole));
    QVERIFY(model.row(1).checked);
    QVERIFY(!model.row(0).checked);
    QCOMPARE(proxy.index(0, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
}

QTEST_MAIN(TestHeadlineSortProxy)
#include "tst_headlinesortproxy.moc"
