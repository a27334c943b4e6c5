#pragma once
// How a headline list shows its rows to screen readers. Qt's own interface for a QTreeView
// reports a tick box's state at most, and its only cell action toggles the selection; Orca reads
// a table cell as a check box when the cell offers an action named "toggle". This interface
// gives the tick cells that action (it ticks the row as a click does) and reports the cells,
// the column headers and the focused row under the child numbers QTreeView uses in its own
// focus and selection events.

class QTreeView;

namespace mz {

// From now on, screen readers reach `view` through the interface above. Call it before the
// view is shown; an interface Qt made for the view earlier is dropped.
void exposeHeadlineCells(QTreeView *view);

} // namespace mz
