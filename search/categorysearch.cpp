#include "search/categorysearch.h"

#include "search/keywordsearch.h"

namespace mz {

namespace {

QStringView trimBlanks(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == u' ')
        ++begin;
    while (end > begin && text[end - 1] == u' ')
        --end;
    return text.sliced(begin, end - begin);
}

} // namespace

bool categoryMatches(QStringView name, QStringView category)
{
    if (name == u"考试") {
        const QStringView trimmed = trimBlanks(category);
        return trimmed.isEmpty() || trimmed == u"考试";
    }
    return contains(category, name);
}

QList<int> categoryHits(const RowSource &rows, QStringView name)
{
    QList<int> hits;
    const int n = rows.count;
    for (int i = 0; i < n; ++i) {
        if (categoryMatches(name, rows.category(i)))
            hits.append(i);
    }
    return hits;
}

HeadlineRows categoryResultRows(const RowSource &rows, const QList<int> &hits, QStringView name)
{
    const int icon = categoryIcon(name);
    HeadlineRows result;
    result.reserve(hits.size());
    for (int i : hits)
        result.append(resultRow(rows.row(i), icon));
    return result;
}

} // namespace mz
