#include "speech/readaloud.h"

#include "lists/headline.h"

#include <algorithm>

namespace mz {

namespace {

SpokenText spoken(int rowCount, const std::function<const HeadlineRow &(int)> &row, bool tickedOnly,
                  const QString &blanks, const QString &hint)
{
    SpokenText s;
    for (int i = 0; i < rowCount; ++i) {
        const HeadlineRow &r = row(i);
        if (tickedOnly && !r.checked)
            continue;
        s.rows.append(i);
        s.starts.append(s.text.size());
        s.text += r.title + blanks;
    }
    if (s.rows.isEmpty())
        s.text = hint;
    return s;
}

} // namespace

int SpokenText::itemAt(qsizetype position) const
{
    if (position < 0 || position >= text.size() || starts.isEmpty())
        return -1;
    const auto after = std::upper_bound(starts.begin(), starts.end(), position);
    return int(after - starts.begin()) - 1;
}

SpokenText spokenAll(int rowCount, const std::function<const HeadlineRow &(int)> &row)
{
    return spoken(rowCount, row, false, QStringLiteral(" "), QStringLiteral("请先显示新闻"));
}

SpokenText spokenTicked(int rowCount, const std::function<const HeadlineRow &(int)> &row)
{
    return spoken(rowCount, row, true, QStringLiteral("  "),
                  QStringLiteral("请在新闻前面的方框里打勾"));
}

QString readAllText(int rowCount, const std::function<const HeadlineRow &(int)> &row)
{
    return spokenAll(rowCount, row).text;
}

QString readTickedText(int rowCount, const std::function<const HeadlineRow &(int)> &row)
{
    return spokenTicked(rowCount, row).text;
}

} // namespace mz
