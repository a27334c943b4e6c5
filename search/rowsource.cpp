#include "search/rowsource.h"

#include "lists/headlinemodel.h"

namespace mz {

RowSource rowsOf(const HeadlineRows &rows)
{
    RowSource source;
    source.count = int(rows.size());
    source.row = [&rows](int i) -> const HeadlineRow & { return rows.at(i); };
    return source;
}

RowSource rowsOf(const HeadlineModel &model)
{
    return {model.rowCount(),
            [&model](int i) -> const HeadlineRow & { return model.row(i); },
            &model.titles(),
            {}};
}

RowSource rowsOf(const HeadlineModel &model, QList<int> order)
{
    const int count = int(order.size());
    auto row = [&model, order](int i) -> const HeadlineRow & { return model.row(order.at(i)); };
    return {count, std::move(row), &model.titles(), std::move(order)};
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
