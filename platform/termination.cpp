#include "platform/termination.h"

#include <QSocketNotifier>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace mz {

#ifdef Q_OS_UNIX
namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
int g_pipe[2] = {-1, -1}; // written by the signal handler, read on the event loop

// Runs in the signal handler: only async-signal-safe calls, errno left as it was.
void onSignalHandler(int)
{
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_pipe[0], &byte, 1);
    errno = saved;
}

void setHandler(void (*handler)(int))
{
    struct sigaction action = {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int sig : kSignals)
        ::sigaction(sig, &action, nullptr);
}

} // namespace
#endif

TerminationRequests::TerminationRequests(std::function<void()> onRequest, QObject *parent)
    : QObject(parent), m_onRequest(std::move(onRequest))
{
#ifdef Q_OS_UNIX
    if (g_pipe[0] >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_pipe) != 0)
        return;
    // A handler must never block: a full pipe already holds a request.
    ::fcntl(g_pipe[0], F_SETFL, ::fcntl(g_pipe[0], F_GETFL) | O_NONBLOCK);
    m_notifier = new QSocketNotifier(qintptr(g_pipe[1]), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationRequests::onSignal);
    setHandler(&onSignalHandler);
#endif
}

TerminationRequests::~TerminationRequests()
{
#ifdef Q_OS_UNIX
    if (!m_notifier)
        return;
    setHandler(SIG_DFL);
    delete m_notifier;
    m_notifier = nullptr;
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
#endif
}

void TerminationRequests::onSignal()
{
#ifdef Q_OS_UNIX
    char bytes[16];
    [[maybe_unused]] const ssize_t n = ::read(g_pipe[1], bytes, sizeof bytes);
    // The request is passed on once; from now on the signals end the program at once.
    setHandler(SIG_DFL);
    m_notifier->setEnabled(false);
#endif
    if (m_onRequest)
        m_onRequest();
}

} // namespace mz
