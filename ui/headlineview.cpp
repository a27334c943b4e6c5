#include "ui/headlineview.h"

#include "lists/headlinemodel.h"
#include "lists/headlinesortproxy.h"

#include <QHeaderView>
#include <QTreeView>

namespace mz {

void attachHeadlineModel(QTreeView *view, HeadlineModel *model, QAbstractProxyModel *proxy)
{
    proxy->setParent(view);
    proxy->setSourceModel(model);
    view->setSortingEnabled(false);
    view->setUniformRowHeights(true); // keeps laying out 100,000 rows cheap
    view->setModel(proxy);
    // Titles get most of the room; the user can drag the columns.
    view->header()->resizeSection(0, 460);
    view->header()->resizeSection(1, 90);
}

HeadlineSortProxy *attachSortedHeadlineModel(QTreeView *view, HeadlineModel *model)
{
    auto *proxy = new HeadlineSortProxy(view);
    attachHeadlineModel(view, model, proxy);
    return proxy;
}

void sortAscending(QTreeView *view, QAbstractProxyModel *proxy, int column)
{
    if (column < 0 || column >= proxy->columnCount())
        return;
    proxy->sort(column, Qt::AscendingOrder);
    view->header()->setSortIndicatorShown(true);
    view->header()->setSortIndicator(column, Qt::AscendingOrder);
}

} // namespace mz
