#pragma once
// The program's picture: the window icon and the About dialog's image. It is the SVG installed as
// the desktop icon (resource ":/icons/mozhou.svg"), so every place shows the same picture.

#include <QIcon>
#include <QPixmap>

namespace mz {

QIcon programIcon();
// The same picture at one size.
QPixmap programPixmap(int size);

} // namespace mz
