#pragma once
// Accessibility events as a screen reader's bridge would receive them. Under the offscreen
// platform Qt's widgets send no accessibility events (nor table model changes) until the
// platform's accessibility is switched on; an instance switches it on and records the events
// that name a child, and switches it off again when it goes.

#include <QAccessible>
#include <QList>
#include <private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

namespace mz::test {

class AccessibilityEvents
{
public:
    struct Event
    {
        QAccessible::Event type;
        QObject *object;
        int child;
    };

    AccessibilityEvents()
    {
        events().clear();
        QAccessible::installUpdateHandler(&record);
        platform()->setActive(true);
    }
    ~AccessibilityEvents()
    {
        platform()->setActive(false);
        QAccessible::installUpdateHandler(nullptr);
        events().clear();
    }
    AccessibilityEvents(const AccessibilityEvents &) = delete;
    AccessibilityEvents &operator=(const AccessibilityEvents &) = delete;

    // The events of `type` about `object`'s children, oldest first.
    static QList<int> children(QObject *object, QAccessible::Event type)
    {
        QList<int> list;
        for (const Event &e : events())
            if (e.object == object && e.type == type)
                list << e.child;
        return list;
    }

private:
    static QPlatformAccessibility *platform()
    {
        return QGuiApplicationPrivate::platformIntegration()->accessibility();
    }
    static QList<Event> &events()
    {
        static QList<Event> list;
        return list;
    }
    static void record(QAccessibleEvent *event)
    {
        if (event->child() >= 0)
            events().append({event->type(), event->object(), event->child()});
    }
};

} // namespace mz::test
