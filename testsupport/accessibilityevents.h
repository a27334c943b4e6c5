#pragma once
// Accessibility events as a screen reader's bridge would receive them. Under the offscreen
// platform Qt's widgets send no accessibility events (nor table model changes) until the
// platform's accessibility is on; an instance turns it on, records the events, and turns it off
// again when it goes.

#include <QAccessible>
#include <QList>
#include <QStringList>
#include <private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

namespace mz::test {

class AccessibilityEvents
{
public:
    AccessibilityEvents() { switchOn(true); }
    ~AccessibilityEvents() { switchOn(false); }

    // The child numbers of the events of `type` about `object`, oldest first.
    static QList<int> children(QObject *object, QAccessible::Event type)
    {
        QList<int> list;
        for (const Event &e : events())
            if (e.object == object && e.type == type && e.child >= 0)
                list << e.child;
        return list;
    }

    // The text a screen reader reads at each selection change of `object`, oldest first.
    static QStringList selectedTexts(QObject *object)
    {
        QStringList list;
        for (const Event &e : events())
            if (e.object == object && e.type == QAccessible::TextSelectionChanged)
                list << e.selectedText;
        return list;
    }

private:
    struct Event
    {
        QObject *object;
        QAccessible::Event type;
        int child;
        QString selectedText; // the selection it names, read from the object's text interface
    };
    static void switchOn(bool on)
    {
        events().clear();
        QAccessible::installUpdateHandler(on ? &record : nullptr);
        QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(on);
    }
    static QList<Event> &events()
    {
        static QList<Event> list;
        return list;
    }
    static void record(QAccessibleEvent *event)
    {
        QString selected;
        if (event->type() == QAccessible::TextSelectionChanged) {
            const auto *change = static_cast<QAccessibleTextSelectionEvent *>(event);
            QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(event->object());
            if (QAccessibleTextInterface *text = iface ? iface->textInterface() : nullptr)
                selected = text->text(change->selectionStart(), change->selectionEnd());
        }
        events() << Event{event->object(), event->type(), event->child(), selected};
    }
};

} // namespace mz::test
