#pragma once
// Read access to the rows a search walks, and the shape of one hit in the result list.
//
// A search reads the archive list in the order the list shows it (after sorting), so it takes
// the rows through an accessor instead of a container: the window hands in its model in the
// view's order, tests hand in plain lists as well.
//
// The title searches read titles from a TitleBlock. A source over a model hands in the model's
// own block with the order in which the view shows the block's rows; a source without a block
// gets a block built from its rows for the search (one more copy of the titles).

#include "lists/headline.h"
#include "lists/titleblock.h"

#include <QList>
#include <functional>

namespace mz {

class HeadlineModel;

struct RowSource
{
    int count = 0;                            // taken once when the search starts
    std::function<HeadlineRow(int)> row;      // 0-based, 0 <= i < count
    std::function<QStringView(int)> category; // row i's category, without a copy of the row

    // Optional: the titles of the rows behind the source; row i's title is the title of block
    // row order[i], or of block row i when order is empty.
    const TitleBlock *titles = nullptr;
    QList<int> order;
};

// The rows of a list, in list order. The list must outlive the source.
RowSource rowsOf(const HeadlineRows &rows);

// The rows of a model in insertion order, with its title block. The model must outlive the
// source and stay unchanged while it is used.
RowSource rowsOf(const HeadlineModel &model);

// The rows of a model in the order `order` gives (order[i] is the model row shown as row i);
// the model must outlive the source and stay unchanged while it is used.
RowSource rowsOf(const HeadlineModel &model, QList<int> order);

// One result list row for a hit: the source's title and address, the given icon (0 = none),
// no category, no comment address, not ticked.
HeadlineRow resultRow(const HeadlineRow &source, int icon);

// The status text that reports a search's hit count: 搜索到N条.
QString foundText(qsizetype found);

} // namespace mz
