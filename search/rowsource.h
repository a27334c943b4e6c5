#pragma once
// Read access to the rows a search walks, and the shape of one hit in the result list.
//
// A search reads the archive list in the order the list shows it (after sorting), so it takes
// the rows through an accessor instead of a container: the window hands in the view's order,
// tests and benchmarks hand in a plain list.

#include "lists/headline.h"

#include <functional>

namespace mz {

struct RowSource
{
    int count = 0;                               // taken once when the search starts
    std::function<const HeadlineRow &(int)> row; // 0-based, 0 <= i < count
};

// Every row's strings are separate heap blocks, so a pass over many rows waits on memory more
// than it compares: the searches ask for the text of the row kPrefetchRows ahead early.
inline constexpr int kPrefetchRows = 8;
inline void prefetch(const void *p)
{
#if defined(__GNUC__)
    __builtin_prefetch(p);
#else
    (void)p;
#endif
}

// The rows of a list, in list order. The list must outlive the source.
RowSource rowsOf(const HeadlineRows &rows);

// One result list row for a hit: the source's title and address, the given icon (0 = none),
// no category, no comment address, not ticked.
HeadlineRow resultRow(const HeadlineRow &source, int icon);

// The status text that reports a search's hit count: 搜索到N条.
QString foundText(qsizetype found);

} // namespace mz
