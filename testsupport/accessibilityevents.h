#pragma once
// Accessibility events as a screen reader's bridge would receive them. Under the offscreen
// platform Qt's widgets send no accessibility events (nor table model changes) until the
// platform's accessibility is on; an instance turns it on, records the events that name a child,
// and turns it off again when it goes.

#include <QAccessible>
#include <QList>
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
            if (e.object == object && e.type == type)
                list << e.child;
        return list;
    }

private:
    struct Event
    {
        QObject *object;
        QAccessible::Event type;
        int child;
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
        if (event->child() >= 0)
            events() << Event{event->object(), event->type(), event->child()};
    }
};

} // namespace mz::test
