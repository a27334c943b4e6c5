// The headline lists as a screen reader reaches them: tick cells that read and toggle as check
// boxes, the column headers, the child numbers of Qt's own focus and selection events, and no
// cell that outlives its row.

#include "ui/headlineview.h"
#include "ui/tickcellaccessibility.h"
#include "lists/headline.h"
#include "lists/headlinemodel.h"
#include "lists/headlinesortproxy.h"
#include "testsupport/accessibilityevents.h"

#include <QAccessible>
#include <QTest>
#include <QTreeView>

using mz::HeadlineModel;
using mz::test::AccessibilityEvents;

namespace {

// Model rows 0, 1, 2; sorted by title they show as 1, 2, 0.
const QStringList kTitles{QStringLiteral("c 北京"), QStringLiteral("a 上海"),
                          QStringLiteral("b 广州")};

// A headline list put together as the window does it.
struct List
{
    explicit List(HeadlineModel::Kind kind) : model(kind)
    {
        proxy = mz::attachSortedHeadlineModel(&view, &model);
        mz::exposeHeadlineCells(&view);
        for (const QString &title : kTitles) {
            mz::HeadlineRow r;
            r.title = title;
            r.sub1 = QStringLiteral("国内");
            model.append(r);
        }
    }
    QAccessibleInterface *list() { return QAccessible::queryAccessibleInterface(&view); }
    QAccessibleTableInterface *table() { return list()->tableInterface(); }

    HeadlineModel model;
    QTreeView view;
    mz::HeadlineSortProxy *proxy = nullptr;
};

} // namespace

class TestTickCellAccessibility : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void tickCellsReadAndToggle_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("sorted");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("modelRow"); // the model row shown first
        QTest::addColumn<QStringList>("actions");
        const int hot = int(HeadlineModel::Kind::Hot);
        const int archive = int(HeadlineModel::Kind::Archive);
        QTest::newRow("hot-title") << hot << false << 0 << 0 << QStringList{"toggle"};
        QTest::newRow("hot-title-sorted") << hot << true << 0 << 1 << QStringList{"toggle"};
        QTest::newRow("hot-category") << hot << false << 1 << 0 << QStringList{"Toggle"};
        QTest::newRow("archive-title") << archive << false << 0 << 0 << QStringList{"Toggle"};
    }
    void tickCellsReadAndToggle()
    {
        QFETCH(int, kind);
        QFETCH(bool, sorted);
        QFETCH(int, column);
        QFETCH(int, modelRow);
        QFETCH(QStringList, actions);
        List l{HeadlineModel::Kind(kind)};
        if (sorted)
            mz::sortAscending(&l.view, l.proxy, 0);
        QAccessibleInterface *cell = l.table()->cellAt(0, column);
        QVERIFY(cell && cell->actionInterface());
        QCOMPARE(cell->text(QAccessible::Name), l.model.text(modelRow, column).toString());
        const bool ticks = actions == QStringList{"toggle"};
        QCOMPARE(cell->state().checkable, ticks);
        QCOMPARE(cell->actionInterface()->actionNames(), actions);

        for (const bool ticked : {true, false}) {
            cell->actionInterface()->doAction(QStringLiteral("toggle"));
            for (int i = 0; i < kTitles.size(); ++i)
                QCOMPARE(l.model.row(i).checked, ticks && ticked && i == modelRow);
            QCOMPARE(cell->state().checked, ticks && ticked);
        }
    }

    void headerCellsReadTheHeader_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("name");
        QTest::newRow("title") << 0 << "名字";
        QTest::newRow("category") << 1 << "分类";
        QTest::newRow("comments") << 2 << "评论";
    }
    void headerCellsReadTheHeader()
    {
        QFETCH(int, column);
        QFETCH(QString, name);
        List l(HeadlineModel::Kind::Hot);
        QAccessibleInterface *header = l.list()->child(column);
        QVERIFY(header);
        QCOMPARE(header->role(), QAccessible::ColumnHeader);
        QCOMPARE(header->text(QAccessible::Name), name);
        QCOMPARE(l.list()->indexOfChild(header), column);
        QCOMPARE(l.table()->cellAt(1, column)->tableCellInterface()->columnHeaderCells(),
                 QList<QAccessibleInterface *>{header});
    }

    // QTreeView numbers the children of its focus and selection events itself; every number it
    // sends must name the current row's cell here.
    void eventChildIsTheCurrentCell_data()
    {
        QTest::addColumn<bool>("headerHidden");
        QTest::addColumn<bool>("sorted");
        QTest::addColumn<int>("row");
        QTest::newRow("first-row") << false << false << 0;
        QTest::newRow("last-row") << false << false << 2;
        QTest::newRow("header-hidden") << true << false << 2;
        QTest::newRow("sorted") << false << true << 1;
    }
    void eventChildIsTheCurrentCell()
    {
        QFETCH(bool, headerHidden);
        QFETCH(bool, sorted);
        QFETCH(int, row);
        AccessibilityEvents events;
        List l(HeadlineModel::Kind::Hot);
        l.view.setSelectionBehavior(QAbstractItemView::SelectRows);
        l.view.setHeaderHidden(headerHidden);
        if (sorted)
            mz::sortAscending(&l.view, l.proxy, 0);
        l.view.show();
        QVERIFY(QTest::qWaitForWindowActive(&l.view));
        l.view.setFocus();
        l.view.setCurrentIndex(l.proxy->index(row, 1));

        const QString title = l.proxy->index(row, 0).data().toString();
        for (const auto type : {QAccessible::Focus, QAccessible::SelectionAdd}) {
            const QList<int> children = events.children(&l.view, type);
            QVERIFY2(!children.isEmpty(), "Qt sent no event");
            QAccessibleInterface *cell = l.list()->child(children.last());
            QVERIFY(cell && cell->tableCellInterface());
            QCOMPARE(cell->tableCellInterface()->rowIndex(), row);
            QCOMPARE(l.table()->cellAt(row, 0)->text(QAccessible::Name), title);
        }
        QAccessibleInterface *focused = l.list()->focusChild();
        QCOMPARE(focused, l.list()->child(events.children(&l.view, QAccessible::Focus).last()));
        QVERIFY(focused->state().focused);
    }

    // A kept cell follows its row while rows come and go, and goes with it; a cell asked for
    // afterwards reads the row now shown at its place.
    void rowChangesLeaveNoStaleCell_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<int>("keptRow"); // where the first row's cell is afterwards, -1 gone
        QTest::addColumn<QString>("firstTitle");
        QTest::newRow("reset") << "reset" << -1 << "new";
        QTest::newRow("insert-before") << "insert" << 1 << "new";
        QTest::newRow("sort") << "sort" << 2 << "a 上海";
    }
    void rowChangesLeaveNoStaleCell()
    {
        QFETCH(QString, change);
        QFETCH(int, keptRow);
        QFETCH(QString, firstTitle);
        AccessibilityEvents events;
        List l(HeadlineModel::Kind::Hot);
        mz::sortAscending(&l.view, l.proxy, 1); // all "国内": shown as the model holds them
        const QAccessible::Id id = QAccessible::uniqueId(l.table()->cellAt(0, 0));
        mz::HeadlineRow r;
        r.title = QStringLiteral("new");
        r.sub1 = QStringLiteral("中国"); // sorts before "国内"
        if (change == u"reset")
            l.model.clear();
        if (change == u"sort")
            mz::sortAscending(&l.view, l.proxy, 0);
        else
            l.model.append(r);

        // Before anyone asks again: the cell of "c 北京" went with its row, or still names it
        // at the row's new place.
        QAccessibleInterface *kept = QAccessible::accessibleInterface(id);
        QCOMPARE(kept != nullptr, keptRow >= 0);
        if (kept) {
            QCOMPARE(kept->text(QAccessible::Name), kTitles.at(0));
            QCOMPARE(kept->tableCellInterface()->rowIndex(), keptRow);
        }
        QCOMPARE(l.table()->cellAt(0, 0)->text(QAccessible::Name), firstTitle);
        QCOMPARE(l.list()->childCount(), (l.model.rowCount() + 1) * 3);
        if (change == u"insert") // told of by an event: the cell is kept under its new number
            QCOMPARE(l.table()->cellAt(keptRow, 0), kept);
    }
};

QTEST_MAIN(TestTickCellAccessibility)
#include "tst_tickcellaccessibility.moc"
