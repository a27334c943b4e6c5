#include "search/rowsource.h"

#include "lists/headlinemodel.h"

namespace mz {

RowSource rowsOf(const HeadlineRows &rows)
{
    RowSource source;
    source.count = int(rows.size());
    source.row = [&rows](int i) { return rows.at(i); };
    source.category = [&rows](int i) { return QStringView(rows.at(i).sub1); };
    return source;
}

RowSource rowsOf(const HeadlineModel &model)
{
    return {model.rowCount(),
            [&model](int i) { return model.row(i); },
            [&model](int i) { return model.text(i, 1); },
            &model.titles(),
            {}};
}

RowSource rowsOf(const HeadlineModel &model, QList<int> order)
{
    const int count = int(order.size());
    auto row = [&model, order](int i) { return model.row(order.at(i)); };
    auto category = [&model, order](int i) { return model.text(order.at(i), 1); };
    return {count, std::move(row), std::move(category), &model.titles(), std::move(order)};
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
