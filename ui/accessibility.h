#pragma once
// How the main window shows itself to screen readers. Form1 is a plain QWidget, which Qt reports
// as a client area ("filler" on AT-SPI); this makes it a window, and leaves out of its children
// the controls that the window carries without ever showing (marked with hideFromScreenReaders).

#include <QAccessible>

class QTextBrowser;
class QWidget;

namespace mz {

// Registers `Factory` with Qt the first time it is called for it.
template <QAccessible::InterfaceFactory Factory> void installFactoryOnce()
{
    static const bool installed = [] {
        QAccessible::installFactory(Factory);
        return true;
    }();
    Q_UNUSED(installed);
}

// Qt keeps the first interface it made for an object: one made before ours (setting a name or a
// model may make one) is dropped, so that the next query makes ours.
template <typename Ours> void dropForeignInterface(QObject *object)
{
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(object);
    if (iface && !dynamic_cast<Ours *>(iface))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(iface));
}

// Registers the accessibility factory for the main window class `className` (once per run).
void installWindowAccessibility(const char *className);

// The widget is never shown to the user, so screen readers do not list it either.
void hideFromScreenReaders(QWidget *widget);

// A label the user opens like a link (by a click, Enter or Space): screen readers are told it is
// a link and can open it through their "press" action, which presses Enter on it.
void exposeAsLink(QWidget *widget);

// A text browser whose Tab and Shift+Tab, which move between its links by selecting the next one,
// tell screen readers of the new selection, so that the link is read: Qt moves it silently. It
// reads no picture or style sheet from local files (its pages come from the network).
QTextBrowser *newLinkBrowser(QWidget *parent);

} // namespace mz
