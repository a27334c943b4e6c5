#include "search/rowsource.h"

namespace mz {

RowSource rowsOf(const HeadlineRows &rows)
{
    return {int(rows.size()), [&rows](int i) -> const HeadlineRow & { return rows.at(i); }};
}

HeadlineRow resultRow(const HeadlineRow &source, int icon)
{
    return HeadlineRow{source.title, QString(), QString(), source.tag, icon, false};
}

QString foundText(qsizetype found)
{
    return QStringLiteral("搜索到%1条").arg(found);
}

} // namespace mz
