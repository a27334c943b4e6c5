#pragma once
// The signals that ask a program to end (SIGTERM when the session ends or the system shuts
// down, SIGINT from a terminal's Ctrl+C, SIGHUP when its terminal goes) end it, by default, on
// the spot: the window's place is not written and the folder lock stays behind. A
// TerminationRequests turns the first of them into a call on the event loop, so that the
// program can close as it does when the user closes its window. A second signal ends the
// program at once, as it would have without this: a close that hangs can still be ended.

#include <QObject>

#include <functional>

class QSocketNotifier;

namespace mz {

class TerminationRequests : public QObject
{
public:
    // `onRequest` runs on the thread of the event loop, once, when the first of the signals
    // has arrived. Only one instance may exist at a time.
    explicit TerminationRequests(std::function<void()> onRequest, QObject *parent = nullptr);
    ~TerminationRequests() override; // the signals end the program again

    // False where the signals cannot be caught (no such signals, or no pipe could be made):
    // they then end the program as before.
    bool isActive() const { return m_notifier != nullptr; }

private:
    void onSignal();

    std::function<void()> m_onRequest;
    QSocketNotifier *m_notifier = nullptr;
};

} // namespace mz
