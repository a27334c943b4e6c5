#pragma once
// The rows of one list view. The same model type serves ListView1, ListView2 and ListView3;
// the view kind decides the header texts and whether rows carry a tick box.

#include "lists/headline.h"
#include "lists/titleblock.h"

#include <QAbstractTableModel>
#include <functional>

namespace mz {

class HeadlineModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum class Kind { Hot, Archive, Favorites }; // ListView1, ListView2, ListView3
    enum Roles { IconIndexRole = Qt::UserRole + 1, TagRole, RowRole };

    explicit HeadlineModel(Kind kind, QObject *parent = nullptr);

    Kind kind() const { return m_kind; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    // Rows in insertion order (row n of the list as filled, before any sorting).
    const HeadlineRow &row(int i) const { return m_rows.at(i); }
    const HeadlineRows &rows() const { return m_rows; }
    // Column `column`'s text of row `i` in insertion order: what the view shows and sorts by.
    QStringView text(int i, int column) const
    {
        const HeadlineRow &r = m_rows.at(i);
        return column == 0 ? r.title : column == 1 ? r.sub1 : r.sub2;
    }
    // The same rows' titles in one block, in insertion order (row i is block row i); kept in
    // step by clear and append.
    const TitleBlock &titles() const { return m_titles; }
    void clear();
    void append(const HeadlineRow &row);
    void append(const HeadlineRows &rows);
    void append(HeadlineRows &&rows); // one insertion for the whole batch, without copying

    // Maps an ImageList1 index to the picture shown as the row's icon (set by the window).
    void setIconProvider(std::function<QVariant(int)> provider);

private:
    Kind m_kind;
    HeadlineRows m_rows;
    TitleBlock m_titles;
    std::function<QVariant(int)> m_iconProvider;
};

} // namespace mz
