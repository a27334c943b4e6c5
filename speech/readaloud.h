#pragma once
// The texts the read-aloud commands hand to the speech engine.

#include <QString>
#include <functional>

namespace mz {

struct HeadlineRow;

// All titles of the rows, in order, each followed by one blank; "请先显示新闻" when there are none.
QString readAllText(int rowCount, const std::function<const HeadlineRow &(int)> &row);
// The titles of the ticked rows, each followed by two blanks; "请在新闻前面的方框里打勾" when none
// is ticked.
QString readTickedText(int rowCount, const std::function<const HeadlineRow &(int)> &row);

} // namespace mz
