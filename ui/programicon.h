#pragma once
// The program's picture: the window icon and the About dialog's image. It is the SVG installed as
// the desktop icon (resource ":/icons/mozhou.svg"), so every place shows the same picture.

#include <QIcon>
#include <QPixmap>

namespace mz {

QIcon programIcon();
// The same picture at one size.
QPixmap programPixmap(int size);

// Names the program as its installed desktop entry does (org.example.mozhou.desktop), so that a
// desktop finds the entry's name and icon for the window: under Wayland the window's app id is
// the desktop file name (else the bare program name, which names no installed entry); under X11
// the window class is the application name, the entry's StartupWMClass. Call once the
// application object exists.
void setApplicationIdentity();

} // namespace mz
