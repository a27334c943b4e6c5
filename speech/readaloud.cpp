#include "speech/readaloud.h"

#include "lists/headline.h"

namespace mz {

QString readAllText(int rowCount, const std::function<const HeadlineRow &(int)> &row)
{
    QString text;
    for (int i = 0; i < rowCount; ++i)
        text += row(i).title + u' ';
    return text.isEmpty() ? QStringLiteral("请先显示新闻") : text;
}

QString readTickedText(int rowCount, const std::function<const HeadlineRow &(int)> &row)
{
    QString text;
    for (int i = 0; i < rowCount; ++i) {
        const HeadlineRow &r = row(i);
        if (r.checked)
            text += r.title + QStringLiteral("  ");
    }
    return text.isEmpty() ? QStringLiteral("请在新闻前面的方框里打勾") : text;
}

} // namespace mz
