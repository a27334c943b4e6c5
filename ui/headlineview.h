#pragma once
// How a headline list view is put together: the view shows its model through a sorting proxy,
// which sorts only when asked and then keeps sorting as rows are added.

#include <QList>

class QAbstractProxyModel;
class QTreeView;

namespace mz {

class HeadlineModel;
class HeadlineSortProxy;

// Puts `model` behind `view` through `proxy` (which the view takes over). The view does not sort
// by itself: header clicks are handled by the window.
void attachHeadlineModel(QTreeView *view, HeadlineModel *model, QAbstractProxyModel *proxy);
// The window's route: a HeadlineSortProxy, which sorts over the model's own strings and keeps a
// sorted list sorted while it is filled in chunks at linear cost.
HeadlineSortProxy *attachSortedHeadlineModel(QTreeView *view, HeadlineModel *model);

// Sorts the view ascending by `column` (0-based) and shows the header's sort indicator. The
// order stays ascending whatever the header had shown, and stays in force for later rows.
void sortAscending(QTreeView *view, QAbstractProxyModel *proxy, int column);

// When the view grows or shrinks, the title column takes the difference, so the address column
// keeps its width; the user can still drag every column. A view first shown too narrow for its
// columns narrows the title likewise, unless the columns were given widths of the user's.
void letTitleTakeExtraWidth(QTreeView *view);

// The widths of the first three columns of each view, view by view; and back. A list of any
// other length leaves the views as they are. `titleChange` is added to each title, not below the
// header's minimum: the widths for lists that much wider (narrower when negative), as the title
// takes what a list gains or loses.
QList<int> columnWidths(const QList<QTreeView *> &views, int titleChange = 0);
void setColumnWidths(const QList<QTreeView *> &views, const QList<int> &widths);
// The view's widths were set for a wider view than it will be (a window fitted into a smaller
// screen than the one they were kept on): the first size it gets narrows the title as it does
// for laid-out widths, so that the columns after it are in sight.
void fitTitleAtFirstSize(QTreeView *view);

} // namespace mz
