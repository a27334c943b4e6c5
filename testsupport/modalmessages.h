#pragma once
// A message funnel that behaves like the desktop's modal message box: it records the message and
// then runs an event loop until `closeWhen` holds (looked at every 20 ms, for at most 10 s), as
// the box does while the user reads it. Timers, downloads and handlers go on meanwhile, and a
// message shown from inside opens a box within the box.

#include "platform/messages.h"

#include <QEventLoop>
#include <QTimer>

#include <functional>

namespace mz::test {

struct ModalMessages final : MessageFunnel
{
    void show(const QString &text, const QString &title, MessageIcon icon) override
    {
        messages.append({text, title, icon});
        if (forward)
            forward->show(text, title, icon);
        maxDepth = qMax(maxDepth, ++depth);
        QEventLoop box;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &box, [&] {
            if (closeWhen())
                box.quit();
        });
        poll.start(20);
        QTimer limit;
        limit.setSingleShot(true);
        QObject::connect(&limit, &QTimer::timeout, &box, [&] {
            heldToLimit = true;
            box.quit();
        });
        limit.start(10000);
        box.exec();
        --depth;
    }

    std::function<bool()> closeWhen = [] { return true; };
    MessageFunnel *forward = nullptr; // also told every message, when set
    QList<RecordedMessage> messages;
    int depth = 0, maxDepth = 0;
    bool heldToLimit = false; // a box was closed by the time limit, not by closeWhen
};

} // namespace mz::test
