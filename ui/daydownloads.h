#pragma once
// The archive and hot news downloads of a day on jfDownEX1, with the download watchdog (Timer3),
// the archive that follows the hot news (Timer4) and the retries of an incomplete page.
//
// Every transfer started here has one record: what it fetches, for which day, into which files,
// which attempt it is, and what became of it. The event handlers judge the transfer that ended by
// its record, whatever node the user has selected meanwhile. An incomplete page is fetched again
// after a growing pause, continuing from the bytes already received where the server allows it;
// only attempts that brought no new bytes count toward the limit. An attempt that the deadline
// ends on a slow line is continued by the next; a page too large, one that only drips in, or one
// that cannot be written, is given up at once. A stored page is replaced only by a complete one.

#include "fetch/pagenames.h"
#include "fetch/retrypolicy.h"
#include "rules/day.h"

#include <QList>
#include <QObject>
#include <QTimer>

#include <memory>

class NavigationTree;
class WindowStatus;

namespace mz {
class Clock;
class DownloadComponent;
class MessageFunnel;
} // namespace mz

class DayDownloads : public QObject
{
    Q_OBJECT

public:
    struct Parts
    {
        mz::DownloadComponent *component = nullptr; // jfDownEX1
        QTimer *watchdog = nullptr;                 // Timer3
        QTimer *archiveTimer = nullptr;             // Timer4: the archive after the hot news
        NavigationTree *tree = nullptr;
        WindowStatus *status = nullptr;
        mz::MessageFunnel *messages = nullptr;
        const mz::Clock *clock = nullptr;
        QString folder;
        QString portalBase;
    };

    explicit DayDownloads(const Parts &parts, QObject *parent = nullptr);
    ~DayDownloads() override;

    void setRetryPolicy(const mz::RetryPolicy &policy) { m_policy = policy; }

    // Where a day's pages come from and are kept (the dated addresses).
    mz::PageTarget archiveTarget(const mz::Day &day) const;
    mz::PageTarget hotNewsTarget(const mz::Day &day) const;

    // A request of the user or of the start-up: ends a running transfer and a waiting retry first.
    void downloadArchive(const mz::Day &day);
    // As downloadArchive; `archiveFollows` (the start-up) starts the day's archive download after
    // the hot news even when they could not be fetched.
    void downloadHotNews(const mz::Day &day, bool archiveFollows = false);

    // Whether the hot news of `day` are on their way: being fetched, or waiting for a retry.
    bool fetchesHotNews(const mz::Day &day) const;
    // Whether the archive of `day` is being fetched, or waiting for a retry.
    bool fetchesArchive(const mz::Day &day) const;
    // The day whose archive is on its way: being fetched or waiting for a retry, or following hot
    // news that are being fetched or have just arrived (Timer4 then fetches the selected day's
    // archive). Invalid when no archive is coming. The tree's commands that download a day are
    // off for a day being fetched, so a note cannot send the user there meanwhile.
    mz::Day archiveOnItsWay() const;

    // Timer3: ends a transfer that made no progress (neither caption nor bytes received changed)
    // for two whole intervals since its server answered.
    void watchdogTick();
    // Timer4: the archive of `selected` follows the hot news; when the selected node is no day,
    // the day of the last transfer (whose hot news were just fetched).
    void archiveAfterHotNews(const mz::Day &selected);

    // The events of jfDownEX1.
    void onConnecting();
    void onConnected();
    void onProgress();
    void onTransferEnded();
    void onCompleted();

Q_SIGNALS:
    // A complete page of `day` has been stored; the window shows it.
    void archiveArrived(const mz::Day &day);
    void hotNewsArrived(const mz::Day &day);

private:
    enum class Kind { Archive, HotNews };
    struct Transfer
    {
        Kind kind = Kind::Archive;
        mz::Day day;
        mz::PageTarget target;
        int attempt = 1;   // the attempt's number, shown to the user
        int fruitless = 0; // earlier attempts that brought no new bytes: these meet the limit
        bool archiveFollows = false; // the start-up's hot news: the archive follows always
        bool superseded = false;     // stopped for a newer request
        bool ended = false;          // its transfer ended event came
        bool complete = false;       // it stored a complete page
    };
    using TransferPtr = std::shared_ptr<Transfer>;

    const Transfer *pending() const;
    mz::PageTarget requestTarget(Kind kind, const mz::Day &day) const;
    // Continues from the bytes the component kept of the same page, for a retry and a new
    // request alike: a user on a slow line does not pay twice for what already arrived.
    void start(const Transfer &request);
    void supersede();
    void cancelRetry();
    void retryNow();
    bool scheduleRetry(const Transfer &ended);
    void giveUp(const Transfer &ended);
    void arrived(const Transfer &ended);

    Parts m_parts;
    mz::RetryPolicy m_policy;
    QTimer m_retryTimer;
    TransferPtr m_current;             // the running (or last) transfer
    std::unique_ptr<Transfer> m_retry; // waiting for m_retryTimer
    QString m_retryNote;               // what s1 says about the waiting or running retry
    QString m_watchdogMemory;          // the caption seen at Timer3's previous tick
    qint64 m_watchdogBytes = -1;       // the bytes received at Timer3's previous tick
    int m_watchdogQuietTicks = 0;      // ticks in a row that saw no progress
    // Transfers that delivered a page, waiting for their completed event (innermost last: a
    // transfer started from a handler, or from a modal box's event loop, may end before the
    // outer completed event comes).
    QList<TransferPtr> m_awaitingCompleted;
};
