// The archive and hot news downloads of the main window against a local portal: file names,
// node images, the notification, retries with their limit, the watchdog, the start-up sequence
// and the toolbar's today button.

#include "ui/emptystates.h"
#include "ui/form1.h"
#include "ui/headlinelists.h"
#include "ui/navigationtree.h"
#include "ui/personalfrontpage.h"
#include "ui/dialogs/form5.h"
#include "ui/searchcommands.h"
#include "ui/windowstatus.h"
#include "fetch/downloadcomponent.h"
#include "fetch/retrypolicy.h"
#include "lists/archiveparser.h"
#include "lists/headlinemodel.h"
#include "lists/hotparser.h"
#include "platform/messages.h"
#include "platform/textfile.h"
#include "store/flashini.h"
#include "portal/httpserver.h"
#include "portal/pagegenerator.h"
#include "portal/portalsite.h"
#include "testsupport/modalmessages.h"
#include "testsupport/portalfixture.h"
#include "testsupport/writelimit.h"

#include <QAction>
#include <QDir>
#include <QEventLoop>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QTreeView>
#include <QTreeWidget>

#include <cerrno>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

using Outcome = mz::DownloadComponent::Outcome;
using Fault = mz::HttpServer::Fault;

Q_DECLARE_METATYPE(mz::HttpServer::Fault)

namespace {

const QString kIdle = QStringLiteral("墨舟 V1.3");
const mz::RecordedMessage kDone{QStringLiteral("下载完成。"), QStringLiteral("提示"),
                                mz::MessageIcon::None};

// The window's program folder and recorders, and the demo portal on 127.0.0.1 whose answers a
// test may alter.
struct Fixture : mz::test::PortalFormFixture
{
    explicit Fixture(QDate today) : PortalFormFixture(today) {}

    // Loads the window with short retry pauses and a quick watchdog; Timer1 stays off unless
    // the start-up sequence is under test.
    std::unique_ptr<Form1> load(bool startUp = false)
    {
        auto form = create();
        form->setRetryPolicy(mz::RetryPolicy(3, 10, 40));
        form->Form_Load();
        if (!startUp)
            form->Timer1->stop();
        form->Timer3->setInterval(200);
        // What the component reported at each transfer end, after the window's own handler.
        QObject::connect(form->jfDownEX1, &mz::DownloadComponent::transferEnded, form.get(),
                         [this, f = form.get()] { outcomes << f->jfDownEX1->lastOutcome(); });
        return form;
    }

    QString file(const QString &name) const { return dir.filePath(name); }
    QByteArray bytes(const QString &name) const
    {
        return mz::readFileBytes(file(name)).value_or(QByteArray("<missing>"));
    }
    int requests(const QByteArray &path) const { return int(server->requestedPaths().count(path)); }

    QList<Outcome> outcomes;
};

void select(Form1 &form, const QString &key)
{
    QTreeWidgetItem *node = form.tree().nodeByKey(key);
    QVERIFY2(node, qPrintable(key));
    form.TreeView1->clearSelection();
    form.TreeView1->setCurrentItem(node);
    node->setSelected(true);
    QCOMPARE(form.tree().selectedKey(), key);
}

bool isRed(const QTreeWidgetItem *node)
{
    return node && node->foreground(0).color() == QColor(255, 0, 0);
}

const QDate kDay(2007, 6, 12);
const QString kKey = QStringLiteral("k20070612");
const QByteArray kArchivePath = "/old1000/news1000_20070612.shtml";

} // namespace

class TestForm1Fetch : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void archiveOfClosedDay()
    {
        Fixture f(kDay.addDays(1));
        QVERIFY(
            mz::writeFileBytes(f.file("Nonews1000_20070612.shtml"), "<html>provisional</html>"));
        auto form = f.load();
        select(*form, kKey);
        QList<int> imageAtEnd;
        connect(form->jfDownEX1, &mz::DownloadComponent::transferEnded, form.get(),
                [&] { imageAtEnd << NavigationTree::nodeImage(form->tree().nodeByKey(kKey)); });

        const auto description = [&form] {
            return form->tree().nodeByKey(kKey)->data(0, Qt::AccessibleDescriptionRole).toString();
        };
        form->Command1_Click();
        QCOMPARE(NavigationTree::nodeImage(form->tree().nodeByKey(kKey)), 2);
        QCOMPARE(description(), QStringLiteral("正在下载")); // what a screen reader hears
        QVERIFY(form->Timer3->isActive());
        // The provisional copy stays until the final copy has arrived complete.
        QVERIFY(QFile::exists(f.file("Nonews1000_20070612.shtml")));

        QTRY_COMPARE_WITH_TIMEOUT(f.messages.messages.size(), 1, 15000);
        QCOMPARE(f.messages.messages.first(), kDone);
        QCOMPARE(f.bytes("news1000_20070612.shtml"), f.generator->archivePage(kDay));
        QVERIFY(!QFile::exists(f.file("Nonews1000_20070612.shtml")));
        QCOMPARE(imageAtEnd, QList<int>{1});                                  // listed: image 1 ...
        QCOMPARE(NavigationTree::nodeImage(form->tree().nodeByKey(kKey)), 4); // ... then 4 in red
        QVERIFY(isRed(form->tree().nodeByKey(kKey)));
        QCOMPARE(description(), QStringLiteral("本次已下载"));
        QVERIFY(form->lists().model2()->rowCount() > 0);
        QVERIFY(form->ListView2->isHidden());
        QCOMPARE(form->windowTitle(), kIdle);
        QVERIFY(!form->Timer3->isActive());
        QCOMPARE(f.requests(kArchivePath), 1);
        QTest::qWait(100);
        QCOMPARE(f.messages.messages.size(), 1); // once per transfer
    }

    void archiveOfOpenDay()
    {
        Fixture f(kDay);
        auto form = f.load();
        select(*form, kKey); // today's node
        form->Command1_Click();
        QTRY_COMPARE_WITH_TIMEOUT(f.messages.messages.size(), 1, 15000);
        QCOMPARE(f.bytes("Nonews1000_20070612.shtml"), f.generator->archivePage(kDay));
        QVERIFY(!QFile::exists(f.file("news1000_20070612.shtml")));
        QVERIFY(form->lists().model2()->rowCount() > 0);
    }

    void hotNews_data()
    {
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QDate>("clockSetTo"); // after the tree was built
        QTest::addColumn<QByteArray>("requested");
        QTest::addColumn<QString>("stored");
        QTest::newRow("closed-day-dated-page")
            << kDay.addDays(2) << kDay.addDays(2) << QByteArray("/hotnews/20070612.shtml")
            << "20070612.shtml";
        QTest::newRow("open-day-live-page")
            << kDay << kDay << QByteArray("/hotnews/") << "No20070612.shtml";
        // The clock set back before the day: the live page holds another day's news.
        QTest::newRow("later-day-dated-page")
            << kDay.addDays(1) << kDay.addDays(-1) << QByteArray("/hotnews/20070612.shtml")
            << "No20070612.shtml";
    }
    void hotNews()
    {
        QFETCH(QDate, today);
        QFETCH(QDate, clockSetTo);
        QFETCH(QByteArray, requested);
        QFETCH(QString, stored);
        Fixture f(today);
        const bool closed = clockSetTo > kDay;
        if (closed)
            QVERIFY(mz::writeFileBytes(f.file("No20070612.shtml"), "<html>provisional</html>"));
        auto form = f.load();
        select(*form, kKey);
        f.clock.setToday(clockSetTo);
        form->s1hot_Click();
        QVERIFY(!form->Timer3->isActive()); // no watchdog for hot news
        QCOMPARE(QFile::exists(f.file("No20070612.shtml")), closed);

        QTRY_COMPARE_WITH_TIMEOUT(f.messages.messages.size(), 1, 15000);
        QCOMPARE(f.server->requestedPaths(), QList<QByteArray>{requested});
        QCOMPARE(f.bytes(stored), f.generator->hotNewsPage(kDay));
        QCOMPARE(QFile::exists(f.file("No20070612.shtml")), !closed);
        QCOMPARE(NavigationTree::nodeImage(form->tree().nodeByKey(kKey)), 4);
        QVERIFY(isRed(form->tree().nodeByKey(kKey)));
        QVERIFY(form->lists().model1()->rowCount() > 0);
        QVERIFY(!form->ListView1->isHidden());
        QVERIFY(form->Timer4->isActive()); // the archive follows
        form->Timer4->stop();
    }

    // When the user has selected a non-day node by the time the archive download follows the
    // hot news, the day whose hot news were fetched is downloaded, not an address built from
    // the other node's key.
    void archiveFollowsHotNewsDayWhenNoDaySelected()
    {
        Fixture f(kDay.addDays(2));
        auto form = f.load();
        select(*form, kKey);
        form->s1hot_Click();
        QTRY_COMPARE_WITH_TIMEOUT(f.messages.messages.size(), 1, 15000);
        QVERIFY(form->Timer4->isActive());
        select(*form, QStringLiteral("k2"));
        form->Timer4->stop();
        form->Timer4_Timer();
        QTRY_COMPARE_WITH_TIMEOUT(f.messages.messages.size(), 2, 15000);
        QCOMPARE(f.requests(kArchivePath), 1);
        QCOMPARE(f.server->requestCount(), 2);
        QCOMPARE(f.bytes("news1000_20070612.shtml"), f.generator->archivePage(kDay));
    }

    void capitalHtmlEndCounts()
    {
        Fixture f(kDay.addDays(1));
        f.transform = [](const QByteArray &, const QByteArray &body) {
            return QByteArray(body).replace("</html>", "</HTML>");
        };
        auto form = f.load();
        select(*form, kKey);
        form->Command1_Click();
        QTRY_COMPARE_WITH_TIMEOUT(f.messages.messages.size(), 1, 15000);
        QVERIFY(f.bytes("news1000_20070612.shtml").contains("</HTML>"));
        QCOMPARE(f.requests(kArchivePath), 1);
        QVERIFY(form->lists().model2()->rowCount() > 0);
    }

    void incompleteTransfersAreRetried_data()
    {
        QTest::addColumn<Fault>("fault");
        QTest::addColumn<bool>("missingEnd");
        QTest::newRow("truncated-body") << Fault::Truncate << false;
        QTest::newRow("server-error") << Fault::ServerError << false;
        QTest::newRow("page-without-html-end") << Fault::None << true;
    }
    void incompleteTransfersAreRetried()
    {
        QFETCH(Fault, fault);
        QFETCH(bool, missingEnd);
        Fixture f(kDay.addDays(1));
        int served = 0;
        if (missingEnd) {
            f.transform = [&served](const QByteArray &, const QByteArray &body) {
                return ++served <= 2 ? body.left(body.indexOf("</html>")) : body;
            };
        } else {
            f.server->setFaultForPath("/old1000/", fault, 2);
        }
        QVERIFY(mz::writeFileBytes(f.file("news1000_20070612.shtml"), "<html>stored</html>"));
        auto form = f.load();
        select(*form, kKey);
        QList<QByteArray> storedAtEachEnd;
        connect(form->jfDownEX1, &mz::DownloadComponent::transferEnded, form.get(),
                [&] { storedAtEachEnd << f.bytes("news1000_20070612.shtml"); });
        form->Command1_Click();
        QTRY_COMPARE_WITH_TIMEOUT(f.messages.messages.size(), 1, 15000);
        QCOMPARE(f.requests(kArchivePath), 3);
        QCOMPARE(storedAtEachEnd.size(), 3);
        // The stored page survives the failed attempts and is replaced by the complete one.
        QCOMPARE(storedAtEachEnd[0], QByteArray("<html>stored</html>"));
        QCOMPARE(storedAtEachEnd[1], QByteArray("<html>stored</html>"));
        QCOMPARE(storedAtEachEnd[2], f.generator->archivePage(kDay));
        QCOMPARE(f.outcomes.last(), Outcome::Succeeded);
        QCOMPARE(f.messages.messages.size(), 1);
        QCOMPARE(form->windowTitle(), kIdle);
    }

    // Midnight passes while the open day's page is being fetched (it arrives whole, or cut off
    // and retried): the day is closed now, so the next attempt fetches its dated page (the live
    // hot news page holds the next day's) and stores it as the final copy, which the list then
    // shows. A clock set back into a closed day while its page is fetched leaves the final copy
    // that arrives, which the list shows.
    void retryAfterMidnight_data()
    {
        QTest::addColumn<bool>("hot");
        QTest::addColumn<Fault>("fault");
        QTest::addColumn<bool>("clockSetBack");
        QTest::addColumn<QList<QByteArray>>("paths");
        QTest::addColumn<QString>("stored");
        const QString archive = QStringLiteral("news1000_20070612.shtml");
        const QString hot = QStringLiteral("20070612.shtml");
        const QByteArray live("/hotnews/"), dated("/hotnews/20070612.shtml");
        QTest::newRow("archive-cut-off")
            << false << Fault::Truncate << false << QList{kArchivePath, kArchivePath} << archive;
        QTest::newRow("archive-whole")
            << false << Fault::None << false << QList{kArchivePath, kArchivePath} << archive;
        QTest::newRow("hot-news-cut-off")
            << true << Fault::Truncate << false << QList{live, dated} << hot;
        QTest::newRow("hot-news-whole")
            << true << Fault::None << false << QList{live, dated} << hot;
        QTest::newRow("archive-clock-set-back")
            << false << Fault::None << true << QList{kArchivePath} << archive;
        QTest::newRow("hot-news-clock-set-back")
            << true << Fault::None << true << QList{dated} << hot;
    }
    void retryAfterMidnight()
    {
        QFETCH(bool, hot);
        QFETCH(Fault, fault);
        QFETCH(bool, clockSetBack);
        QFETCH(QList<QByteArray>, paths);
        QFETCH(QString, stored);
        Fixture f(clockSetBack ? kDay.addDays(1) : kDay);
        f.server->setFaultForPath(hot ? "/hotnews/" : "/old1000/", fault, 1);
        auto form = f.load();
        select(*form, kKey);
        connect(form->jfDownEX1, &mz::DownloadComponent::connecting, form.get(),
                [&] { f.clock.setToday(clockSetBack ? kDay : kDay.addDays(1)); });
        hot ? form->s1hot_Click() : form->Command1_Click();
        QTRY_COMPARE_WITH_TIMEOUT(f.messages.messages.size(), 1, 15000);
        form->Timer4->stop();
        QCOMPARE(f.server->requestedPaths(), paths);
        QCOMPARE(f.bytes(stored),
                 hot ? f.generator->hotNewsPage(kDay) : f.generator->archivePage(kDay));
        QVERIFY(!QFile::exists(f.file(QStringLiteral("No") + stored)));
        QCOMPARE(f.messages.messages, QList<mz::RecordedMessage>{kDone});
        QVERIFY((hot ? form->lists().model1() : form->lists().model2())->rowCount() > 0);
    }

    void watchdogStopsStalledTransfer()
    {
        Fixture f(kDay.addDays(1));
        f.server->setFaultForPath("/old1000/", Fault::Stall, 1);
        auto form = f.load();
        select(*form, kKey);
        form->Command1_Click();
        QTRY_COMPARE_WITH_TIMEOUT(f.messages.messages.size(), 1, 15000);
        // The component's own time-out (60 s) was not what ended the stalled attempt.
        QCOMPARE(f.outcomes, (QList<Outcome>{Outcome::Stopped, Outcome::Succeeded}));
        QCOMPARE(f.requests(kArchivePath), 2);
        QCOMPARE(f.bytes("news1000_20070612.shtml"), f.generator->archivePage(kDay));
        QVERIFY(!form->Timer3->isActive());
    }

    void watchdogLeavesALiveTransferAlone_data()
    {
        QTest::addColumn<Fault>("fault");
        QTest::addColumn<int>("chunk");
        QTest::addColumn<int>("intervalMs"); // pause between chunks (the watchdog ticks at 200)
        QTest::addColumn<int>("entries");    // entries of the archive page, 0: the day's own
        QTest::newRow("kilobytes-each-tick") << Fault::Slow << 4096 << 20 << 0;
        // Bytes at every tick, a new kilobyte in the caption only every few ticks.
        QTest::newRow("under-a-kilobyte-each-tick") << Fault::Slow << 32 << 20 << 20;
        // Packets further apart than a tick, as on a line of about a kilobyte a second.
        QTest::newRow("packets-further-apart-than-a-tick") << Fault::Slow << 1460 << 300 << 20;
        // The server takes three seconds to answer at all (more than two ticks).
        QTest::newRow("late-first-answer") << Fault::LateAnswer << 0 << 20 << 0;
    }
    void watchdogLeavesALiveTransferAlone()
    {
        QFETCH(Fault, fault);
        QFETCH(int, chunk);
        QFETCH(int, intervalMs);
        QFETCH(int, entries);
        Fixture f(kDay.addDays(1));
        f.server->setFaultForPath("/old1000/", fault, 1);
        f.server->setSlowChunk(chunk, intervalMs);
        if (entries > 0)
            f.transform = [&](const QByteArray &path, const QByteArray &body) {
                return path == kArchivePath ? f.generator->archivePage(kDay, entries) : body;
            };
        auto form = f.load();
        select(*form, kKey);
        form->Command1_Click();
        QTRY_COMPARE_WITH_TIMEOUT(f.messages.messages.size(), 1, 30000);
        QCOMPARE(f.outcomes, QList<Outcome>{Outcome::Succeeded});
        QCOMPARE(f.requests(kArchivePath), 1);
    }

    void giveUpAfterLimit_data()
    {
        QTest::addColumn<bool>("refused");
        QTest::addColumn<bool>("storedBefore");
        QTest::newRow("not-found-with-stored-copy") << false << true;
        QTest::newRow("not-found-without-stored-copy") << false << false;
        QTest::newRow("refused-connection") << true << true;
    }
    void giveUpAfterLimit()
    {
        QFETCH(bool, refused);
        QFETCH(bool, storedBefore);
        Fixture f(kDay.addDays(1));
        QTcpServer closedPort;
        if (refused) {
            QVERIFY(closedPort.listen(QHostAddress::LocalHost, 0));
            f.env.portalBase = QStringLiteral("http://127.0.0.1:%1").arg(closedPort.serverPort());
            closedPort.close();
        } else {
            f.server->setFaultForPath("/old1000/", Fault::NotFound);
        }
        if (storedBefore)
            QVERIFY(mz::writeFileBytes(f.file("news1000_20070612.shtml"), "<html>stored</html>"));
        auto form = f.load();
        select(*form, kKey);
        form->Command1_Click();
        QTRY_COMPARE_WITH_TIMEOUT(form->windowTitle(), kIdle + QStringLiteral("-下载失败"), 15000);
        QCOMPARE(f.outcomes.size(), 3);
        QVERIFY(!f.outcomes.contains(Outcome::Succeeded));
        QVERIFY(form->status().panel(WindowStatus::Panel::S1).contains(QStringLiteral("下载失败")));
        QCOMPARE(NavigationTree::nodeImage(form->tree().nodeByKey(kKey)), storedBefore ? 1 : 4);
        QCOMPARE(f.bytes("news1000_20070612.shtml"),
                 storedBefore ? QByteArray("<html>stored</html>") : QByteArray("<missing>"));
        QVERIFY(f.messages.messages.isEmpty()); // no box, no notification
        QVERIFY(!form->jfDownEX1->isBusy());
        QTest::qWait(300); // longer than any pause: nothing else is tried
        QCOMPARE(f.outcomes.size(), 3);
        if (!refused)
            QCOMPARE(f.requests(kArchivePath), 3);
    }

    // The caption of a download given up does not stay on while the next download waits for a
    // server that has not answered yet (hot news have no watchdog: that may last a minute).
    void failureCaptionGoesWithNextDownload()
    {
        Fixture f(kDay.addDays(1));
        QTcpServer silent; // takes the connection, never answers
        QVERIFY(silent.listen(QHostAddress::LocalHost, 0));
        f.env.portalBase = QStringLiteral("http://127.0.0.1:%1").arg(silent.serverPort());
        auto form = f.load();
        form->jfDownEX1->setTimeOut(300); // a server that never answers ends by the time-out
        select(*form, kKey);
        form->Command1_Click();
        QTRY_COMPARE_WITH_TIMEOUT(form->windowTitle(), kIdle + QStringLiteral("-下载失败"), 15000);
        QSignalSpy connecting(form->jfDownEX1, &mz::DownloadComponent::connecting);
        form->s1hot_Click();
        QTRY_COMPARE_WITH_TIMEOUT(connecting.size(), 1, 5000);
        QTest::qWait(50); // the request is on its way, unanswered
        QVERIFY(form->jfDownEX1->isBusy());
        QCOMPARE(form->windowTitle(), kIdle);
    }

    // A server that pauses mid-page: the watchdog ends the attempt, and the retry continues from
    // the bytes already stored where the server answers ranges, or starts again from zero where
    // it does not. Attempts that brought more of the page do not count toward the limit (3).
    void pausedPageResumes_data()
    {
        QTest::addColumn<bool>("ranges");
        QTest::addColumn<int>("stalls"); // -1: every answer pauses
        QTest::addColumn<int>("expectedRequests");
        QTest::addColumn<bool>("completes");
        QTest::newRow("ranges-three-pauses") << true << 3 << 4 << true;
        QTest::newRow("no-ranges-one-pause") << false << 1 << 2 << true;
        // Each restart stops where the kept copy already ended: three fruitless retries.
        QTest::newRow("no-ranges-always-pausing") << false << -1 << 4 << false;
    }
    void pausedPageResumes()
    {
        QFETCH(bool, ranges);
        QFETCH(int, stalls);
        QFETCH(int, expectedRequests);
        QFETCH(bool, completes);
        Fixture f(kDay.addDays(1));
        f.server->setRangesEnabled(ranges);
        f.server->setFaultForPath("/old1000/", Fault::Stall, stalls);
        QVERIFY(mz::writeFileBytes(f.file("news1000_20070612.shtml"), "<html>stored</html>"));
        QList<QByteArray> rangeAsked;
        connect(f.server.get(), &mz::HttpServer::requestReceived, f.server.get(),
                [&] { rangeAsked << f.server->lastRequestHeader("Range"); });
        auto form = f.load();
        select(*form, kKey);
        form->Command1_Click();
        if (completes)
            QTRY_COMPARE_WITH_TIMEOUT(f.messages.messages.size(), 1, 20000);
        else
            QTRY_COMPARE_WITH_TIMEOUT(form->windowTitle(), kIdle + QStringLiteral("-下载失败"),
                                      20000);

        QCOMPARE(f.requests(kArchivePath), expectedRequests);
        QCOMPARE(rangeAsked.size(), expectedRequests);
        QVERIFY(rangeAsked.first().isEmpty());
        qint64 previous = 0;
        for (qsizetype i = 1; i < rangeAsked.size(); ++i) {
            // Every retry asks for the rest of what it holds; with ranges, each holds more.
            QVERIFY2(rangeAsked[i].startsWith("bytes="), rangeAsked[i].constData());
            const qint64 from = rangeAsked[i].mid(6).chopped(1).toLongLong();
            QVERIFY(from > 0);
            if (ranges)
                QVERIFY2(from > previous, rangeAsked[i].constData());
            previous = from;
        }
        QCOMPARE(f.bytes("news1000_20070612.shtml"),
                 completes ? f.generator->archivePage(kDay) : QByteArray("<html>stored</html>"));
        QCOMPARE(QDir(f.dir.path()).entryList({QStringLiteral("*.part")}, QDir::Files),
                 QStringList());
    }

    // A page that never ends, or one that drips in, breaks the component's size cap or deadline;
    // a full disk refuses the page: the download is given up at once with the reason in s1, and
    // the stored page stays as it was.
    void limitsEndArchiveDownload_data()
    {
        QTest::addColumn<Fault>("fault");
        QTest::addColumn<int>("chunk");
        QTest::addColumn<int>("intervalMs");
        QTest::addColumn<int>("deadlineMs");
        QTest::addColumn<int>("diskLimit"); // bytes a file may hold, 0: no limit
        QTest::addColumn<Outcome>("outcome");
        QTest::addColumn<QString>("reason");
        QTest::newRow("endless-page")
            << Fault::Endless << 8192 << 5 << 60000 << 0 << Outcome::TooLarge
            << QStringLiteral("页面过大：超过 256 KB");
        // The watchdog ends each dripping attempt; the retries continue it until the deadline.
        QTest::newRow("dripping-page")
            << Fault::Slow << 1 << 50 << 1500 << 0 << Outcome::DeadlineExceeded
            << QStringLiteral("下载超时：1500毫秒内没有下载完");
        // Writes past 1 KB fail as on a full disk, and the system's reason is given: a write the
        // disk took in part said "Unknown error".
        QTest::newRow("full-disk")
            << Fault::None << 512 << 20 << 60000 << 1024 << Outcome::FileError
            << QStringLiteral("shtml（%1）").arg(QString::fromLocal8Bit(std::strerror(EFBIG)));
    }
    void limitsEndArchiveDownload()
    {
        QFETCH(Fault, fault);
        QFETCH(int, chunk);
        QFETCH(int, intervalMs);
        QFETCH(int, deadlineMs);
        QFETCH(int, diskLimit);
        QFETCH(Outcome, outcome);
        QFETCH(QString, reason);
        Fixture f(kDay.addDays(1));
        f.server->setFaultForPath("/old1000/", fault);
        f.server->setSlowChunk(chunk, intervalMs);
        QVERIFY(mz::writeFileBytes(f.file("news1000_20070612.shtml"), "<html>stored</html>"));
        auto form = f.load();
        form->jfDownEX1->setMaxBytes(256 * 1024);
        form->jfDownEX1->setDeadline(deadlineMs);
        select(*form, kKey);
        std::optional<mz::test::WriteLimit> fullDisk;
        if (diskLimit > 0)
            fullDisk.emplace(rlim_t(diskLimit));
        form->Command1_Click();
        QTRY_COMPARE_WITH_TIMEOUT(form->windowTitle(), kIdle + QStringLiteral("-下载失败"), 15000);
        fullDisk.reset();
        QCOMPARE(f.outcomes.last(), outcome);
        QCOMPARE(f.outcomes.count(outcome), 1); // not tried again
        QVERIFY(!f.outcomes.contains(Outcome::Succeeded));
        QVERIFY2(form->status().panel(WindowStatus::Panel::S1).contains(reason),
                 qPrintable(form->status().panel(WindowStatus::Panel::S1)));
        QCOMPARE(f.bytes("news1000_20070612.shtml"), QByteArray("<html>stored</html>"));
        QCOMPARE(QDir(f.dir.path()).entryList(QDir::Files).size(), 2); // option.ini and the page
        QVERIFY(f.messages.messages.isEmpty());
        const int ended = int(f.outcomes.size());
        QTest::qWait(200); // longer than any retry pause: nothing else is tried
        QCOMPARE(f.outcomes.size(), ended);
        QVERIFY(!form->jfDownEX1->isBusy());
    }

    // A slow line: the deadline ends each attempt with part of the page, the next continues it,
    // and the page arrives. A page that only drips in is given up (limitsEndArchiveDownload).
    void slowLineArchiveArrivesOverAttempts()
    {
        Fixture f(kDay.addDays(1));
        f.server->setFaultForPath("/old1000/", Fault::Slow);
        f.server->setSlowChunk(1024, 10);
        QList<QByteArray> rangeAsked;
        connect(f.server.get(), &mz::HttpServer::requestReceived, f.server.get(),
                [&] { rangeAsked << f.server->lastRequestHeader("Range"); });
        auto form = f.load();
        form->jfDownEX1->setDeadline(250);
        select(*form, kKey);
        form->Command1_Click();
        QTRY_COMPARE_WITH_TIMEOUT(f.messages.messages.size(), 1, 20000);
        QVERIFY2(f.outcomes.size() > 1, qPrintable(QString::number(f.outcomes.size())));
        QCOMPARE(f.outcomes.count(Outcome::DeadlineExceeded), f.outcomes.size() - 1);
        QCOMPARE(f.outcomes.last(), Outcome::Succeeded);
        QVERIFY(rangeAsked.last().startsWith("bytes="));
        QCOMPARE(f.bytes("news1000_20070612.shtml"), f.generator->archivePage(kDay));
        QCOMPARE(form->windowTitle(), kIdle);
    }

    // "下载当日所有新闻" while the day's page waits for a retry continues from the bytes kept of
    // it instead of fetching them again, also after the user fetched another day's pages (its
    // hot news, and the archive that follows them) meanwhile.
    void requestContinuesKeptBytes_data()
    {
        QTest::addColumn<bool>("otherDayFirst");
        QTest::newRow("at-once") << false;
        QTest::newRow("after-another-day") << true;
    }
    void requestContinuesKeptBytes()
    {
        QFETCH(bool, otherDayFirst);
        Fixture f(kDay.addDays(1));
        f.server->setFaultForPath(kArchivePath, Fault::Stall, 1);
        auto form = f.load();
        form->setRetryPolicy(mz::RetryPolicy(3, 60000, 60000));
        select(*form, kKey);
        form->Command1_Click();
        QTRY_COMPARE_WITH_TIMEOUT(f.outcomes.size(), 1, 10000); // the watchdog ended the pause
        const qint64 kept = form->jfDownEX1->resumableBytes(f.server->url(kArchivePath),
                                                            f.file("news1000_20070612.shtml"));
        QVERIFY(kept > 0);
        if (otherDayFirst) {
            select(*form, QStringLiteral("k20070611"));
            form->s1hot_Click();
            QTRY_COMPARE_WITH_TIMEOUT(f.messages.messages.size(), 2, 10000); // and its archive
            QVERIFY(QFile::exists(f.file("news1000_20070611.shtml")));
            select(*form, kKey);
        }
        form->s1_Click();
        QTRY_COMPARE_WITH_TIMEOUT(f.messages.messages.size(), otherDayFirst ? 3 : 1, 10000);
        QCOMPARE(f.server->lastRequestHeader("Range"), "bytes=" + QByteArray::number(kept) + '-');
        QCOMPARE(f.bytes("news1000_20070612.shtml"), f.generator->archivePage(kDay));
    }

    void retryFetchesTheDayBeingDownloaded()
    {
        Fixture f(kDay.addDays(1));
        f.server->setFaultForPath("/old1000/", Fault::Truncate, 1);
        auto form = f.load();
        select(*form, kKey);
        form->Command1_Click();
        select(*form, QStringLiteral("k20070611")); // the user moves on meanwhile
        QTRY_COMPARE_WITH_TIMEOUT(f.messages.messages.size(), 1, 15000);
        QCOMPARE(f.server->requestedPaths(), (QList<QByteArray>{kArchivePath, kArchivePath}));
        QVERIFY(QFile::exists(f.file("news1000_20070612.shtml")));
        QVERIFY(!QFile::exists(f.file("news1000_20070611.shtml")));
        QVERIFY(isRed(form->tree().nodeByKey(kKey)));
        QVERIFY(!isRed(form->tree().nodeByKey(QStringLiteral("k20070611"))));
    }

    void secondStartWhileRunning()
    {
        Fixture f(kDay.addDays(1));
        const QByteArray first = "/old1000/news1000_20070611.shtml";
        f.server->setFaultForPath(first, Fault::Stall, 1);
        auto form = f.load();
        int ended = 0;
        connect(form->jfDownEX1, &mz::DownloadComponent::transferEnded, form.get(),
                [&] { ++ended; });
        select(*form, QStringLiteral("k20070611"));
        form->Command1_Click();
        QSignalSpy progress(form->jfDownEX1, &mz::DownloadComponent::progress);
        QVERIFY(progress.wait(10000));

        select(*form, kKey);
        form->Command1_Click();
        QCOMPARE(ended, 1); // the running transfer has ended before the new one started
        QCOMPARE(NavigationTree::nodeImage(form->tree().nodeByKey(QStringLiteral("k20070611"))), 4);
        QCOMPARE(NavigationTree::nodeImage(form->tree().nodeByKey(kKey)), 2);

        QTRY_COMPARE_WITH_TIMEOUT(f.messages.messages.size(), 1, 15000);
        QTest::qWait(300);
        QCOMPARE(ended, 2);
        QCOMPARE(f.messages.messages.size(), 1);
        QCOMPARE(f.server->requestedPaths(),
                 (QList<QByteArray>{first, kArchivePath})); // no retry of the first
        QVERIFY(!QFile::exists(f.file("news1000_20070611.shtml")));
        QVERIFY(isRed(form->tree().nodeByKey(kKey)));
    }

    // A request while a retry waits replaces the retry: the waiting day's node and the status
    // bar no longer announce it.
    void requestDuringRetryPause()
    {
        Fixture f(kDay.addDays(1));
        const QByteArray first = "/old1000/news1000_20070611.shtml";
        f.server->setFaultForPath(first, Fault::NotFound);
        f.server->setFaultForPath(kArchivePath, Fault::Stall);
        auto form = f.load();
        form->setRetryPolicy(mz::RetryPolicy(3, 60000, 60000));
        select(*form, QStringLiteral("k20070611"));
        form->Command1_Click();
        QTRY_VERIFY_WITH_TIMEOUT(
            form->status().panel(WindowStatus::Panel::S1).contains(QStringLiteral("重试")), 15000);

        select(*form, kKey);
        form->Command1_Click();
        QCOMPARE(NavigationTree::nodeImage(form->tree().nodeByKey(QStringLiteral("k20070611"))), 4);
        QCOMPARE(NavigationTree::nodeImage(form->tree().nodeByKey(kKey)), 2);
        QVERIFY2(!form->status().panel(WindowStatus::Panel::S1).contains(QStringLiteral("重试")),
                 qPrintable(form->status().panel(WindowStatus::Panel::S1)));
    }

    // Once the retry runs, the note no longer counts down to it; a request that ends the running
    // retry takes its note away as well.
    void retryNoteWhileRetryRuns_data()
    {
        QTest::addColumn<bool>("userMovesOn");
        QTest::newRow("retry-running") << false;
        QTest::newRow("request-ends-running-retry") << true;
    }
    void retryNoteWhileRetryRuns()
    {
        QFETCH(bool, userMovesOn);
        Fixture f(kDay.addDays(1));
        f.server->setFaultForPath(kArchivePath, Fault::Stall, 2);
        f.server->setFaultForPath("/old1000/news1000_20070611", Fault::Stall);
        auto form = f.load();
        select(*form, kKey);
        int connects = 0;
        std::optional<QString> s1InRetry;
        connect(form->jfDownEX1, &mz::DownloadComponent::connecting, form.get(),
                [&] { ++connects; });
        connect(form->jfDownEX1, &mz::DownloadComponent::progress, form.get(), [&] {
            if (connects == 2 && !s1InRetry)
                s1InRetry = form->status().panel(WindowStatus::Panel::S1);
        });
        form->Command1_Click();
        QTRY_VERIFY_WITH_TIMEOUT(s1InRetry.has_value(), 15000);
        QVERIFY2(s1InRetry->startsWith(QStringLiteral("2007-6-12 ")) &&
                     s1InRetry->contains(QStringLiteral("第2次")) &&
                     !s1InRetry->contains(QStringLiteral("秒后")),
                 qPrintable(*s1InRetry));
        if (userMovesOn) {
            select(*form, QStringLiteral("k20070611"));
            form->Command1_Click();
            QCOMPARE(NavigationTree::nodeImage(form->tree().nodeByKey(QStringLiteral("k20070611"))),
                     2);
            QVERIFY2(
                !form->status().panel(WindowStatus::Panel::S1).contains(QStringLiteral("重试")),
                qPrintable(form->status().panel(WindowStatus::Panel::S1)));
        }
    }

    void closingDuringDownload()
    {
        Fixture f(kDay.addDays(1));
        f.server->setFaultForPath("/old1000/", Fault::Stall);
        QVERIFY(mz::writeFileBytes(f.file("news1000_20070612.shtml"), "<html>stored</html>"));
        auto form = f.load();
        select(*form, kKey);
        form->Command1_Click();
        QSignalSpy progress(form->jfDownEX1, &mz::DownloadComponent::progress);
        QVERIFY(progress.wait(10000));
        form.reset(); // the window goes while the transfer runs: nothing is raised, nothing lost
        QTest::qWait(50);
        QCOMPARE(f.outcomes.size(), 0);
        QCOMPARE(f.bytes("news1000_20070612.shtml"), QByteArray("<html>stored</html>"));
        QCOMPARE(QDir(f.dir.path()).entryList(QDir::Files).size(), 2); // option.ini and the page
    }

    void startUpWithStoredHotNews()
    {
        Fixture f(kDay);
        QVERIFY(mz::writeFileBytes(f.file("No20070612.shtml"), f.generator->hotNewsPage(kDay)));
        auto form = f.load(true);
        QVERIFY(form->Timer1->isActive());
        QSignalSpy connecting(form->jfDownEX1, &mz::DownloadComponent::connecting);
        QVERIFY(connecting.wait(5000)); // Timer1 fired and started the archive at once
        QCOMPARE(form->jfDownEX1->tag(), QStringLiteral("正在连接..."));
        QVERIFY(!form->Timer1->isActive());
        QVERIFY(form->lists().model1()->rowCount() > 0);
        QVERIFY(!form->ListView1->isHidden());
        QVERIFY(form->ListView2->isHidden());

        QTRY_COMPARE_WITH_TIMEOUT(f.messages.messages.size(), 1, 15000);
        QCOMPARE(f.server->requestedPaths(), QList<QByteArray>{kArchivePath});
        QVERIFY(QFile::exists(f.file("Nonews1000_20070612.shtml")));
        QVERIFY(form->lists().model2()->rowCount() > 0);
        QVERIFY(form->ListView2->isHidden()); // listed but not brought to the front
    }

    // The stored hot news of today were written days before today (the system clock ran ahead
    // then): they hold another day's news, so the start-up fetches today's.
    void startUpWithHotNewsWrittenBeforeTheirDay_data()
    {
        QTest::addColumn<QDateTime>("written");
        QTest::addColumn<QByteArray>("firstRequest");
        QTest::newRow("days-before")
            << QDateTime(kDay.addDays(-6), QTime(9, 0)) << QByteArray("/hotnews/");
        QTest::newRow("last-minute-before")
            << QDateTime(kDay.addDays(-1), QTime(23, 59)) << QByteArray("/hotnews/");
        QTest::newRow("first-minute-of-the-day") << QDateTime(kDay, QTime(0, 1)) << kArchivePath;
    }
    void startUpWithHotNewsWrittenBeforeTheirDay()
    {
        QFETCH(QDateTime, written);
        QFETCH(QByteArray, firstRequest);
        Fixture f(kDay);
        const QString stored = f.file(QStringLiteral("No20070612.shtml"));
        QVERIFY(mz::writeFileBytes(stored, f.generator->hotNewsPage(kDay.addDays(-6))));
        QFile file(stored);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(written, QFileDevice::FileModificationTime));
        file.close();
        auto form = f.load(true);
        QTRY_VERIFY_WITH_TIMEOUT(!f.server->requestedPaths().isEmpty(), 5000);
        QCOMPARE(f.server->requestedPaths().first(), firstRequest);
        if (firstRequest != kArchivePath) // today's news replace the old ones
            QTRY_COMPARE_WITH_TIMEOUT(f.bytes(QStringLiteral("No20070612.shtml")),
                                      f.generator->hotNewsPage(kDay), 10000);
    }

    void startUpWithoutStoredHotNews()
    {
        Fixture f(kDay);
        auto form = f.load(true);
        QTRY_COMPARE_WITH_TIMEOUT(f.messages.messages.size(), 2, 20000);
        QCOMPARE(f.server->requestedPaths(), (QList<QByteArray>{"/hotnews/", kArchivePath}));
        QCOMPARE(f.bytes("No20070612.shtml"), f.generator->hotNewsPage(kDay));
        QCOMPARE(f.bytes("Nonews1000_20070612.shtml"), f.generator->archivePage(kDay));
        QVERIFY(form->lists().model1()->rowCount() > 0);
        QVERIFY(form->lists().model2()->rowCount() > 0);
        QVERIFY(!form->ListView1->isHidden());
        QCOMPARE(NavigationTree::nodeImage(form->tree().nodeByKey(kKey)), 4);
        QVERIFY(isRed(form->tree().nodeByKey(kKey)));
        QVERIFY(!form->Timer4->isActive());
    }

    void startUpGoesOnWhileNotificationIsOpen()
    {
        // The hot news' "下载完成。" box is still open when Timer4 starts the archive download;
        // it runs meanwhile and announces itself in a second box.
        Fixture f(kDay);
        mz::test::ModalMessages modal;
        modal.closeWhen = [&] { return modal.messages.size() == 2; };
        f.env.messages = &modal;
        auto form = f.load(true);
        QTRY_COMPARE_WITH_TIMEOUT(modal.messages.size(), 2, 20000);
        QTRY_COMPARE_WITH_TIMEOUT(modal.depth, 0, 5000);
        QCOMPARE(modal.maxDepth, 2);
        QCOMPARE(f.server->requestedPaths(), (QList<QByteArray>{"/hotnews/", kArchivePath}));
        QCOMPARE(f.bytes("Nonews1000_20070612.shtml"), f.generator->archivePage(kDay));
        QVERIFY(form->lists().model2()->rowCount() > 0);
        QCOMPARE(f.outcomes, (QList<Outcome>{Outcome::Succeeded, Outcome::Succeeded}));
    }

    // The hot news' box closed while the archive download it led to is running: the day's node
    // goes on showing the running download (it was set to "not stored" after the box).
    void nodeShowsArchiveRunningAfterHotNewsBox()
    {
        Fixture f(kDay);
        f.server->setFaultForPath(kArchivePath, Fault::Slow);
        f.server->setSlowChunk(2000, 50);
        mz::test::ModalMessages modal;
        const Form1 *window = nullptr;
        modal.closeWhen = [&] {
            return window && window->jfDownEX1->isBusy() && window->jfDownEX1->receivedBytes() > 0;
        };
        f.env.messages = &modal;
        auto form = f.load(true);
        window = form.get();
        QTRY_COMPARE_WITH_TIMEOUT(modal.messages.size(), 1, 20000);
        QTRY_COMPARE_WITH_TIMEOUT(modal.depth, 0, 10000);
        QVERIFY(!modal.heldToLimit);
        QVERIFY(form->jfDownEX1->isBusy());
        QCOMPARE(NavigationTree::nodeImage(form->tree().nodeByKey(kKey)), 2);
        QVERIFY(isRed(form->tree().nodeByKey(kKey))); // the hot news' arrival is still marked
    }

    // A download asked for while the arrived archive is still being listed (the list lets events
    // run) is still running when the arrived one's "下载完成。" comes: a node being fetched again
    // goes on showing it, the arrived day's node alone is marked.
    void downloadAskedForWhileListing_data()
    {
        QTest::addColumn<QString>("secondKey");
        QTest::addColumn<int>("arrivedImage");
        QTest::newRow("same day") << kKey << 2;
        QTest::newRow("other day") << QStringLiteral("k20070611") << 4;
    }

    void downloadAskedForWhileListing()
    {
        QFETCH(QString, secondKey);
        QFETCH(int, arrivedImage);
        Fixture f(kDay.addDays(1));
        auto form = f.load();
        form->Timer3->setInterval(60000); // the second transfer is not ended meanwhile
        select(*form, kKey);
        bool asked = false;
        connect(form->lists().model2(), &QAbstractItemModel::rowsInserted, form.get(), [&] {
            if (std::exchange(asked, true))
                return;
            f.server->setFaultForPath("/old1000/", Fault::Stall);
            QTimer::singleShot(0, form.get(), [&] {
                select(*form, secondKey);
                form->Command1_Click();
            });
        });
        std::optional<int> imageAtNotice;
        bool busyAtNotice = false;
        connect(form->jfDownEX1, &mz::DownloadComponent::completed, form.get(), [&] {
            imageAtNotice = NavigationTree::nodeImage(form->tree().nodeByKey(kKey));
            busyAtNotice = form->jfDownEX1->isBusy();
        });
        form->Command1_Click();
        QTRY_VERIFY_WITH_TIMEOUT(imageAtNotice.has_value(), 15000);
        QVERIFY(asked);
        QCOMPARE(f.messages.messages, QList<mz::RecordedMessage>{kDone});
        QVERIFY(busyAtNotice);
        QCOMPARE(*imageAtNotice, arrivedImage);
        QCOMPARE(NavigationTree::nodeImage(form->tree().nodeByKey(secondKey)), 2);
        QVERIFY(isRed(form->tree().nodeByKey(kKey)));
    }

    void startUpHotNewsGiveUpStillFetchesArchive()
    {
        Fixture f(kDay);
        f.server->setFaultForPath("/hotnews/", Fault::NotFound);
        auto form = f.load(true);
        QTRY_COMPARE_WITH_TIMEOUT(f.messages.messages.size(), 1, 20000);
        QCOMPARE(f.server->requestedPaths(),
                 (QList<QByteArray>{"/hotnews/", "/hotnews/", "/hotnews/", kArchivePath}));
        QVERIFY(!QFile::exists(f.file("No20070612.shtml")));
        QVERIFY(QFile::exists(f.file("Nonews1000_20070612.shtml")));
    }

    // Today's hot news drip in at start-up: the deadline ends them, their reason is in s1, and
    // the archive of the day follows all the same.
    void startUpDrippingHotNewsGiveWayToArchive()
    {
        Fixture f(kDay);
        f.server->setFaultForPath("/hotnews/", Fault::Slow);
        f.server->setSlowChunk(1, 100);
        auto form = f.load(true);
        form->jfDownEX1->setDeadline(500);
        QString s1AtGiveUp;
        connect(form->jfDownEX1, &mz::DownloadComponent::transferEnded, form.get(), [&] {
            if (f.outcomes.size() == 1) { // the hot news gave up; the archive has time enough
                s1AtGiveUp = form->status().panel(WindowStatus::Panel::S1);
                form->jfDownEX1->setDeadline(60000);
            }
        });
        QTRY_COMPARE_WITH_TIMEOUT(f.messages.messages.size(), 1, 20000);
        QCOMPARE(f.outcomes, (QList<Outcome>{Outcome::DeadlineExceeded, Outcome::Succeeded}));
        QCOMPARE(f.server->requestedPaths(), (QList<QByteArray>{"/hotnews/", kArchivePath}));
        QVERIFY2(s1AtGiveUp.contains(QStringLiteral("热点新闻下载失败")) &&
                     s1AtGiveUp.endsWith(QStringLiteral("下载超时：500毫秒内没有下载完")),
                 qPrintable(s1AtGiveUp));
        QVERIFY(!QFile::exists(f.file("No20070612.shtml")));
        QCOMPARE(f.bytes("Nonews1000_20070612.shtml"), f.generator->archivePage(kDay));
    }

    // Notes while today's pages are on their way (the transfer running, or a retry waiting): the
    // tree menu's download commands are off for that day, so a note does not send the user
    // there. The start-up fetches the hot news first, with the archive to follow;
    // "下载当日所有新闻" fetches the archive alone.
    void notesWhileTheDayIsFetched_data()
    {
        QTest::addColumn<bool>("startUp");
        QTest::addColumn<Fault>("fault");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("note");
        const QString day = QStringLiteral("2007-6-12");
        const QString hot = EmptyStates::hotNewsOnTheirWay(day);
        const QString coming = EmptyStates::archiveOnItsWay(day);
        QTest::newRow("hot-news-running/hot") << true << Fault::Stall << "hot" << hot;
        QTest::newRow("hot-news-retry/hot") << true << Fault::NotFound << "hot" << hot;
        QTest::newRow("hot-news-running/search") << true << Fault::Stall << "search" << coming;
        QTest::newRow("archive-running/search") << false << Fault::Stall << "search" << coming;
        QTest::newRow("archive-retry/search") << false << Fault::NotFound << "search" << coming;
        QTest::newRow("archive-retry/category") << false << Fault::NotFound << "category" << coming;
        const QString afterArchive = EmptyStates::hotNewsAfterArchive(day);
        QTest::newRow("archive-running/hot") << false << Fault::Stall << "hot" << afterArchive;
        QTest::newRow("archive-retry/hot") << false << Fault::NotFound << "hot" << afterArchive;
        const QString pageLater = PersonalFrontPage::archiveOnItsWay(day);
        QTest::newRow("hot-news-running/front-page") << true << Fault::Stall << "page" << pageLater;
        QTest::newRow("archive-retry/front-page")
            << false << Fault::NotFound << "page" << pageLater;
    }
    void notesWhileTheDayIsFetched()
    {
        QFETCH(bool, startUp);
        QFETCH(Fault, fault);
        QFETCH(QString, command);
        QFETCH(QString, note);
        Fixture f(kDay);
        f.server->setFaultForPath(startUp ? "/hotnews/" : kArchivePath, fault);
        QVERIFY(mz::writeTextFile(mz::flashIniPath(f.dir.path()),
                                  QStringLiteral("[main]\r\ngym=2\r\n"))); // a front page's answers
        auto form = f.load(startUp);
        form->setRetryPolicy(mz::RetryPolicy(3, 60000, 60000));
        if (!startUp)
            form->s1_Click();
        if (fault == Fault::Stall)
            QTRY_VERIFY_WITH_TIMEOUT(form->jfDownEX1->receivedBytes() > 0, 10000);
        else
            QTRY_COMPARE_WITH_TIMEOUT(f.outcomes.size(), 1, 10000);
        form->updatePopStates();
        QVERIFY(!form->s1hot->isEnabled() && !form->s1->isEnabled());
        if (command == QStringLiteral("hot")) {
            form->s2hot_Click();
        } else if (command == QStringLiteral("search")) {
            form->Text2->setText(QStringLiteral("股票"));
            form->Command6_Click();
        } else if (command == QStringLiteral("category")) {
            form->listCategory(QStringLiteral("国内"));
        } else {
            form->s0_Click();
            QCOMPARE(f.messages.messages.size(), 1);
            QCOMPARE(f.messages.messages.first().text, note);
        }
        QCOMPARE(form->status().panel(WindowStatus::Panel::S1), note);
    }

    // The options dialog that the front page offers first stays open while the day's download
    // starts: the box after it already knows that the archive is on its way.
    void frontPageNoteAfterOptionsDialog()
    {
        Fixture f(kDay);
        f.server->setFaultForPath(kArchivePath, Fault::Stall);
        Form1 *window = nullptr;
        f.env.showModal = [&window](QDialog &dialog) {
            auto *options = qobject_cast<Form5 *>(&dialog);
            QVERIFY(options);
            window->s1_Click();
            mz::FlashAnswers answers;
            answers[mz::FlashGroup::Gym] = 2;
            options->showAnswers(answers);
            options->Command1->click();
        };
        auto form = f.load();
        window = form.get();
        form->s0_Click();
        QCOMPARE(f.messages.messages.size(), 2); // no answers yet; then the note on the archive
        QCOMPARE(f.messages.messages.last().text,
                 PersonalFrontPage::archiveOnItsWay(QStringLiteral("2007-6-12")));
    }

    void toolbarTodayWhileOldDaySelected()
    {
        const QDate today = kDay.addDays(1);
        Fixture f(today);
        QVERIFY(mz::writeFileBytes(f.file("No20070613.shtml"), f.generator->hotNewsPage(today)));
        QVERIFY(mz::writeFileBytes(f.file("20070612.shtml"), f.generator->hotNewsPage(kDay)));
        auto form = f.load();
        select(*form, kKey);
        QAction *hot = nullptr;
        for (QAction *a : form->Toolbar1->actions()) {
            if (a->data().toString() == QStringLiteral("button0"))
                hot = a;
        }
        QVERIFY(hot);
        form->Toolbar1_ButtonClick(hot);
        QCOMPARE(form->lists().model1()->rows(), mz::parseHotPage(f.generator->hotNewsPage(today)));
        QVERIFY(!form->ListView1->isHidden());

        form->s2hot_Click(); // the plain command uses the selected node again
        QCOMPARE(form->lists().model1()->rows(), mz::parseHotPage(f.generator->hotNewsPage(kDay)));
        QCOMPARE(f.server->requestCount(), 0);

        // With no day selected (the menu keeps its last states on the root 收藏夹) the commands
        // that show a day's lists leave the lists as they are.
        QVERIFY(
            mz::writeFileBytes(f.file("news1000_20070612.shtml"), f.generator->archivePage(kDay)));
        form->list(f.file("news1000_20070612.shtml"));
        const mz::HeadlineRows hotRows = form->lists().model1()->rows();
        const mz::HeadlineRows archiveRows = form->lists().model2()->rows();
        QVERIFY(!hotRows.isEmpty() && !archiveRows.isEmpty());
        select(*form, QStringLiteral("k4"));
        const QString s1 = form->status().panel(WindowStatus::Panel::S1);
        form->s2hot_Click();
        form->Command2_Click();
        QCOMPARE(form->lists().model1()->rows(), hotRows);
        QCOMPARE(form->lists().model2()->rows(), archiveRows);
        QCOMPARE(form->status().panel(WindowStatus::Panel::S1), s1);
    }

    // The window stays open past midnight: the pages of the day that closed, fetched while it was
    // open, keep their provisional names and still show; a final copy, once fetched, wins. The
    // other way round, a day fetched as closed shows its final copy when the clock is set back
    // into that day.
    void pagesOfTheDayThatClosed_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("finalCopy");
        QTest::addColumn<bool>("clockSetBack");
        for (const char *command : {"button0", "s2hot", "Command2"}) {
            QTest::newRow(command) << QString::fromLatin1(command) << false << false;
            QTest::addRow("%s-final-copy", command)
                << QString::fromLatin1(command) << true << false;
        }
        for (const char *command : {"s2hot", "Command2"})
            QTest::addRow("%s-clock-set-back", command)
                << QString::fromLatin1(command) << true << true;
    }
    void pagesOfTheDayThatClosed()
    {
        QFETCH(QString, command);
        QFETCH(bool, finalCopy);
        QFETCH(bool, clockSetBack);
        Fixture f(clockSetBack ? kDay.addDays(1) : kDay);
        const bool hot = command != u"Command2";
        const QString name =
            (hot ? QString() : QStringLiteral("news1000_")) + QStringLiteral("20070612.shtml");
        const auto page = [&](QDate d) {
            return hot ? f.generator->hotNewsPage(d) : f.generator->archivePage(d);
        };
        if (!clockSetBack)
            QVERIFY(mz::writeFileBytes(f.file(QStringLiteral("No") + name), page(kDay)));
        const QDate shownDay = finalCopy ? kDay.addDays(-1) : kDay; // tells the copies apart
        if (finalCopy)
            QVERIFY(mz::writeFileBytes(f.file(name), page(shownDay)));
        auto form = f.load();
        select(*form, kKey);
        f.clock.setToday(clockSetBack ? kDay : kDay.addDays(1));
        if (command == u"button0") {
            for (QAction *button : form->Toolbar1->actions()) {
                if (button->data().toString() == command)
                    form->Toolbar1_ButtonClick(button);
            }
        } else {
            hot ? form->s2hot_Click() : form->Command2_Click();
        }
        const mz::HeadlineRows rows =
            (hot ? form->lists().model1() : form->lists().model2())->rows();
        QCOMPARE(rows, hot ? mz::parseHotPage(page(shownDay))
                           : mz::parseArchivePage(page(shownDay), f.env.portalBase).rows);
        QVERIFY(!rows.isEmpty());
        QCOMPARE(f.server->requestCount(), 0);
    }
};

QTEST_MAIN(TestForm1Fetch)
#include "tst_form1fetch.moc"
