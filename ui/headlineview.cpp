#include "ui/headlineview.h"

#include "lists/headlinemodel.h"
#include "lists/headlinesortproxy.h"

#include <QHeaderView>
#include <QSortFilterProxyModel>
#include <QTreeView>

namespace mz {

namespace {

void setUpView(QTreeView *view, QAbstractItemModel *proxy)
{
    view->setSortingEnabled(false);
    view->setUniformRowHeights(true); // keeps laying out 100,000 rows cheap
    view->setModel(proxy);
    // Titles get most of the room; the user can drag the columns.
    view->header()->resizeSection(0, 460);
    view->header()->resizeSection(1, 90);
}

} // namespace

QSortFilterProxyModel *attachHeadlineModel(QTreeView *view, HeadlineModel *model)
{
    auto *proxy = new QSortFilterProxyModel(view);
    proxy->setSourceModel(model);
    proxy->setDynamicSortFilter(true);
    proxy->setSortRole(Qt::DisplayRole);
    setUpView(view, proxy);
    return proxy;
}

HeadlineSortProxy *attachSortedHeadlineModel(QTreeView *view, HeadlineModel *model)
{
    auto *proxy = new HeadlineSortProxy(view);
    proxy->setSourceModel(model);
    setUpView(view, proxy);
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

void sortAscending(QTreeView *view, HeadlineSortProxy *proxy, int column)
{
    if (column < 0 || column >= proxy->columnCount())
        return;
    proxy->sort(column);
    view->header()->setSortIndicatorShown(true);
    view->header()->setSortIndicator(column, Qt::AscendingOrder);
}

} // namespace mz
