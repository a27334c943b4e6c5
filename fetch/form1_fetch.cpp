// Form1: the archive and hot news downloads on jfDownEX1, its event handlers, the start-up
// sequence (Timer1), the download watchdog (Timer3) and the deferred archive download (Timer4).
//
// Every transfer on jfDownEX1 is remembered here together with the day it fetches and the files
// it may touch, so that the handlers judge the transfer that ended, whatever node the user has
// selected meanwhile. An incomplete page is fetched again after a growing pause, a limited
// number of times; a stored page is replaced only by a complete one.

#include "app/form1.h"

#include "fetch/completeness.h"
#include "fetch/downloadcomponent.h"
#include "fetch/pagenames.h"
#include "fetch/retrypolicy.h"
#include "app/days.h"
#include "lists/headlinemodel.h"
#include "platform/clock.h"
#include "platform/messages.h"

#include <QFile>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidgetItem>

#include <optional>

namespace {

QString idleCaption()
{
    return QStringLiteral("墨舟 V1.3");
}

// Day nodes are the nodes whose key is longer than four characters.
bool isDayKey(const QString &key)
{
    return key.size() > 4;
}

} // namespace

struct Form1::FetchState : public QObject
{
    enum class Kind { Archive, HotNews };

    // The transfer on jfDownEX1 started from here.
    struct Job
    {
        Kind kind = Kind::Archive;
        QString key, label;
        mz::PageTarget target;
        int attempt = 1;
    };

    FetchState(Form1 *window) : QObject(window), w(window)
    {
        retryTimer.setSingleShot(true);
        QObject::connect(&retryTimer, &QTimer::timeout, this, [this] { retryNow(); });
    }

    Form1 *w;
    mz::RetryPolicy policy;
    QTimer retryTimer;
    std::optional<Job> job;   // the running (or last) transfer
    std::optional<Job> retry; // waiting for retryTimer
    bool superseding = false; // jfDownEX1 is being stopped for a newer request
    bool endedSeen = false;   // transfer ended arrived for the job in `job`
    bool startupHotNews = false; // the start-up sequence's hot news: the archive follows always
    // One entry per transfer the component delivered, pushed by transfer ended and taken by
    // the completed event of the same transfer (innermost last: a transfer started from a
    // handler, or from a modal box's event loop, may end before the outer completed comes).
    struct Delivered
    {
        QString key;
        bool complete = false;
    };
    QList<Delivered> delivered;

    mz::PageTarget targetFor(Kind kind, const QString &key, const QString &label, bool live) const
    {
        const Form1Environment &env = w->m_env;
        return mz::pageTarget(kind == Kind::Archive ? mz::PageKind::Archive : mz::PageKind::HotNews,
                              env.portalBase, env.folder, key, label, env.clock->today(), live);
    }

    // The image a day node has when nothing runs for it: 1 when its final archive copy is
    // stored, else 4.
    void restoreImage(const QString &key)
    {
        QTreeWidgetItem *node = w->nodeByKey(key);
        if (!node)
            return;
        const QString name = mz::lastSegment(
            mz::archivePageUrl(w->m_env.portalBase, mz::stampOfKey(key)));
        const bool stored = QFile::exists(mz::finalCopyPath(w->m_env.folder, name));
        w->setNodeImage(node, stored ? 1 : 4);
    }

    // A running transfer ends before another one starts; it is not retried.
    void supersede()
    {
        if (!w->jfDownEX1->isBusy())
            return;
        endedSeen = false;
        superseding = true;
        w->jfDownEX1->stop();
        superseding = false;
        // A start that was still waiting inside the component ends without any event.
        if (!endedSeen && job)
            restoreImage(job->key);
    }

    // A new request from the user (or the start-up sequence) replaces a waiting retry.
    void cancelRetry()
    {
        if (!retry)
            return;
        retryTimer.stop();
        const QString key = retry->key;
        retry.reset();
        startupHotNews = false;
        if (!w->jfDownEX1->isBusy())
            restoreImage(key);
    }

    void startArchive(const QString &key, const QString &label, int attempt)
    {
        supersede();
        Job j{Kind::Archive, key, label, targetFor(Kind::Archive, key, label, false), attempt};
        w->archiveUrl = j.target.url;
        w->archiveFile = j.target.file;
        job = j;
        w->setNodeImage(w->nodeByKey(key), 2);
        w->downloadingKey = key;
        w->archiveActive = true;
        w->hotActive = false;
        w->jfDownEX1->start(w->archiveUrl, w->archiveFile, 0, true);
        w->watchdogMemory.clear();
        w->Timer3->start();
    }

    void startHotNews(const QString &key, const QString &label, int attempt)
    {
        supersede();
        Job j{Kind::HotNews, key, label, targetFor(Kind::HotNews, key, label, true), attempt};
        w->hotUrl = j.target.url;
        w->hotFile = j.target.file;
        job = j;
        w->setNodeImage(w->nodeByKey(key), 2);
        w->downloadingKey = key;
        w->archiveActive = false;
        w->hotActive = true;
        w->jfDownEX1->start(w->hotUrl, w->hotFile, 0, true);
    }

    void retryNow()
    {
        if (!retry)
            return;
        const Job next = *retry;
        retry.reset();
        if (next.kind == Kind::Archive)
            startArchive(next.key, next.label, next.attempt);
        else
            startHotNews(next.key, next.label, next.attempt);
    }

    // After an incomplete transfer: another attempt after a pause, or the end of the tries.
    // Returns false when the limit is reached.
    bool scheduleRetry(const Job &ended)
    {
        if (!policy.mayRetry(ended.attempt))
            return false;
        Job next = ended;
        next.attempt = ended.attempt + 1;
        retry = next;
        const int pause = policy.pauseBeforeAttempt(next.attempt);
        w->setPanelText(QStringLiteral("s1"),
                        QStringLiteral("%1 下载未完成，%2秒后重试（第%3次，共%4次）")
                            .arg(ended.label)
                            .arg((pause + 999) / 1000)
                            .arg(next.attempt)
                            .arg(policy.maxAttempts()));
        retryTimer.start(pause);
        return true;
    }

    void giveUp(const Job &ended)
    {
        restoreImage(ended.key);
        const QString what = ended.kind == Kind::Archive ? QStringLiteral("新闻")
                                                          : QStringLiteral("热点新闻");
        QString detail = w->jfDownEX1->lastErrorText();
        if (detail.isEmpty())
            detail = QStringLiteral("页面不完整");
        w->setPanelText(QStringLiteral("s1"), QStringLiteral("%1 的%2下载失败，已试%3次：%4")
                                                  .arg(ended.label, what)
                                                  .arg(ended.attempt)
                                                  .arg(detail));
        w->setWindowTitle(idleCaption() + QStringLiteral("-下载失败"));
    }

    // A closed day's provisional copy goes once its final copy has arrived complete.
    static void dropProvisional(const mz::PageTarget &target)
    {
        if (target.closed && target.provisionalFile != target.file
            && QFile::exists(target.provisionalFile))
            QFile::remove(target.provisionalFile);
    }

    // Lists the stored archive of a day in ListView2 (which keeps its visibility: hidden).
    void showArchive(const QString &key, const QString &label)
    {
        const mz::PageTarget t = targetFor(Kind::Archive, key, label, false);
        w->archiveUrl = t.url;
        w->archiveFile = t.file;
        w->ListView2->hide();
        w->model2->clear();
        w->list();
    }
};

// ---- set-up -----------------------------------------------------------------------------

void Form1::setupDownloads()
{
    m_fetch = new FetchState(this); // a child: freed with the window

    auto configure = [this](mz::DownloadComponent *c) {
        c->setTimeOut(60000);
        c->setUserAgent(QStringLiteral("Mozilla/4.0 (compatible; MSIE 5.00; Windows 98)"));
        c->setAccept(QStringLiteral("*/*"));
        c->setUseReferer(true);
        c->setReferer(m_env.portalBase + QLatin1Char('/'));
    };
    jfDownEX1 = new mz::DownloadComponent(-1, this);
    jfDownEX1->setObjectName(QStringLiteral("jfDownEX1"));
    configure(jfDownEX1);
    // A page that fails the completeness test never replaces the stored copy.
    jfDownEX1->setBodyCheck([](QByteArrayView body) { return mz::isCompletePage(body); });
    for (int i = 0; i < int(jfDownEX2.size()); ++i) {
        jfDownEX2[i] = new mz::DownloadComponent(i, this);
        jfDownEX2[i]->setObjectName(QStringLiteral("jfDownEX2_%1").arg(i));
        configure(jfDownEX2[i]);
    }

    using C = mz::DownloadComponent;
    connect(jfDownEX1, &C::connecting, this, &Form1::jfDownEX1_Connecting);
    connect(jfDownEX1, &C::connected, this, &Form1::jfDownEX1_Connected);
    connect(jfDownEX1, &C::progress, this, &Form1::jfDownEX1_Progress);
    connect(jfDownEX1, &C::error, this, &Form1::jfDownEX1_Error);
    connect(jfDownEX1, &C::transferEnded, this, &Form1::jfDownEX1_TransferEnded);
    connect(jfDownEX1, &C::completed, this, &Form1::jfDownEX1_Completed);

    connect(Timer1, &QTimer::timeout, this, &Form1::Timer1_Timer);
    connect(Timer3, &QTimer::timeout, this, &Form1::Timer3_Timer);
    connect(Timer4, &QTimer::timeout, this, &Form1::Timer4_Timer);
}

void Form1::setRetryPolicy(const mz::RetryPolicy &policy)
{
    m_fetch->policy = policy;
}

// ---- commands -----------------------------------------------------------------------------

void Form1::Command1_Click()
{
    const QString key = selectedKey();
    if (!isDayKey(key))
        return;
    m_fetch->cancelRetry();
    m_fetch->startupHotNews = false;
    m_fetch->startArchive(key, selectedText(), 1);
}

void Form1::s1_Click()
{
    Command1_Click();
}

void Form1::Command2_Click()
{
    m_fetch->showArchive(selectedKey(), selectedText());
}

void Form1::s1hot_Click()
{
    const QString key = selectedKey();
    if (!isDayKey(key))
        return;
    m_fetch->cancelRetry();
    m_fetch->startupHotNews = false;
    m_fetch->startHotNews(key, selectedText(), 1);
}

void Form1::s2hot_Click()
{
    if (hotViewText.isEmpty())
        hotViewText = selectedText();
    if (hotViewKey.isEmpty())
        hotViewKey = selectedKey();
    ListView1->raise();
    const mz::PageTarget t =
        m_fetch->targetFor(FetchState::Kind::HotNews, hotViewKey, hotViewText, false);
    hotUrl = t.url;
    hotFile = t.file;
    hotViewText.clear();
    hotViewKey.clear();
    ListView1->hide();
    ListView2->hide();
    model1->clear();
    listHot();
    showListView(ListView1);
}

// ---- timers -------------------------------------------------------------------------------

void Form1::Timer1_Timer()
{
    Timer1->stop();
    const QString key = selectedKey();
    hotUrl = mz::hotPageUrl(m_env.portalBase, mz::stampOfKey(key));
    hotFile = mz::provisionalCopyPath(m_env.folder, mz::lastSegment(hotUrl));
    if (QFile::exists(hotFile)) {
        s2hot_Click();
        s1_Click();
    } else {
        s1hot_Click();
        m_fetch->startupHotNews = jfDownEX1->isBusy();
    }
    showListView(ListView1);
}

void Form1::Timer3_Timer()
{
    const QString caption = windowTitle();
    if (caption != watchdogMemory) {
        watchdogMemory = caption;
        return;
    }
    // No progress for a whole interval: end the transfer; transfer ended judges the file.
    Timer3->stop();
    watchdogMemory.clear();
    jfDownEX1->stop();
}

void Form1::Timer4_Timer()
{
    Timer4->stop();
    // The archive of the selected day follows the hot news. When the user has meanwhile
    // selected something that is not a day (a keyword, say), the day whose hot news were just
    // fetched is taken instead of building an address from a keyword's key.
    if (!isDayKey(selectedKey())) {
        if (QTreeWidgetItem *node = nodeByKey(downloadingKey); node && isDayKey(downloadingKey)) {
            m_fetch->cancelRetry();
            m_fetch->startArchive(downloadingKey, node->text(0), 1);
        }
        return;
    }
    s1_Click();
}

// ---- events of jfDownEX1 ----------------------------------------------------------------------

void Form1::jfDownEX1_Connecting()
{
    jfDownEX1->setTag(QStringLiteral("正在连接..."));
}

void Form1::jfDownEX1_Connected()
{
    jfDownEX1->setTag(QStringLiteral("已连接到服务器"));
}

void Form1::jfDownEX1_Progress()
{
    jfDownEX1->setTag(mz::kilobyteText(jfDownEX1->receivedBytes()));
    setWindowTitle(QStringLiteral("墨舟 V1.3-下载了") + jfDownEX1->tag());
}

void Form1::jfDownEX1_Error(const QString &text, int code)
{
    // Not shown: a failed transfer shows up as an incomplete page when it ends.
    Q_UNUSED(text);
    Q_UNUSED(code);
}

void Form1::jfDownEX1_TransferEnded()
{
    FetchState &f = *m_fetch;
    f.endedSeen = true;
    // Complete only when this transfer delivered the page: an older copy that happens to be
    // stored does not make a failed transfer a success.
    const bool succeeded = jfDownEX1->lastTransferSucceeded();
    const bool ours = f.job && !f.superseding;
    const bool complete = succeeded && ours && mz::isCompletePageFile(f.job->target.file);
    if (succeeded) // its completed event follows
        f.delivered.append({ours ? f.job->key : QString(), complete});

    if (!f.job) { // not started here
        setWindowTitle(idleCaption());
        return;
    }
    const FetchState::Job ended = *f.job;
    if (ended.kind == FetchState::Kind::Archive) {
        Timer3->stop();
        watchdogMemory.clear();
    }
    if (f.superseding) { // a newer request takes jfDownEX1 over
        f.restoreImage(ended.key);
        f.startupHotNews = false;
        setWindowTitle(idleCaption());
        return;
    }

    bool gaveUp = false;

    if (hotActive && ended.kind == FetchState::Kind::HotNews) {
        if (complete) {
            FetchState::dropProvisional(ended.target);
            QTreeWidgetItem *node = nodeByKey(ended.key);
            setNodeImage(node, 4);
            setNodeRed(node);
            f.startupHotNews = false;
            hotViewText = ended.label; // show the day that was fetched
            hotViewKey = ended.key;
            s2hot_Click();
            Timer4->start();
        } else if (!f.scheduleRetry(ended)) {
            gaveUp = true;
            f.giveUp(ended);
            if (f.startupHotNews) { // the day's archive still follows
                f.startupHotNews = false;
                Timer4->start();
            }
        }
    }
    if (archiveActive && ended.kind == FetchState::Kind::Archive) {
        if (complete) {
            FetchState::dropProvisional(ended.target);
            setNodeImage(nodeByKey(ended.key), 1);
            f.showArchive(ended.key, ended.label);
        } else if (!f.scheduleRetry(ended)) {
            gaveUp = true;
            f.giveUp(ended);
        }
    }
    if (!gaveUp)
        setWindowTitle(idleCaption());
}

void Form1::jfDownEX1_Completed()
{
    // Only a transfer that delivered a complete page is announced, once.
    if (m_fetch->delivered.isEmpty())
        return;
    const FetchState::Delivered d = m_fetch->delivered.takeLast();
    if (!d.complete)
        return;
    if (m_env.messages)
        m_env.messages->show(QStringLiteral("下载完成。"), QStringLiteral("提示"),
                             mz::MessageIcon::None);
    QTreeWidgetItem *node = nodeByKey(d.key);
    setNodeImage(node, 4);
    setNodeRed(node);
}
