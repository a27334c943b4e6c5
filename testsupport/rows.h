#pragma once
// Headline rows as short texts, so that expectations read like the list:
// "title|category|address|icon", with the comment address before the icon for hot news rows.

#include "lists/headline.h"

#include <QStringList>

namespace mz::test {

enum class RowFields { Archive, WithComment };

inline QString describe(const HeadlineRow &row, RowFields fields = RowFields::Archive)
{
    if (fields == RowFields::WithComment)
        return QStringLiteral("%1|%2|%3|%4|%5")
            .arg(row.title, row.sub1, row.tag, row.sub2)
            .arg(row.icon);
    return QStringLiteral("%1|%2|%3|%4").arg(row.title, row.sub1, row.tag).arg(row.icon);
}

inline QStringList describe(const HeadlineRows &rows, RowFields fields = RowFields::Archive)
{
    QStringList out;
    for (const HeadlineRow &row : rows)
        out << describe(row, fields);
    return out;
}

} // namespace mz::test
