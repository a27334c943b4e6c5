#pragma once
// How a headline list view is put together: the view shows its model through a sorting proxy,
// which sorts only when asked and then keeps sorting as rows are added.

class QSortFilterProxyModel;
class QTreeView;

namespace mz {

class HeadlineModel;
class HeadlineSortProxy;

// Puts `model` behind `view` through a new proxy (owned by the view) and returns the proxy.
// The view does not sort by itself: header clicks are handled by the window.
QSortFilterProxyModel *attachHeadlineModel(QTreeView *view, HeadlineModel *model);

// Sorts the view ascending by `column` (0-based) and shows the header's sort indicator. The
// order stays ascending whatever the header had shown, and stays in force for later rows.
void sortAscending(QTreeView *view, QSortFilterProxyModel *proxy, int column);

// The same through a HeadlineSortProxy, which sorts over the model's own strings and keeps a
// sorted list sorted while it is filled in chunks at linear cost. The shown order is the one
// the QSortFilterProxyModel route above gives.
HeadlineSortProxy *attachSortedHeadlineModel(QTreeView *view, HeadlineModel *model);
void sortAscending(QTreeView *view, HeadlineSortProxy *proxy, int column);

} // namespace mz
