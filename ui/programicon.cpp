#include "ui/programicon.h"

namespace mz {

QIcon programIcon()
{
    return QIcon(QStringLiteral(":/icons/mozhou.svg"));
}

QPixmap programPixmap(int size)
{
    return programIcon().pixmap(size, size);
}

} // namespace mz
