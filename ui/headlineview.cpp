#include "ui/headlineview.h"

#include "lists/headlinemodel.h"

#include <QHeaderView>
#include <QSortFilterProxyModel>
#include <QTreeView>

namespace mz {

QSortFilterProxyModel *attachHeadlineModel(QTreeView *view, HeadlineModel *model)
{
    auto *proxy = new QSortFilterProxyModel(view);
    proxy->setSourceModel(model);
    proxy->setDynamicSortFilter(true);
    proxy->setSortRole(Qt::DisplayRole);
    view->setSortingEnabled(false);
    view->setUniformRowHeights(true); // keeps laying out 100,000 rows cheap
    view->setModel(proxy);
    // Titles get most of the room; the user can drag the columns.
    view->header()->resizeSection(0, 460);
    view->header()->resizeSection(1, 90);
    return proxy;
}

void sortAscending(QTreeView *view, QSortFilterProxyModel *proxy, int column)
{
    if (column < 0 || column >= proxy->columnCount())
        return;
    proxy->sort(column, Qt::AscendingOrder);
    view->header()->setSortIndicatorShown(true);
    view->header()->setSortIndicator(column, Qt::AscendingOrder);
}

} // namespace mz
