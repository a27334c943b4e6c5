#include "lists/headlinesortproxy.h"

#include "lists/headlinemodel.h"

#include <algorithm>
#include <functional>
#include <cstring>
#include <map>

namespace mz {

namespace {

// Blocks hold between kBlockSize / 2 and 2 * kBlockSize entries after each change.
constexpr size_t kBlockSize = 1024;

// A row's sort key: its first four UTF-16 units packed high to low (missing units are 0), so
// that most comparisons never touch the strings. Equal prefixes of texts no longer than four
// units are decided by length; otherwise the texts themselves are compared.
struct Key
{
    quint64 prefix;
    int row;
    int length;
};

Key keyOf(QStringView text, int row)
{
    quint64 prefix = 0;
    for (qsizetype i = 0; i < 4; ++i)
        prefix = (prefix << 16) | (i < text.size() ? text[i].unicode() : 0u);
    return {prefix, row, int(text.size())};
}

// The order that placing `chunks` one after the other into the sorted `placed` rows gives (the
// run by run placement of appendSorted), computed without moving rows: rows of different texts
// follow their texts, so only the order among equal texts needs following. Each text keeps the
// rank range its rows hold; a chunk's rows of that text go after them, or, when they continue a
// run that stands before that text's first row, before them.
std::vector<int> placeChunks(const HeadlineModel &model, int column, const std::vector<int> &placed,
                             const std::vector<std::pair<int, int>> &chunks)
{
    struct Less
    {
        bool operator()(QStringView a, QStringView b) const { return a.compare(b) < 0; }
    };
    struct Ranks
    {
        qint64 low = 0;   // rank of the first row
        qint64 high = -1; // rank of the last row
        qint64 base = 0;  // shown row of rank 0, once all ranks are known
    };
    std::map<QStringView, Ranks, Less> texts;
    std::vector<qint64> rank(size_t(model.rowCount()), 0);
    std::vector<Ranks *> textOf(size_t(model.rowCount()), nullptr);
    const auto append = [&](int row) {
        auto [it, added] = texts.try_emplace(model.text(row, column));
        rank[size_t(row)] = ++it->second.high;
        textOf[size_t(row)] = &it->second;
    };
    for (int row : placed)
        append(row);

    std::vector<Key> keys;
    for (const auto &[first, last] : chunks) {
        keys.clear();
        for (int r = first; r <= last; ++r)
            keys.push_back(keyOf(model.text(r, column), r));
        std::stable_sort(keys.begin(), keys.end(), [&](const Key &a, const Key &b) {
            if (a.prefix != b.prefix)
                return a.prefix < b.prefix;
            if (a.length <= 4 && b.length <= 4)
                return a.length < b.length;
            return model.text(a.row, column).compare(model.text(b.row, column)) < 0;
        });
        size_t i = 0;
        while (i < keys.size()) {
            // A run: the placed text it stands before is the first one greater than its first row.
            const QStringView first = model.text(keys[i].row, column);
            const auto before = texts.upper_bound(first);
            if (before == texts.end()) {
                for (; i < keys.size(); ++i)
                    append(keys[i].row);
                break;
            }
            const QStringView limit = before->first;
            while (i < keys.size()) {
                const QStringView text = model.text(keys[i].row, column);
                if (limit.compare(text) < 0)
                    break; // greater than the row the run stands before: the next run
                if (text == limit) {
                    // Equal to the row the run stands before: these go in front of its text's rows.
                    size_t j = i;
                    while (j < keys.size() && model.text(keys[j].row, column) == limit)
                        ++j;
                    qint64 r = before->second.low - qint64(j - i);
                    before->second.low = r;
                    for (; i < j; ++i) {
                        rank[size_t(keys[i].row)] = r++;
                        textOf[size_t(keys[i].row)] = &before->second;
                    }
                    break; // nothing after them is still "not greater"
                }
                append(keys[i].row);
                ++i;
            }
        }
    }

    // Texts in order, and within a text its rows by rank; a text's ranks are the contiguous
    // range [low, high], so every row's place follows from its rank without another sort.
    qint64 next = 0;
    for (auto &[text, ranks] : texts) {
        ranks.base = next - ranks.low;
        next += ranks.high - ranks.low + 1;
    }
    std::vector<int> order(static_cast<size_t>(next));
    const auto place = [&](int row) {
        order[size_t(textOf[size_t(row)]->base + rank[size_t(row)])] = row;
    };
    for (int row : placed)
        place(row);
    for (const auto &[first, last] : chunks) {
        for (int r = first; r <= last; ++r)
            place(r);
    }
    return order;
}

} // namespace

HeadlineSortProxy::HeadlineSortProxy(QObject *parent) : QAbstractProxyModel(parent) {}

void HeadlineSortProxy::setSourceModel(QAbstractItemModel *source)
{
    beginResetModel();
    for (const auto &c : std::as_const(m_connections))
        disconnect(c);
    m_connections.clear();
    m_model = qobject_cast<HeadlineModel *>(source);
    QAbstractProxyModel::setSourceModel(m_model);
    m_blocks.clear();
    m_starts.clear();
    m_inverse.clear();
    m_count = m_model ? m_model->rowCount() : 0;
    if (m_model) {
        using M = QAbstractItemModel;
        m_connections << connect(m_model, &M::modelAboutToBeReset, this,
                                 &HeadlineSortProxy::sourceAboutToBeReset)
                      << connect(m_model, &M::modelReset, this, &HeadlineSortProxy::sourceReset)
                      << connect(m_model, &M::rowsInserted, this,
                                 &HeadlineSortProxy::sourceRowsInserted)
                      << connect(m_model, &M::dataChanged, this,
                                 &HeadlineSortProxy::sourceDataChanged)
                      << connect(m_model, &M::headerDataChanged, this, &M::headerDataChanged);
        if (sorted() && m_count > 0) {
            std::vector<int> identity(static_cast<size_t>(m_count));
            for (int i = 0; i < m_count; ++i)
                identity[size_t(i)] = i;
            assignOrder(identity);
            const int column = m_column;
            m_column = -1;
            endResetModel();
            sort(column);
            return;
        }
    }
    endResetModel();
}

// ---- the shown order --------------------------------------------------------------------------

int HeadlineSortProxy::at(int row) const
{
    const auto it = std::upper_bound(m_starts.begin(), m_starts.end(), row);
    const size_t b = size_t(it - m_starts.begin()) - 1;
    return m_blocks[b].rows[size_t(row - m_starts[b])];
}

int HeadlineSortProxy::sourceRow(int row) const
{
    return sorted() ? at(row) : row;
}

std::vector<int> HeadlineSortProxy::shownOrder() const
{
    std::vector<int> order;
    order.reserve(size_t(m_count));
    if (!sorted()) {
        for (int i = 0; i < m_count; ++i)
            order.push_back(i);
        return order;
    }
    for (const Block &b : m_blocks)
        order.insert(order.end(), b.rows.begin(), b.rows.end());
    return order;
}

void HeadlineSortProxy::assignOrder(const std::vector<int> &order)
{
    m_blocks.clear();
    for (size_t i = 0; i < order.size(); i += kBlockSize) {
        const size_t end = std::min(order.size(), i + kBlockSize);
        m_blocks.push_back(
            {std::vector<int>(order.begin() + qsizetype(i), order.begin() + qsizetype(end))});
    }
    rebuildStarts();
}

// Splits blocks grown past twice the block size, merges small neighbours, and recounts starts.
void HeadlineSortProxy::rebuildStarts()
{
    std::vector<Block> blocks;
    blocks.reserve(m_blocks.size() + 8);
    for (Block &b : m_blocks) {
        if (b.rows.empty())
            continue;
        if (!blocks.empty() && blocks.back().rows.size() + b.rows.size() <= kBlockSize) {
            blocks.back().rows.insert(blocks.back().rows.end(), b.rows.begin(), b.rows.end());
            continue;
        }
        if (b.rows.size() <= 2 * kBlockSize) {
            blocks.push_back(std::move(b));
            continue;
        }
        for (size_t i = 0; i < b.rows.size(); i += kBlockSize) {
            const size_t end = std::min(b.rows.size(), i + kBlockSize);
            blocks.push_back(
                {std::vector<int>(b.rows.begin() + qsizetype(i), b.rows.begin() + qsizetype(end))});
        }
    }
    m_blocks = std::move(blocks);
    m_starts.clear();
    m_starts.reserve(m_blocks.size());
    int start = 0;
    for (const Block &b : m_blocks) {
        m_starts.push_back(start);
        start += int(b.rows.size());
    }
    m_inverse.clear();
}

// ---- sorting ----------------------------------------------------------------------------------

// Runs `reorder` inside one layout change; indexes held on the proxy follow their model rows.
void HeadlineSortProxy::relayout(const std::function<void()> &reorder)
{
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList persistent = persistentIndexList();
    QList<int> persistentSource;
    persistentSource.reserve(persistent.size());
    for (const QModelIndex &i : persistent)
        persistentSource.append(sourceRow(i.row()));
    reorder();

    QModelIndexList to;
    to.reserve(persistent.size());
    for (qsizetype i = 0; i < persistent.size(); ++i)
        to.append(index(mapFromSource(m_model->index(persistentSource[i], 0)).row(),
                        persistent[i].column()));
    changePersistentIndexList(persistent, to);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void HeadlineSortProxy::sort(int column, Qt::SortOrder order)
{
    Q_UNUSED(order);
    if (m_model)
        placePendingRows(); // sorting during a bulk fill starts from the order it would have had
    if (!m_model || column < 0 || column >= columnCount() || column == m_column)
        return;

    relayout([&] {
        const std::vector<int> shown = shownOrder();
        std::vector<Key> keys;
        keys.reserve(shown.size());
        for (int row : shown)
            keys.push_back(keyOf(m_model->text(row, column), row));
        const HeadlineModel *model = m_model;
        std::stable_sort(keys.begin(), keys.end(), [model, column](const Key &a, const Key &b) {
            if (a.prefix != b.prefix)
                return a.prefix < b.prefix;
            if (a.length <= 4 && b.length <= 4)
                return a.length < b.length;
            return model->text(a.row, column).compare(model->text(b.row, column)) < 0;
        });
        std::vector<int> sortedRows;
        sortedRows.reserve(keys.size());
        for (const Key &k : keys)
            sortedRows.push_back(k.row);
        keys = {};
        m_column = column;
        assignOrder(sortedRows);
    });
}

// The new rows [first, last] of the model (appended at its end) join the sorted order. They are
// first shown at the end, as appended, then put in place in one layout change.
void HeadlineSortProxy::appendSorted(int first, int last)
{
    const int oldCount = m_count;
    const int k = last - first + 1;

    beginInsertRows({}, oldCount, oldCount + k - 1);
    if (m_blocks.empty()) {
        m_blocks.push_back({});
        m_starts.assign(1, 0);
    }
    for (int r = first; r <= last; ++r)
        m_blocks.back().rows.push_back(r); // the block starts stay as they are
    m_count += k;
    m_inverse.clear();
    endInsertRows();

    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList persistent = persistentIndexList();
    QList<int> persistentRows; // shown rows before the layout change
    persistentRows.reserve(persistent.size());
    for (const QModelIndex &i : persistent)
        persistentRows.append(i.row());

    // Take the new rows off the end again and sort them stably among themselves.
    Block &tail = m_blocks.back();
    tail.rows.resize(tail.rows.size() - size_t(k));
    m_count = oldCount;

    const int column = m_column;
    const HeadlineModel *model = m_model;
    const auto less = [model, column](int a, int b) {
        return model->text(a, column).compare(model->text(b, column)) < 0;
    };
    std::vector<Key> keys;
    keys.reserve(size_t(k));
    for (int r = first; r <= last; ++r)
        keys.push_back(keyOf(model->text(r, column), r));
    std::stable_sort(keys.begin(), keys.end(), [&](const Key &a, const Key &b) {
        if (a.prefix != b.prefix)
            return a.prefix < b.prefix;
        if (a.length <= 4 && b.length <= 4)
            return a.length < b.length;
        return less(a.row, b.row);
    });

    // Runs: (position among the old shown rows, new rows placed before that position).
    struct Run
    {
        int position;
        int begin; // into keys
        int end;
    };
    std::vector<Run> runs;
    int low = 0;
    int i = 0;
    while (i < k) {
        const int firstNew = keys[size_t(i)].row;
        const int runBegin = i++;
        int high = oldCount - 1;
        while (low <= high) {
            const int mid = (low + high) / 2;
            if (less(firstNew, at(mid)))
                high = mid - 1;
            else
                low = mid + 1;
        }
        const int position = low;
        if (position >= oldCount) {
            i = k;
        } else {
            const int before = at(position);
            while (i < k && !less(before, keys[size_t(i)].row))
                ++i;
        }
        runs.push_back({position, runBegin, i});
    }

    // Place the runs from the last to the first, so that the positions of the earlier ones and
    // the block starts they are found by stay valid.
    if (m_blocks.empty()) {
        m_blocks.push_back({});
        m_starts.assign(1, 0);
    }
    for (auto run = runs.rbegin(); run != runs.rend(); ++run) {
        const auto it = std::upper_bound(m_starts.begin(), m_starts.end(), run->position);
        const size_t b = size_t(it - m_starts.begin()) - 1;
        std::vector<int> &rows = m_blocks[b].rows;
        std::vector<int> added;
        added.reserve(size_t(run->end - run->begin));
        for (int j = run->begin; j < run->end; ++j)
            added.push_back(keys[size_t(j)].row);
        const size_t offset = size_t(run->position - m_starts[b]);
        rows.insert(rows.begin() + qsizetype(offset), added.begin(), added.end());
    }
    m_count = oldCount + k;
    rebuildStarts();

    // Where the persistent rows went: an old row moves down by the new rows placed at or
    // before its position; a new row (one of the tail) goes where its run put it.
    if (!persistent.isEmpty()) {
        QModelIndexList to;
        to.reserve(persistent.size());
        for (qsizetype p = 0; p < persistent.size(); ++p) {
            const int row = persistentRows[p];
            int newRow = row;
            if (row < oldCount) {
                for (const Run &run : runs) {
                    if (run.position <= row)
                        newRow += run.end - run.begin;
                }
            } else {
                const int source = first + (row - oldCount);
                int placed = 0;
                for (const Run &run : runs) {
                    for (int j = run.begin; j < run.end; ++j) {
                        if (keys[size_t(j)].row == source)
                            newRow = run.position + placed + (j - run.begin);
                    }
                    placed += run.end - run.begin;
                }
            }
            to.append(index(newRow, persistent[p].column()));
        }
        changePersistentIndexList(persistent, to);
    }
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

// ---- bulk fill --------------------------------------------------------------------------------

void HeadlineSortProxy::beginBulkFill()
{
    if (m_bulk)
        return;
    m_bulk = true;
    m_bulkPlaced = m_count;
    m_bulkChunks.clear();
}

void HeadlineSortProxy::endBulkFill()
{
    if (!m_bulk)
        return;
    placePendingRows();
    m_bulk = false;
}

// Shows the rows held back during a bulk fill, at the end (as appended while unsorted).
void HeadlineSortProxy::showPendingRows()
{
    if (m_pending == 0)
        return;
    const int first = m_count;
    const int last = m_count + m_pending - 1;
    beginInsertRows({}, first, last);
    if (sorted()) {
        if (m_blocks.empty()) {
            m_blocks.push_back({});
            m_starts.assign(1, 0);
        }
        for (int r = first; r <= last; ++r)
            m_blocks.back().rows.push_back(r); // shown as appended until put in place
        m_inverse.clear();
    }
    m_count = last + 1;
    m_pending = 0;
    endInsertRows();
}

// Puts the rows appended during a bulk fill in place, in one layout change.
void HeadlineSortProxy::placePendingRows()
{
    showPendingRows();
    if (m_bulkChunks.empty() || !sorted()) {
        m_bulkChunks.clear();
        m_bulkPlaced = m_count;
        return;
    }
    relayout([&] {
        std::vector<int> placed = shownOrder();
        placed.resize(size_t(m_bulkPlaced));
        const std::vector<std::pair<int, int>> chunks = std::move(m_bulkChunks);
        m_bulkChunks.clear();
        assignOrder(placeChunks(*m_model, m_column, placed, chunks));
        m_bulkPlaced = m_count;
    });
}

// ---- following the model ----------------------------------------------------------------------

void HeadlineSortProxy::sourceAboutToBeReset()
{
    beginResetModel();
}

void HeadlineSortProxy::sourceReset()
{
    m_bulkChunks.clear();
    m_pending = 0;
    m_bulkPlaced = 0;
    m_blocks.clear();
    m_starts.clear();
    m_inverse.clear();
    m_count = m_model ? m_model->rowCount() : 0;
    if (sorted() && m_count > 0) {
        // A model that comes back with rows is sorted afresh from its own order.
        const int column = m_column;
        m_column = -1;
        endResetModel();
        sort(column);
        m_bulkPlaced = m_count;
        return;
    }
    endResetModel();
}

void HeadlineSortProxy::sourceRowsInserted(const QModelIndex &parent, int first, int last)
{
    if (parent.isValid() || last < first)
        return;
    if (first != m_count + m_pending) {
        // Only appending is expected of a headline model; anything else starts over.
        m_bulkChunks.clear();
        m_pending = 0;
        beginResetModel();
        const int column = m_column;
        m_column = -1;
        m_blocks.clear();
        m_starts.clear();
        m_inverse.clear();
        m_count = m_model->rowCount();
        endResetModel();
        sort(column);
        m_bulkPlaced = m_count;
        return;
    }
    if (m_bulk) {
        // Held back and shown in batches that double what is shown: a view lays out all its
        // rows on every insertion, so showing each chunk as it comes would make the fill
        // quadratic; this way the first rows show at once and the layouts add up to about
        // twice the final one.
        if (sorted())
            m_bulkChunks.emplace_back(first, last);
        m_pending += last - first + 1;
        if (m_pending >= m_count)
            showPendingRows();
        return;
    }
    if (!sorted()) {
        beginInsertRows({}, first, last);
        m_count += last - first + 1;
        endInsertRows();
        return;
    }
    appendSorted(first, last);
}

void HeadlineSortProxy::sourceDataChanged(const QModelIndex &topLeft,
                                          const QModelIndex &bottomRight, const QList<int> &roles)
{
    // Rows not shown yet (held back by a bulk fill) have nothing on screen to change.
    if (!topLeft.isValid() || !bottomRight.isValid() || topLeft.row() >= m_count)
        return;
    const int last = std::min(bottomRight.row(), m_count - 1);
    // The texts never change in place (only the tick), so the order stays as it is.
    if (!sorted()) {
        Q_EMIT dataChanged(index(topLeft.row(), topLeft.column()),
                           index(last, bottomRight.column()), roles);
        return;
    }
    for (int r = topLeft.row(); r <= last; ++r) {
        const int shown = mapFromSource(m_model->index(r, 0)).row();
        Q_EMIT dataChanged(index(shown, topLeft.column()), index(shown, bottomRight.column()),
                           roles);
    }
}

// ---- the item model ---------------------------------------------------------------------------

int HeadlineSortProxy::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_count;
}

int HeadlineSortProxy::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() || !m_model ? 0 : m_model->columnCount();
}

QModelIndex HeadlineSortProxy::index(int row, int column, const QModelIndex &parent) const
{
    if (parent.isValid() || row < 0 || row >= m_count || column < 0 || column >= columnCount())
        return {};
    return createIndex(row, column);
}

Qt::ItemFlags HeadlineSortProxy::flags(const QModelIndex &index) const
{
    if (!m_model || !index.isValid() || index.model() != this || index.row() >= m_count)
        return Qt::NoItemFlags;
    return m_model->columnFlags(index.column());
}

QModelIndex HeadlineSortProxy::parent(const QModelIndex &) const
{
    return {};
}

QModelIndex HeadlineSortProxy::sibling(int row, int column, const QModelIndex &) const
{
    return index(row, column);
}

bool HeadlineSortProxy::hasChildren(const QModelIndex &parent) const
{
    return !parent.isValid() && m_count > 0;
}

QVariant HeadlineSortProxy::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (!m_model)
        return {};
    if (orientation == Qt::Vertical)
        return section >= 0 && section < m_count
                   ? m_model->headerData(sourceRow(section), orientation, role)
                   : QVariant();
    return m_model->headerData(section, orientation, role);
}

QModelIndex HeadlineSortProxy::mapToSource(const QModelIndex &proxyIndex) const
{
    if (!m_model || !proxyIndex.isValid() || proxyIndex.model() != this ||
        proxyIndex.row() >= m_count)
        return {};
    return m_model->index(sourceRow(proxyIndex.row()), proxyIndex.column());
}

QModelIndex HeadlineSortProxy::mapFromSource(const QModelIndex &sourceIndex) const
{
    if (!m_model || !sourceIndex.isValid() || sourceIndex.model() != m_model ||
        sourceIndex.row() >= m_count)
        return {};
    if (!sorted())
        return index(sourceIndex.row(), sourceIndex.column());
    if (m_inverse.size() != size_t(m_count)) {
        m_inverse.assign(size_t(m_count), -1);
        int shown = 0;
        for (const Block &b : m_blocks) {
            for (int r : b.rows)
                m_inverse[size_t(r)] = shown++;
        }
    }
    return index(m_inverse[size_t(sourceIndex.row())], sourceIndex.column());
}

} // namespace mz
