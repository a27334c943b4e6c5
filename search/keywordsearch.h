#pragma once
// Keyword search over headline titles.
//
// Query language:
//   query  = group { "+" group }      any group may match (alternatives)
//   group  = word  { "*" word }       every word of the group must occur in the title
// "*" binds tighter than "+": "股票*上涨+证券" finds the titles that hold both 股票 and 上涨,
// and the titles that hold 证券. Words are taken exactly as typed: nothing is trimmed, case and
// width count, and an empty word (from "++", a leading or trailing "+" or "*") is kept. A blank
// in a word also stands for what the lists show as a blank: a line break (CR LF as one) or a
// no-break space.
//
// Hits and counting:
//   - A query with neither "+" nor "*" is a single-term search: each row whose title contains
//     the whole query is one hit.
//   - Otherwise the query is split at "+" into alternatives, and for each row (outer loop) and
//     each alternative in order (inner loop) a matching alternative appends one hit. A title
//     that matches two alternatives is listed twice, one hit after the other. An all-of group
//     is one alternative, so it gives at most one hit per row however many of its words occur.
//   - The terms reported for the window's searchTerms are the alternatives as split at "+",
//     each all-of group kept as its text ("股票*上涨"); a query with "*" but no "+" reports its
//     one group. A single-term search reports the reset value, one empty term.
//
// Containment is a plain code-unit comparison: a non-empty title contains the empty text, an
// empty title contains nothing (not even the empty text), so an empty title is never a hit.

#include "search/rowsource.h"

#include <QList>
#include <QStringList>

namespace mz {

// One sentence on "*" for the help text that explains "+" where keywords are added.
inline constexpr char16_t kStarOperatorHelp[] =
    u"用“*”连接的词必须同时出现在标题中，“*”比“+”先结合：例如“股票*上涨+"
    u"证券”查找同时含有“股票”和“上涨”的新闻，以及含有“证券”的新闻。";

// Splits at every "+" (or `separator`), keeping empty parts: "股票++证券" -> 股票, "", 证券.
QStringList splitTerms(QStringView query, QChar separator = u'+');

// Whether `title` contains `text` as a contiguous run of code units (see above for the edges).
bool contains(QStringView title, QStringView text);

// The icon of a keyword hit from the source row's category: an empty category takes the icon of
// 考试 (23), a category outside the category table gives no icon (0).
int keywordHitIcon(QStringView category);

struct KeywordHits
{
    QList<int> rows; // source row indexes in hit order; a row repeats once per matching alternative
    QStringList terms; // the value searchTerms takes (see above)
};

// Runs the keyword search over all rows of `rows`.
KeywordHits keywordHits(const RowSource &rows, QStringView query);

// For each keyword, how many rows of `titles` it finds with the rules above: a row counts once
// however many of the keyword's alternatives it matches.
QList<int> keywordCounts(const TitleBlock &titles, const QStringList &keywords);

// Every row whose title contains `text` (the bare single-term search of the Command3 button).
QList<int> singleTermHits(const RowSource &rows, QStringView text);

// The result list rows for keyword hits, in hit order, each with its keywordHitIcon.
HeadlineRows keywordResultRows(const RowSource &rows, const QList<int> &hits);

} // namespace mz
