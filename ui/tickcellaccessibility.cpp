#include "ui/tickcellaccessibility.h"

#include "ui/accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QHash>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QTreeView>

namespace mz {

namespace {

constexpr char kExposedProperty[] = "mz_tickBoxesExposed";

// The name Orca looks for when it decides that a cell is a check box.
const QString &tickAction()
{
    static const QString name = QStringLiteral("toggle");
    return name;
}

// `r` is in `w`'s coordinates; screen readers want screen coordinates.
QRect onScreen(const QWidget *w, const QRect &r)
{
    return r.isEmpty() ? QRect() : r.translated(w->mapToGlobal(QPoint(0, 0)));
}

QWindow *windowOf(const QWidget *w)
{
    return w ? w->window()->windowHandle() : nullptr;
}

// Child number of `index` as QTreeView numbers it in its accessibility events: the header row
// comes first (hidden or not), then one row of cells per shown row.
int childNumber(const QModelIndex &index)
{
    return (index.row() + 1) * index.model()->columnCount(index.parent()) + index.column();
}

// What the list's headers and cells have in common: a leaf of the view's interface, with no
// object of its own.
class ViewLeaf : public QAccessibleInterface
{
public:
    explicit ViewLeaf(QTreeView *view) : m_view(view) {}

    QTreeView *view() const { return m_view; }

    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return windowOf(m_view); }
    QAccessibleInterface *parent() const override
    {
        return QAccessible::queryAccessibleInterface(m_view);
    }
    QAccessibleInterface *child(int) const override { return nullptr; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    void setText(QAccessible::Text, const QString &) override {}

protected:
    QPointer<QTreeView> m_view;
};

// A column header; its name is the text the header shows.
class HeaderCell : public ViewLeaf
{
public:
    HeaderCell(QTreeView *view, int column) : ViewLeaf(view), m_column(column) {}

    int column() const { return m_column; }

    bool isValid() const override
    {
        return m_view && m_view->model() && m_column < m_view->model()->columnCount();
    }
    QString text(QAccessible::Text t) const override
    {
        if (!isValid() || t != QAccessible::Name)
            return {};
        const QAbstractItemModel *m = m_view->model();
        const QString own =
            m->headerData(m_column, Qt::Horizontal, Qt::AccessibleTextRole).toString();
        return own.isEmpty() ? m->headerData(m_column, Qt::Horizontal).toString() : own;
    }
    QRect rect() const override
    {
        if (!isValid() || m_view->header()->isHidden())
            return {};
        const QHeaderView *h = m_view->header();
        return onScreen(h->viewport(), QRect(h->sectionViewportPosition(m_column), 0,
                                             h->sectionSize(m_column), h->height()));
    }
    QAccessible::Role role() const override { return QAccessible::ColumnHeader; }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        s.invisible = !isValid() || m_view->header()->isHidden();
        return s;
    }

private:
    int m_column;
};

// One cell of a row. A cell with a tick box reads as a check box and ticks its row; the others
// keep the selection action Qt's cells offer.
class Cell : public ViewLeaf,
             public QAccessibleTableCellInterface,
             public QAccessibleActionInterface
{
public:
    Cell(QTreeView *view, const QModelIndex &index) : ViewLeaf(view), m_index(index) {}

    bool ticks() const
    {
        return isValid() && (m_index.flags() & Qt::ItemIsUserCheckable) &&
               m_index.data(Qt::CheckStateRole).isValid();
    }

    void *interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::TableCellInterface)
            return static_cast<QAccessibleTableCellInterface *>(this);
        if (t == QAccessible::ActionInterface)
            return static_cast<QAccessibleActionInterface *>(this);
        return nullptr;
    }

    bool isValid() const override
    {
        return m_view && m_index.isValid() && m_index.model() == m_view->model();
    }
    QString text(QAccessible::Text t) const override
    {
        if (!isValid())
            return {};
        if (t == QAccessible::Description)
            return m_index.data(Qt::AccessibleDescriptionRole).toString();
        if (t != QAccessible::Name)
            return {};
        const QString own = m_index.data(Qt::AccessibleTextRole).toString();
        return own.isEmpty() ? m_index.data(Qt::DisplayRole).toString() : own;
    }
    QRect rect() const override
    {
        return isValid() ? onScreen(m_view->viewport(), m_view->visualRect(m_index)) : QRect();
    }
    QAccessible::Role role() const override { return QAccessible::TreeItem; }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        if (!isValid()) {
            s.invalid = true;
            return s;
        }
        s.invisible = !m_view->isVisible() ||
                      !m_view->viewport()->rect().intersects(m_view->visualRect(m_index));
        s.selected = isSelected();
        s.focused = m_view->currentIndex() == m_index;
        if (ticks()) {
            s.checkable = true;
            s.checked = m_index.data(Qt::CheckStateRole).toInt() == Qt::Checked;
        }
        if (m_index.flags() & Qt::ItemIsSelectable) {
            s.selectable = true;
            s.focusable = true;
            s.multiSelectable = m_view->selectionMode() == QAbstractItemView::MultiSelection;
            s.extSelectable = m_view->selectionMode() == QAbstractItemView::ExtendedSelection;
        }
        return s;
    }

    // QAccessibleTableCellInterface
    bool isSelected() const override
    {
        return isValid() && m_view->selectionModel() &&
               m_view->selectionModel()->isSelected(m_index);
    }
    QList<QAccessibleInterface *> columnHeaderCells() const override
    {
        QAccessibleInterface *list = table();
        QAccessibleInterface *header = list ? list->child(columnIndex()) : nullptr;
        return header ? QList<QAccessibleInterface *>{header} : QList<QAccessibleInterface *>{};
    }
    QList<QAccessibleInterface *> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return m_index.column(); }
    int rowIndex() const override { return m_index.row(); }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface *table() const override { return parent(); }

    // QAccessibleActionInterface
    QStringList actionNames() const override
    {
        if (!isValid())
            return {};
        return {ticks() ? tickAction() : toggleAction()};
    }
    void doAction(const QString &name) override
    {
        if (!actionNames().contains(name))
            return;
        if (name == tickAction()) { // as a click on the box does
            const bool on = m_index.data(Qt::CheckStateRole).toInt() == Qt::Checked;
            m_view->model()->setData(m_index, on ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
            return;
        }
        QItemSelectionModel *selection = m_view->selectionModel();
        if (!selection || m_view->selectionMode() == QAbstractItemView::NoSelection)
            return;
        QItemSelectionModel::SelectionFlags how =
            isSelected() ? QItemSelectionModel::Deselect
            : m_view->selectionMode() == QAbstractItemView::SingleSelection
                ? QItemSelectionModel::ClearAndSelect
                : QItemSelectionModel::Select;
        if (m_view->selectionBehavior() == QAbstractItemView::SelectRows)
            how |= QItemSelectionModel::Rows;
        selection->select(m_index, how);
    }
    QStringList keyBindingsForAction(const QString &) const override { return {}; }

private:
    QPersistentModelIndex m_index;
};

// The list itself: a tree of rows, as Qt reports a QTreeView, with the cells above as children.
// Cells are made when asked for and kept under their child number until the rows change.
class ListAccessible : public QAccessibleWidget, public QAccessibleTableInterface
{
public:
    explicit ListAccessible(QTreeView *view) : QAccessibleWidget(view, QAccessible::Tree) {}
    ~ListAccessible() override
    {
        for (QAccessible::Id id : std::as_const(m_cells))
            QAccessible::deleteAccessibleInterface(id);
    }

    void *interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::TableInterface)
            return static_cast<QAccessibleTableInterface *>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    int childCount() const override { return (rowCount() + 1) * columnCount(); }
    QAccessibleInterface *child(int number) const override
    {
        const int columns = columnCount();
        if (number < 0 || number >= childCount())
            return nullptr;
        const int row = number / columns - 1, column = number % columns;
        const QAccessible::Id kept = m_cells.value(number);
        if (QAccessibleInterface *cell = QAccessible::accessibleInterface(kept)) {
            if (indexOfChild(cell) == number)
                return cell;
            m_cells.remove(number); // the rows moved under it (a sort)
            QAccessible::deleteAccessibleInterface(kept);
        }
        QAccessibleInterface *cell =
            row < 0 ? static_cast<QAccessibleInterface *>(new HeaderCell(view(), column))
                    : new Cell(view(), view()->model()->index(row, column, view()->rootIndex()));
        m_cells.insert(number, QAccessible::registerAccessibleInterface(cell));
        return cell;
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        if (const auto *header = dynamic_cast<const HeaderCell *>(child))
            return header->view() == view() && header->isValid() ? header->column() : -1;
        if (const auto *cell = dynamic_cast<const Cell *>(child))
            return cell->view() == view() && cell->isValid()
                       ? (cell->rowIndex() + 1) * columnCount() + cell->columnIndex()
                       : -1;
        return -1;
    }
    QAccessibleInterface *childAt(int x, int y) const override
    {
        const QPoint global(x, y);
        const QModelIndex index = view()->indexAt(view()->viewport()->mapFromGlobal(global));
        if (index.isValid())
            return child(childNumber(index));
        const QHeaderView *h = view()->header();
        const QPoint inHeader = h->viewport()->mapFromGlobal(global);
        if (h->isVisible() && h->viewport()->rect().contains(inHeader))
            return child(h->logicalIndexAt(inHeader));
        return nullptr;
    }
    QAccessibleInterface *focusChild() const override
    {
        const QModelIndex current = view()->currentIndex();
        return current.isValid() ? child(childNumber(current)) : nullptr;
    }

    // QAccessibleTableInterface
    QAccessibleInterface *caption() const override { return nullptr; }
    QAccessibleInterface *summary() const override { return nullptr; }
    QAccessibleInterface *cellAt(int row, int column) const override
    {
        if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
            return nullptr;
        return child((row + 1) * columnCount() + column);
    }
    int selectedCellCount() const override { return int(selectedIndexes().size()); }
    QList<QAccessibleInterface *> selectedCells() const override
    {
        QList<QAccessibleInterface *> cells;
        for (const QModelIndex &index : selectedIndexes())
            cells << child(childNumber(index));
        return cells;
    }
    QString columnDescription(int column) const override
    {
        return view()->model() ? view()->model()->headerData(column, Qt::Horizontal).toString()
                               : QString();
    }
    QString rowDescription(int) const override { return {}; }
    int selectedColumnCount() const override { return int(selectedColumns().size()); }
    int selectedRowCount() const override { return int(selectedRows().size()); }
    int columnCount() const override
    {
        return view()->model() ? view()->model()->columnCount(view()->rootIndex()) : 0;
    }
    int rowCount() const override
    {
        return view()->model() ? view()->model()->rowCount(view()->rootIndex()) : 0;
    }
    QList<int> selectedColumns() const override
    {
        QList<int> columns;
        if (const QItemSelectionModel *s = view()->selectionModel())
            for (const QModelIndex &index : s->selectedColumns())
                columns << index.column();
        return columns;
    }
    QList<int> selectedRows() const override
    {
        QList<int> rows;
        if (const QItemSelectionModel *s = view()->selectionModel())
            for (const QModelIndex &index : s->selectedRows())
                rows << index.row();
        return rows;
    }
    bool isColumnSelected(int column) const override
    {
        const QItemSelectionModel *s = view()->selectionModel();
        return s && s->isColumnSelected(column, view()->rootIndex());
    }
    bool isRowSelected(int row) const override
    {
        const QItemSelectionModel *s = view()->selectionModel();
        return s && s->isRowSelected(row, view()->rootIndex());
    }
    bool selectRow(int row) override
    {
        return selectWholeRow(row, view()->selectionMode() == QAbstractItemView::SingleSelection
                                       ? QItemSelectionModel::ClearAndSelect
                                       : QItemSelectionModel::Select);
    }
    bool unselectRow(int row) override
    {
        return selectWholeRow(row, QItemSelectionModel::Deselect);
    }
    // The lists select whole rows only.
    bool selectColumn(int) override { return false; }
    bool unselectColumn(int) override { return false; }

    void modelChange(QAccessibleTableModelChangeEvent *event) override
    {
        if (event->modelChangeType() == QAccessibleTableModelChangeEvent::DataChanged)
            announceTicks(*event);
        else
            renumberCells();
    }

private:
    QTreeView *view() const { return static_cast<QTreeView *>(widget()); }

    QModelIndexList selectedIndexes() const
    {
        const QItemSelectionModel *s = view()->selectionModel();
        return s ? s->selectedIndexes() : QModelIndexList();
    }

    bool selectWholeRow(int row, QItemSelectionModel::SelectionFlags how)
    {
        QItemSelectionModel *s = view()->selectionModel();
        if (!s || row < 0 || row >= rowCount() ||
            view()->selectionMode() == QAbstractItemView::NoSelection)
            return false;
        s->select(view()->model()->index(row, 0, view()->rootIndex()),
                  how | QItemSelectionModel::Rows);
        return true;
    }

    // After rows came or went, a kept cell moves to its row's new number; the cells of rows
    // that are gone (all of them after a reset) are deleted, so no id outlives its row.
    void renumberCells()
    {
        QHash<int, QAccessible::Id> renumbered;
        for (auto it = m_cells.cbegin(); it != m_cells.cend(); ++it) {
            QAccessibleInterface *cell = QAccessible::accessibleInterface(it.value());
            const int number = cell ? indexOfChild(cell) : -1;
            if (number >= 0 && !renumbered.contains(number))
                renumbered.insert(number, it.value());
            else if (cell)
                QAccessible::deleteAccessibleInterface(it.value());
        }
        m_cells = renumbered;
    }

    // A tick set or cleared in the model (by a click, the space key or the toggle action) is
    // told to the screen reader for the cells it knows.
    void announceTicks(const QAccessibleTableModelChangeEvent &event) const
    {
        const QList<QAccessible::Id> ids = m_cells.values();
        for (QAccessible::Id id : ids) {
            auto *cell = dynamic_cast<Cell *>(QAccessible::accessibleInterface(id));
            if (!cell || !cell->ticks() || cell->rowIndex() < event.firstRow() ||
                cell->rowIndex() > event.lastRow() || cell->columnIndex() < event.firstColumn() ||
                cell->columnIndex() > event.lastColumn())
                continue;
            QAccessible::State changed;
            changed.checked = true;
            QAccessibleStateChangeEvent told(cell, changed);
            QAccessible::updateAccessibility(&told);
        }
    }

    mutable QHash<int, QAccessible::Id> m_cells;
};

QAccessibleInterface *factory(const QString &className, QObject *object)
{
    if (className != QLatin1String("QTreeView") || !object ||
        !object->property(kExposedProperty).toBool())
        return nullptr;
    return new ListAccessible(static_cast<QTreeView *>(object));
}

} // namespace

void exposeHeadlineCells(QTreeView *view)
{
    installFactoryOnce<factory>();
    view->setProperty(kExposedProperty, true);
    dropForeignInterface<ListAccessible>(view); // attaching the model may have made Qt's own
}

} // namespace mz
