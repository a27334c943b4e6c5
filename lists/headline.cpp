#include "lists/headline.h"

namespace mz {

int categoryIcon(QStringView category)
{
    for (const auto &entry : kCategoryIcons) {
        if (category == QStringView(entry.name))
            return entry.icon;
    }
    return 0;
}

} // namespace mz
