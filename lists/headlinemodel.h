#pragma once
// The rows of one list view. The same model type serves ListView1, ListView2 and ListView3;
// the view kind decides the header texts and whether rows carry a tick box.
//
// The rows are kept by column, not as one record per row: all titles in one block, each
// category once with a small index per row, the addresses compactly in one buffer, icons and
// ticks as one byte per row. A million rows of an archive page then take a little over a
// hundred bytes each.

#include "lists/addressblock.h"
#include "lists/headline.h"
#include "lists/titleblock.h"

#include <QAbstractTableModel>
#include <QHash>
#include <functional>
#include <span>
#include <array>
#include <vector>

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
    // The flags of every cell of `column` (they do not depend on the row).
    Qt::ItemFlags columnFlags(int column) const;

    // Row `i` in insertion order (row n of the list as filled, before any sorting), put together
    // from the columns.
    HeadlineRow row(int i) const;
    // All rows in insertion order, put together (for short lists).
    HeadlineRows rows() const;
    // Column `column`'s text of row `i` in insertion order: what the view shows and sorts by.
    QStringView text(int i, int column) const
    {
        return column == 0   ? m_titles.title(i)
               : column == 1 ? QStringView(m_categoryNames[m_categories[size_t(i)]])
               : size_t(i) < size_t(m_sub2.rowCount()) ? m_sub2.title(i)
                                                       : QStringView();
    }
    QString tag(int i) const { return m_tags.at(i); }
    int icon(int i) const { return m_icons[size_t(i)]; }
    bool checked(int i) const { return m_checked[size_t(i)]; }

    // The rows' titles in one block, in insertion order (row i is block row i).
    const TitleBlock &titles() const { return m_titles; }
    // Removes all rows. Their memory is kept for the next fill (a day's list is usually
    // followed by another of about its size, and refilling memory already mapped is several
    // times faster than mapping it afresh); a fill announced by expectRows() with a tenth of
    // the rows or fewer gives it back.
    void clear();
    void append(const HeadlineRow &row);
    void append(const HeadlineRows &rows); // one insertion for the whole batch
    // Rows a parser found, in one insertion; the views need only live for the call. Their
    // comment address is empty and they are not ticked.
    void append(std::span<const HeadlineRef> rows);
    // About how many rows the appends of parsed rows that follow will bring in all (a page's
    // estimate): the first such append reserves room for all of them at once, sized after its
    // own rows, so that a large list is neither copied while it grows nor mapped page by page.
    void expectRows(qsizetype rows) { m_expectedRows = rows; }

    // Maps an ImageList1 index to the picture shown as the row's icon (set by the window).
    void setIconProvider(std::function<QVariant(int)> provider);

private:
    void storeRow(QStringView title, QStringView sub1, QStringView sub2, QStringView tagHead,
                  QStringView tagTail, int icon, bool checked);
    quint32 categoryIndex(QStringView name);
    // Room for `rows` more rows with titles of `titleUnits` and addresses of about `tagBytes`.
    void reserveMore(qsizetype rows, qsizetype titleUnits, qsizetype tagBytes);
    // Gives back kept memory far larger than a fill of `rows` rows needs.
    void releaseIfOversized(qsizetype rows);

    Kind m_kind;
    int m_count = 0;
    qsizetype m_expectedRows = 0;
    TitleBlock m_titles;
    std::vector<quint32> m_categories;    // index into m_categoryNames
    std::vector<QString> m_categoryNames; // each category once
    QHash<QString, quint32> m_categoryIndex;
    quint32 m_lastCategory = 0;
    // Recently seen categories by the hash of their text (index + 1; 0 = empty): finds a known
    // category without making a QString of the row's text for the lookup.
    std::array<quint32, 256> m_recentCategories{};
    TitleBlock m_sub2; // rows past its end have an empty third column
    AddressBlock m_tags;
    std::vector<quint8> m_icons; // ImageList1 has 25 pictures; larger indexes are kept as 0
    std::vector<quint8> m_checked;
    std::function<QVariant(int)> m_iconProvider;
};

} // namespace mz
