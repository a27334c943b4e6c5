#pragma once
// The program's picture: the window icon and the About dialog's image, drawn in code so that it
// stays sharp at every size.

#include <QIcon>
#include <QPixmap>

namespace mz {

// A boat (舟) on ink-dark water, at the sizes a desktop asks for (16 to 256 pixels).
QIcon programIcon();
// The same picture at one size.
QPixmap programPixmap(int size);

} // namespace mz
