#pragma once
// The texts the read-aloud commands hand to the speech engine, and which row a position in such
// a text belongs to.

#include <QList>
#include <QString>
#include <functional>

namespace mz {

struct HeadlineRow;

// A text to speak and the rows it reads. Item k is the k-th title read: row rows[k] of the list
// as shown, starting at starts[k]; the blanks after a title belong to its item.
struct SpokenText
{
    QString text;            // exactly what the engine is given
    QList<int> rows;         // empty when the text is a hint ("请先显示新闻", …)
    QList<qsizetype> starts; // ascending, one per item

    // The item a position in `text` belongs to, -1 for a hint or a position outside the text.
    int itemAt(qsizetype position) const;
};

// All titles of the rows, in order, each followed by one blank; "请先显示新闻" when there are none.
SpokenText spokenAll(int rowCount, const std::function<const HeadlineRow &(int)> &row);
// The titles of the ticked rows, each followed by two blanks; "请在新闻前面的方框里打勾" when none
// is ticked.
SpokenText spokenTicked(int rowCount, const std::function<const HeadlineRow &(int)> &row);

// spokenAll(…).text and spokenTicked(…).text.
QString readAllText(int rowCount, const std::function<const HeadlineRow &(int)> &row);
QString readTickedText(int rowCount, const std::function<const HeadlineRow &(int)> &row);

} // namespace mz
