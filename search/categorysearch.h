#pragma once
// Category search: the headlines whose category matches a category name.
//
// The name 考试 is special: the archive parser files every entry without a category under 考试,
// so 考试 gathers the rows whose category, with leading and trailing U+0020 blanks removed, is
// empty or 考试 (tabs and the full-width blank U+3000 are not removed). Every other name matches
// the rows whose category contains it (plain code-unit containment, as in the keyword search).
//
// Names outside the category table are accepted; their hits carry no icon.

#include "search/rowsource.h"

#include <QList>

namespace mz {

bool categoryMatches(QStringView name, QStringView category);

// The indexes of the matching rows, in row order, each at most once.
QList<int> categoryHits(const RowSource &rows, QStringView name);

// The result list rows for category hits: each carries the icon of the name searched for,
// not the icon of its own category.
HeadlineRows categoryResultRows(const RowSource &rows, const QList<int> &hits, QStringView name);

} // namespace mz
