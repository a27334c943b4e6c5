#pragma once
// Splitting a text file's content into lines.

#include <QList>

namespace mz {

// Where the lines of a text, or of its bytes, lie: each line's start and length without its line
// end, and the length of that end (2 for CR LF, 1 for a bare LF or a bare CR, 0 for a last line
// without one). A line end byte is never part of a GBK character, so bytes and text split alike.
struct LineSpan
{
    qsizetype begin = 0;
    qsizetype length = 0;
    qsizetype endLength = 0;
};

template <typename Text> QList<LineSpan> lineSpans(const Text &text)
{
    QList<LineSpan> spans;
    qsizetype p = 0;
    while (p < text.size()) {
        qsizetype i = p;
        while (i < text.size() && text.at(i) != '\n' && text.at(i) != '\r')
            ++i;
        qsizetype endLength = 0;
        if (i < text.size())
            endLength = text.at(i) == '\r' && i + 1 < text.size() && text.at(i + 1) == '\n' ? 2 : 1;
        spans.append({p, i - p, endLength});
        p = i + endLength;
        if (endLength == 0)
            break;
    }
    return spans;
}

} // namespace mz
