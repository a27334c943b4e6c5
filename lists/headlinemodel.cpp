#include "lists/headlinemodel.h"

namespace mz {

HeadlineModel::HeadlineModel(Kind kind, QObject *parent) : QAbstractTableModel(parent), m_kind(kind)
{
}

int HeadlineModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int HeadlineModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 3;
}

QVariant HeadlineModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    const HeadlineRow &r = m_rows.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        switch (index.column()) {
        case 0:
            return r.title;
        case 1:
            return r.sub1;
        default:
            return r.sub2;
        }
    case Qt::DecorationRole:
        if (index.column() == 0 && r.icon > 0 && m_iconProvider && m_kind != Kind::Favorites)
            return m_iconProvider(r.icon);
        return {};
    case Qt::CheckStateRole:
        if (index.column() == 0 && m_kind == Kind::Hot)
            return r.checked ? Qt::Checked : Qt::Unchecked;
        return {};
    case IconIndexRole:
        return r.icon;
    case TagRole:
        return r.tag;
    case RowRole:
        return index.row();
    default:
        return {};
    }
}

bool HeadlineModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || index.column() != 0 || role != Qt::CheckStateRole ||
        m_kind != Kind::Hot)
        return false;
    m_rows[index.row()].checked = value.toInt() == Qt::Checked;
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
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() == 0 && m_kind == Kind::Hot)
        f |= Qt::ItemIsUserCheckable;
    return f;
}

void HeadlineModel::clear()
{
    if (m_rows.isEmpty())
        return;
    beginResetModel();
    m_rows.clear();
    m_titles.clear();
    endResetModel();
}

void HeadlineModel::append(const HeadlineRow &row)
{
    const int n = int(m_rows.size());
    beginInsertRows({}, n, n);
    m_rows.append(row);
    m_titles.append(row.title);
    endInsertRows();
}

void HeadlineModel::append(const HeadlineRows &rows)
{
    if (rows.isEmpty())
        return;
    const int n = int(m_rows.size());
    beginInsertRows({}, n, n + int(rows.size()) - 1);
    m_rows.append(rows);
    for (const HeadlineRow &row : rows)
        m_titles.append(row.title);
    endInsertRows();
}

void HeadlineModel::append(HeadlineRows &&rows)
{
    if (rows.isEmpty())
        return;
    const int n = int(m_rows.size());
    beginInsertRows({}, n, n + int(rows.size()) - 1);
    for (const HeadlineRow &row : rows)
        m_titles.append(row.title);
    if (m_rows.isEmpty())
        m_rows = std::move(rows);
    else
        m_rows.append(std::move(rows));
    endInsertRows();
}

void HeadlineModel::setIconProvider(std::function<QVariant(int)> provider)
{
    m_iconProvider = std::move(provider);
}

} // namespace mz
