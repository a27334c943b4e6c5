#include "ui/daydownloads.h"

#include "fetch/completeness.h"
#include "fetch/downloadcomponent.h"
#include "platform/clock.h"
#include "platform/messages.h"
#include "ui/navigationtree.h"
#include "ui/windowstatus.h"

#include <QFile>

namespace {

// The caption after a download was given up.
QString failedCaption()
{
    return WindowStatus::idleCaption() + QStringLiteral("-下载失败");
}

} // namespace

DayDownloads::DayDownloads(const Parts &parts, QObject *parent) : QObject(parent), m_parts(parts)
{
    m_retryTimer.setSingleShot(true);
    connect(&m_retryTimer, &QTimer::timeout, this, &DayDownloads::retryNow);
}

DayDownloads::~DayDownloads() = default;

mz::PageTarget DayDownloads::archiveTarget(const mz::Day &day) const
{
    return mz::pageTarget(mz::PageKind::Archive, m_parts.portalBase, m_parts.folder, day,
                          m_parts.clock->today());
}

mz::PageTarget DayDownloads::hotNewsTarget(const mz::Day &day) const
{
    return mz::pageTarget(mz::PageKind::HotNews, m_parts.portalBase, m_parts.folder, day,
                          m_parts.clock->today());
}

// ---- requests ---------------------------------------------------------------------------------

void DayDownloads::downloadArchive(const mz::Day &day)
{
    if (!day.isValid())
        return;
    cancelRetry();
    start({Kind::Archive, day, requestTarget(Kind::Archive, day)});
}

void DayDownloads::downloadHotNews(const mz::Day &day, bool archiveFollows)
{
    if (!day.isValid())
        return;
    cancelRetry();
    Transfer t{Kind::HotNews, day, requestTarget(Kind::HotNews, day)};
    t.archiveFollows = archiveFollows;
    start(t);
}

// The transfer on its way: the one running, or the one waiting for a retry (never both).
const DayDownloads::Transfer *DayDownloads::pending() const
{
    if (m_retry)
        return m_retry.get();
    if (m_current && !m_current->ended && m_parts.component->isBusy())
        return m_current.get();
    return nullptr;
}

bool DayDownloads::fetchesHotNews(const mz::Day &day) const
{
    const Transfer *t = pending();
    return t && t->kind == Kind::HotNews && t->day == day;
}

bool DayDownloads::fetchesArchive(const mz::Day &day) const
{
    const Transfer *t = pending();
    return t && t->kind == Kind::Archive && t->day == day;
}

mz::Day DayDownloads::archiveOnItsWay() const
{
    const Transfer *t = pending();
    if (t && t->kind == Kind::Archive)
        return t->day;
    if (!t && !m_parts.archiveTimer->isActive())
        return {};
    // The archive that follows the hot news is the selected day's (see archiveAfterHotNews).
    const mz::Day selected = m_parts.tree->selectedDay();
    return selected.isValid() ? selected : m_current ? m_current->day : mz::Day();
}

// What a transfer of `day` fetches now: the open day's hot news come from the live page.
mz::PageTarget DayDownloads::requestTarget(Kind kind, const mz::Day &day) const
{
    return mz::pageTarget(kind == Kind::Archive ? mz::PageKind::Archive : mz::PageKind::HotNews,
                          m_parts.portalBase, m_parts.folder, day, m_parts.clock->today(), true);
}

void DayDownloads::start(const Transfer &request)
{
    supersede();
    m_current = std::make_shared<Transfer>(request);
    // An earlier download's failure is no longer the window's state once another one runs
    // (its reason stays in s1); the new transfer's progress counts from here.
    if (m_parts.status->caption() == failedCaption())
        m_parts.status->setIdle();
    m_parts.tree->setNodeImage(m_parts.tree->nodeByKey(request.day.key),
                               mz::TreeImage::Downloading);
    // Bytes kept of the same page (by a transfer this one supersedes, too) are continued: the
    // component sends If-Range, so a page that changed meanwhile comes whole again.
    m_parts.component->start(
        request.target.url, request.target.file,
        m_parts.component->resumableBytes(request.target.url, request.target.file), true);
    if (request.kind == Kind::Archive) {
        m_watchdogMemory.clear();
        m_watchdogBytes = -1;
        m_watchdogQuietTicks = 0;
        m_parts.watchdog->start();
    }
}

// A running transfer ends before another one starts; it is not retried.
void DayDownloads::supersede()
{
    if (!m_parts.component->isBusy() || !m_current)
        return;
    const TransferPtr running = m_current;
    running->superseded = true;
    m_parts.component->stop();
    // A running retry's note would otherwise stay while the newer request runs.
    m_parts.status->clearPanelIfShowing(WindowStatus::Panel::S1, m_retryNote);
    // A start that was still waiting inside the component ends without any event.
    if (!running->ended)
        m_parts.tree->restoreDayImage(running->day, m_parts.folder);
}

// A new request replaces a waiting retry.
void DayDownloads::cancelRetry()
{
    if (!m_retry)
        return;
    m_retryTimer.stop();
    const mz::Day day = m_retry->day;
    m_retry.reset();
    // The note announcing the retry would otherwise stay while the new request runs.
    m_parts.status->clearPanelIfShowing(WindowStatus::Panel::S1, m_retryNote);
    if (!m_parts.component->isBusy())
        m_parts.tree->restoreDayImage(day, m_parts.folder);
}

void DayDownloads::retryNow()
{
    if (!m_retry)
        return;
    Transfer next = *m_retry;
    m_retry.reset();
    // The day may have closed since the last attempt (midnight passed): the page is then the
    // final copy, and the live hot news page already holds the next day's news.
    next.target = requestTarget(next.kind, next.day);
    start(next);
    // The note counted down to this attempt; it now says the attempt runs.
    if (m_parts.status->panel(WindowStatus::Panel::S1) == m_retryNote) {
        m_retryNote = QStringLiteral("%1 下载未完成，正在重试（第%2次）")
                          .arg(next.day.label)
                          .arg(next.attempt);
        m_parts.status->setPanel(WindowStatus::Panel::S1, m_retryNote);
    }
}

// After an incomplete transfer: another attempt after a pause. False when there is no point in
// one: the page broke a limit of the component (too large; too slow: the deadline ended an
// attempt that kept nothing, or one that only dripped in), it could not be written, or as many
// attempts as the policy allows brought no new bytes. An attempt the deadline ended on a slow
// line kept its bytes, and the next one continues it.
bool DayDownloads::scheduleRetry(const Transfer &ended)
{
    using Outcome = mz::DownloadComponent::Outcome;
    const mz::DownloadComponent *c = m_parts.component;
    const Outcome outcome = c->lastOutcome();
    if (outcome == Outcome::TooLarge || outcome == Outcome::FileError)
        return false;
    if (outcome == Outcome::DeadlineExceeded &&
        !m_policy.worthContinuing(c->lastTransferNewBytes(), c->deadline()))
        return false;
    // An attempt that was cut short after bringing more of the page is not a failed one: the
    // next continues where it ended.
    const int fruitless = ended.fruitless + (m_parts.component->lastTransferGainedBytes() ? 0 : 1);
    if (!m_policy.mayRetry(fruitless))
        return false;
    Transfer next{ended.kind,        ended.day, ended.target,
                  ended.attempt + 1, fruitless, ended.archiveFollows};
    m_retry = std::make_unique<Transfer>(next);
    // The pause grows with the fruitless attempts only; one that brought bytes is followed soon.
    const int pause = m_policy.pauseBeforeAttempt(qMax(2, fruitless + 1));
    m_retryNote = QStringLiteral("%1 下载未完成，%2秒后重试（第%3次）")
                      .arg(ended.day.label)
                      .arg((pause + 999) / 1000)
                      .arg(next.attempt);
    m_parts.status->setPanel(WindowStatus::Panel::S1, m_retryNote);
    m_retryTimer.start(pause);
    return true;
}

void DayDownloads::giveUp(const Transfer &ended)
{
    m_parts.tree->restoreDayImage(ended.day, m_parts.folder);
    const QString what =
        ended.kind == Kind::Archive ? QStringLiteral("新闻") : QStringLiteral("热点新闻");
    QString detail = m_parts.component->lastErrorText();
    if (detail.isEmpty())
        detail = QStringLiteral("页面不完整");
    m_parts.status->setPanel(WindowStatus::Panel::S1,
                             QStringLiteral("%1 的%2下载失败，已试%3次：%4")
                                 .arg(ended.day.label, what)
                                 .arg(ended.attempt)
                                 .arg(detail));
    m_parts.status->setCaption(failedCaption());
    if (ended.archiveFollows) // the day's archive still follows
        m_parts.archiveTimer->start();
}

// A complete page arrived: a closed day's provisional copy goes, the node shows it, the window
// lists it.
void DayDownloads::arrived(const Transfer &ended)
{
    const mz::PageTarget &t = ended.target;
    if (t.closed && t.provisionalFile != t.file && QFile::exists(t.provisionalFile))
        QFile::remove(t.provisionalFile);
    QTreeWidgetItem *node = m_parts.tree->nodeByKey(ended.day.key);
    if (ended.kind == Kind::HotNews) {
        m_parts.tree->setNodeImage(node, mz::TreeImage::NotStored);
        m_parts.tree->setNodeRed(node);
        Q_EMIT hotNewsArrived(ended.day);
        m_parts.archiveTimer->start();
    } else {
        m_parts.tree->setNodeImage(node, mz::TreeImage::ArchiveStored);
        Q_EMIT archiveArrived(ended.day);
    }
}

// ---- timers -----------------------------------------------------------------------------------

void DayDownloads::watchdogTick()
{
    // A server that has not answered yet is slow, not stalled: a transfer is judged from its
    // first answer on, and until then the component's own time-out ends a server that never
    // answers. Judged from the start, a portal taking more than about two ticks to answer
    // (a large day page made on request, a slow line) would be stopped at every attempt and
    // never deliver.
    if (m_parts.component->isBusy() && !m_parts.component->isAnswered()) {
        m_watchdogMemory.clear();
        m_watchdogBytes = -1;
        m_watchdogQuietTicks = 0;
        return;
    }
    // The caption counts whole kilobytes: a page arriving at less than a kilobyte per interval
    // leaves it unchanged while bytes still come in. Such a transfer is slow, not stalled.
    const QString caption = m_parts.status->caption();
    const qint64 received = m_parts.component->receivedBytes();
    if (caption != m_watchdogMemory || received != m_watchdogBytes) {
        m_watchdogMemory = caption;
        m_watchdogBytes = received;
        m_watchdogQuietTicks = 0;
        return;
    }
    // A line of about a kilobyte a second delivers a packet of 1.4 kB every 1.4 s or so, longer
    // than one interval: one tick without news is a gap between packets, not a stall. Stopping
    // there would end such a transfer every few seconds and announce a retry each time.
    if (++m_watchdogQuietTicks < 2)
        return;
    // No progress for two whole intervals: end the transfer; transfer ended judges the file.
    m_parts.watchdog->stop();
    m_watchdogMemory.clear();
    m_watchdogBytes = -1;
    m_watchdogQuietTicks = 0;
    m_parts.component->stop();
}

void DayDownloads::archiveAfterHotNews(const mz::Day &selected)
{
    downloadArchive(selected.isValid() ? selected : m_current ? m_current->day : mz::Day());
}

// ---- events -----------------------------------------------------------------------------------

void DayDownloads::onConnecting()
{
    m_parts.component->setTag(QStringLiteral("正在连接..."));
}

void DayDownloads::onConnected()
{
    m_parts.component->setTag(QStringLiteral("已连接到服务器"));
}

void DayDownloads::onProgress()
{
    m_parts.component->setTag(mz::kilobyteText(m_parts.component->receivedBytes()));
    m_parts.status->setCaption(QStringLiteral("墨舟 V1.3-下载了") + m_parts.component->tag());
}

void DayDownloads::onTransferEnded()
{
    const TransferPtr ended = m_current;
    // Complete only when this transfer delivered the page: an older copy that happens to be
    // stored does not make a failed transfer a success.
    const bool succeeded = m_parts.component->lastTransferSucceeded();
    if (!ended) { // not started here: its completed event announces nothing
        if (succeeded)
            m_awaitingCompleted.append(std::make_shared<Transfer>());
        m_parts.status->setIdle();
        return;
    }
    ended->ended = true;
    ended->complete = succeeded && !ended->superseded && mz::isCompletePageFile(ended->target.file);
    if (succeeded) // its completed event follows
        m_awaitingCompleted.append(ended);
    if (ended->kind == Kind::Archive) {
        m_parts.watchdog->stop();
        m_watchdogMemory.clear();
        m_watchdogBytes = -1;
        m_watchdogQuietTicks = 0;
    }
    if (ended->superseded) { // a newer request takes jfDownEX1 over
        m_parts.tree->restoreDayImage(ended->day, m_parts.folder);
        m_parts.status->setIdle();
        return;
    }
    if (ended->complete && !ended->target.closed && requestTarget(ended->kind, ended->day).closed) {
        // Midnight passed while the open day's page arrived: it went under the provisional name
        // that a closed day no longer uses. The day's page is fetched again, as a closed day's.
        ended->complete = false;
        m_parts.status->setIdle();
        m_retry = std::make_unique<Transfer>(Transfer{ended->kind, ended->day, ended->target,
                                                      ended->attempt + 1, ended->fruitless,
                                                      ended->archiveFollows});
        m_retryTimer.start(0);
    } else if (ended->complete) {
        m_parts.status->setIdle();
        arrived(*ended);
    } else if (scheduleRetry(*ended)) {
        m_parts.status->setIdle();
    } else {
        giveUp(*ended);
    }
}

void DayDownloads::onCompleted()
{
    // Only a transfer that delivered a complete page is announced, once.
    if (m_awaitingCompleted.isEmpty())
        return;
    const TransferPtr done = m_awaitingCompleted.takeLast();
    if (!done->complete)
        return;
    // The node is marked before the box: the box is modal, and a download of the same day that
    // starts while it is open (the archive after the hot news) marks the node as running, which
    // must not be undone when the box closes. One that started earlier, while the arrived
    // archive was being listed (the list lets events run), keeps showing as running too.
    QTreeWidgetItem *node = m_parts.tree->nodeByKey(done->day.key);
    const bool fetchedAgain =
        (m_current && m_current != done && !m_current->ended && m_current->day == done->day) ||
        (m_retry && m_retry->day == done->day);
    if (!fetchedAgain)
        m_parts.tree->setNodeImage(node, mz::TreeImage::NotStored);
    m_parts.tree->setNodeRed(node);
    if (m_parts.messages)
        m_parts.messages->show(QStringLiteral("下载完成。"), QStringLiteral("提示"),
                               mz::MessageIcon::None);
}
