#include "lists/headlinemodel.h"

#include "platform/largepages.h"

namespace mz {

HeadlineModel::HeadlineModel(Kind kind, QObject *parent) : QAbstractTableModel(parent), m_kind(kind)
{
}

int HeadlineModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_count;
}

int HeadlineModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 3;
}

HeadlineRow HeadlineModel::row(int i) const
{
    return HeadlineRow{text(i, 0).toString(),
                       m_categoryNames[m_categories[size_t(i)]],
                       text(i, 2).toString(),
                       tag(i),
                       icon(i),
                       checked(i)};
}

HeadlineRows HeadlineModel::rows() const
{
    HeadlineRows all;
    all.reserve(m_count);
    for (int i = 0; i < m_count; ++i)
        all.append(row(i));
    return all;
}

QVariant HeadlineModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_count)
        return {};
    const int i = index.row();
    switch (role) {
    case Qt::DisplayRole:
        if (index.column() == 1)
            return oneLine(m_categoryNames[m_categories[size_t(i)]]); // shared, not copied
        return oneLine(text(i, index.column()).toString());
    case Qt::ToolTipRole: // a tooltip shows every line
        if (index.column() == 1)
            return m_categoryNames[m_categories[size_t(i)]];
        return text(i, index.column()).toString();
    case Qt::DecorationRole:
        if (index.column() == 0 && icon(i) > 0 && m_iconProvider && m_kind != Kind::Favorites)
            return m_iconProvider(icon(i));
        return {};
    case Qt::CheckStateRole:
        if (index.column() == 0 && m_kind == Kind::Hot)
            return checked(i) ? Qt::Checked : Qt::Unchecked;
        return {};
    case IconIndexRole:
        return icon(i);
    case TagRole:
        return tag(i);
    case RowRole:
        return i;
    default:
        return {};
    }
}

bool HeadlineModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || index.column() != 0 || role != Qt::CheckStateRole ||
        m_kind != Kind::Hot)
        return false;
    m_checked[size_t(index.row())] = value.toInt() == Qt::Checked;
    Q_EMIT dataChanged(index, index, {Qt::CheckStateRole});
    return true;
}
QVariant HeadlineModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case 0:
        return QStringLiteral("名字");
    case 1:
        return QStringLiteral("分类");
    case 2:
        return m_kind == Kind::Hot ? QStringLiteral("评论") : QStringLiteral("日期");
    default:
        return {};
    }
}

Qt::ItemFlags HeadlineModel::flags(const QModelIndex &index) const
{
    return QAbstractTableModel::flags(index) ? columnFlags(index.column()) : Qt::NoItemFlags;
}

Qt::ItemFlags HeadlineModel::columnFlags(int column) const
{
    Qt::ItemFlags f = Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
    if (column == 0 && m_kind == Kind::Hot)
        f |= Qt::ItemIsUserCheckable;
    return f;
}

void HeadlineModel::clear()
{
    if (m_count == 0)
        return;
    beginResetModel();
    m_count = 0;
    m_titles.clear(false);
    m_categories.clear();
    m_categoryNames.clear();
    m_categoryIndex.clear();
    m_lastCategory = 0;
    m_recentCategories.fill(0);
    m_sub2.clear();
    m_tags.clear(false);
    m_icons.clear();
    m_checked.clear();
    endResetModel();
}

quint32 HeadlineModel::categoryIndex(QStringView name)
{
    // A page has a few dozen categories and rows of one category often follow each other.
    if (m_lastCategory < m_categoryNames.size() && m_categoryNames[m_lastCategory] == name)
        return m_lastCategory;
    quint32 &recent = m_recentCategories[qHash(name) % m_recentCategories.size()];
    if (recent != 0 && m_categoryNames[recent - 1] == name)
        return m_lastCategory = recent - 1;
    const QString key = name.toString();
    auto found = m_categoryIndex.constFind(key);
    if (found == m_categoryIndex.constEnd()) {
        found = m_categoryIndex.insert(key, quint32(m_categoryNames.size()));
        m_categoryNames.push_back(key);
    }
    recent = *found + 1;
    return m_lastCategory = *found;
}

void HeadlineModel::storeRow(QStringView title, QStringView sub1, QStringView sub2,
                             QStringView tagHead, QStringView tagTail, int icon, bool checked)
{
    const size_t i = size_t(m_count);
    m_titles.append(title);
    m_categories.push_back(categoryIndex(sub1));
    if (!sub2.isEmpty()) {
        while (size_t(m_sub2.rowCount()) < i)
            m_sub2.append(QStringView());
        m_sub2.append(sub2);
    } else if (size_t(m_sub2.rowCount()) == i && i > 0) {
        m_sub2.append(QStringView()); // keeps a started column in step
    }
    m_tags.append(tagHead, tagTail);
    m_icons.push_back(icon > 0 && icon < 256 ? quint8(icon) : 0);
    m_checked.push_back(checked);
    ++m_count;
}

void HeadlineModel::releaseIfOversized(qsizetype rows)
{
    // Kept for a list of about this size; a list of a tenth of it or less gets it back.
    if (m_count != 0 || m_categories.capacity() <= size_t(std::max<qsizetype>(rows, 4096)) * 10)
        return;
    m_titles.clear(true);
    m_tags.clear(true);
    std::vector<quint32>().swap(m_categories);
    std::vector<quint8>().swap(m_icons);
    std::vector<quint8>().swap(m_checked);
}

void HeadlineModel::reserveMore(qsizetype rows, qsizetype titleUnits, qsizetype tagBytes)
{
    m_titles.reserveMore(rows, titleUnits);
    m_tags.reserveMore(rows, tagBytes);
    growVector(m_categories, size_t(rows));
    growVector(m_icons, size_t(rows));
    growVector(m_checked, size_t(rows));
}

void HeadlineModel::append(const HeadlineRow &row)
{
    beginInsertRows({}, m_count, m_count);
    storeRow(row.title, row.sub1, row.sub2, row.tag, {}, row.icon, row.checked);
    endInsertRows();
}

void HeadlineModel::append(const HeadlineRows &rows)
{
    if (rows.isEmpty())
        return;
    beginInsertRows({}, m_count, m_count + int(rows.size()) - 1);
    qsizetype titleUnits = 0;
    qsizetype tagUnits = 0;
    for (const HeadlineRow &row : rows) {
        titleUnits += row.title.size();
        tagUnits += row.tag.size();
    }
    reserveMore(rows.size(), titleUnits, tagUnits);
    for (const HeadlineRow &row : rows)
        storeRow(row.title, row.sub1, row.sub2, row.tag, {}, row.icon, row.checked);
    endInsertRows();
}

void HeadlineModel::append(std::span<const HeadlineRef> rows)
{
    if (rows.empty())
        return;
    beginInsertRows({}, m_count, m_count + int(rows.size()) - 1);
    qsizetype titleUnits = 0;
    qsizetype tagUnits = 0;
    for (const HeadlineRef &row : rows) {
        titleUnits += row.title.size();
        tagUnits += row.tagHead.size() + row.tagTail.size();
    }
    const bool first = m_count == 0;
    if (first && m_expectedRows > 0)
        releaseIfOversized(m_expectedRows);
    reserveMore(qsizetype(rows.size()), titleUnits, tagUnits);
    for (const HeadlineRef &row : rows)
        storeRow(row.title, row.sub1, {}, row.tagHead, row.tagTail, row.icon, false);
    if (first && m_expectedRows > m_count) {
        // Room for the rest, a quarter more per row than these rows take on average.
        const qsizetype more = m_expectedRows + m_expectedRows / 16 - m_count;
        const auto scaled = [&](qsizetype taken) { return taken * more / m_count * 5 / 4 + 16; };
        reserveMore(more, scaled(m_titles.size()), scaled(m_tags.byteCount()));
    }
    m_expectedRows = 0;
    endInsertRows();
}

void HeadlineModel::setIconProvider(std::function<QVariant(int)> provider)
{
    m_iconProvider = std::move(provider);
}

} // namespace mz
