#include "ui/programicon.h"

#include <QGuiApplication>

namespace mz {

QIcon programIcon()
{
    return QIcon(QStringLiteral(":/icons/mozhou.svg"));
}

QPixmap programPixmap(int size)
{
    return programIcon().pixmap(size, size);
}

void setApplicationIdentity()
{
    QGuiApplication::setApplicationName(QStringLiteral("mozhou"));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.mozhou"));
}

} // namespace mz
