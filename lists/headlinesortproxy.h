#pragma once
// The sorting layer between a headline model and its view. It shows the model's rows as they
// are until a column is sorted; from then on it keeps the rows in ascending order of that
// column's text as rows are appended, until the model is replaced.
//
// The order is the one a QSortFilterProxyModel with default settings gives on the display
// texts (case-sensitive, UTF-16 code unit order, not locale-aware), tie for tie:
//   - sorting is a stable sort of the rows in the order they are shown;
//   - sorting by the column already sorted changes nothing;
//   - appended rows are sorted stably among themselves and placed run by run: a run starts
//     after the shown rows that are not greater than its first row, and takes the following
//     new rows that are not greater than the shown row it stands before (so a new row equal
//     to that shown row goes before it).
// Sorting n rows takes O(n log n) comparisons of the model's own strings (no QVariant);
// appending k rows to a sorted list takes O(k log n) comparisons and moves O(k) row numbers,
// so filling a sorted list in chunks stays linear.

#include <QAbstractProxyModel>

#include <functional>
#include <vector>

namespace mz {

class HeadlineModel;

class HeadlineSortProxy : public QAbstractProxyModel
{
    Q_OBJECT

public:
    explicit HeadlineSortProxy(QObject *parent = nullptr);

    // `source` must be a HeadlineModel (anything else is ignored).
    void setSourceModel(QAbstractItemModel *source) override;

    // The sorted column, -1 while the rows are shown as the model holds them.
    int sortColumn() const { return m_column; }
    // Always ascending: the lists have no descending order.
    Qt::SortOrder sortOrder() const { return Qt::AscendingOrder; }
    // Sorts ascending by `column`; `order` is ignored. The column stays sorted for later rows.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    QModelIndex sibling(int row, int column, const QModelIndex &idx) const override;
    bool hasChildren(const QModelIndex &parent = {}) const override;
    // Without mapping the row: a view asks for every row's flags while it lays out its rows.
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    QModelIndex mapToSource(const QModelIndex &proxyIndex) const override;
    QModelIndex mapFromSource(const QModelIndex &sourceIndex) const override;

    // The model row shown as row `row` (0 <= row < rowCount()).
    int sourceRow(int row) const;
    // The model rows in shown order.
    std::vector<int> shownOrder() const;

    // A bulk fill: between these calls, appended rows are shown in batches, each at least as
    // large as the rows already shown (so a view lays its rows out a logarithmic number of
    // times), and endBulkFill() shows the rest. Rows appended to a sorted list are shown at the
    // end as appended and put in place once, by endBulkFill(), in exactly the order that placing
    // them chunk by chunk (one chunk per insertion of the model) would have given. Sorting again
    // during the fill first shows and puts in place the pending rows.
    void beginBulkFill();
    void endBulkFill();

private:
    void sourceAboutToBeReset();
    void sourceReset();
    void sourceRowsInserted(const QModelIndex &parent, int first, int last);
    void sourceDataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight,
                           const QList<int> &roles);
    void appendSorted(int first, int last);
    void showPendingRows();
    void placePendingRows();

    // The shown order while sorted, in blocks of a bounded size so that putting a row anywhere
    // moves at most one block's entries.
    struct Block
    {
        std::vector<int> rows;
    };
    int at(int row) const;
    void assignOrder(const std::vector<int> &order);
    void relayout(const std::function<void()> &reorder);
    void rebuildStarts();
    bool sorted() const { return m_column >= 0; }

    HeadlineModel *m_model = nullptr;
    int m_column = -1;
    int m_count = 0;
    std::vector<Block> m_blocks;
    std::vector<int> m_starts;          // first shown row of each block
    mutable std::vector<int> m_inverse; // model row -> shown row, built when asked
    QList<QMetaObject::Connection> m_connections;

    bool m_bulk = false;
    int m_bulkPlaced = 0; // shown rows [0, m_bulkPlaced) are in sorted order during a bulk fill
    int m_pending = 0;    // model rows after the shown ones, not yet shown (bulk fill only)
    std::vector<std::pair<int, int>> m_bulkChunks; // the insertions since, as [first, last]
};

} // namespace mz
