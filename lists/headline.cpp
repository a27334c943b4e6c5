#include "lists/headline.h"

#include <algorithm>

namespace mz {

int categoryIcon(QStringView category)
{
    for (const auto &entry : kCategoryIcons) {
        if (category == QStringView(entry.name))
            return entry.icon;
    }
    return 0;
}

QString oneLine(const QString &text)
{
    const auto isBreak = [](QChar c) {
        return c == u'\r' || c == u'\n' || c == QChar::LineSeparator ||
               c == QChar::ParagraphSeparator;
    };
    if (std::none_of(text.begin(), text.end(), isBreak))
        return text; // shared, not copied
    QString shown;
    shown.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!isBreak(text.at(i))) {
            shown.append(text.at(i));
            continue;
        }
        if (text.at(i) == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
            ++i;
        shown.append(u' ');
    }
    return shown;
}

} // namespace mz
