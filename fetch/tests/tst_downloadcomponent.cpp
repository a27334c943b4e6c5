// The download component against a local test server: what it stores, which events it raises in
// which order, and that nothing but a complete 2xx body ever replaces the target file.

#include "fetch/completeness.h"
#include "fetch/downloadcomponent.h"
#include "platform/textfile.h"
#include "portal/httpserver.h"
#include "testsupport/rawhttpserver.h"

#include <QDir>
#include <QElapsedTimer>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QEventLoop>
#include <QTimer>
#include <QTest>
#include <QScopeGuard>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using mz::DownloadComponent;
using mz::HttpServer;
using mz::test::RawAnswer;
using mz::test::rawHttp;
using Outcome = mz::DownloadComponent::Outcome;

Q_DECLARE_METATYPE(HttpServer::Fault)
Q_DECLARE_METATYPE(mz::DownloadComponent::Outcome)

namespace {

QByteArray page(int size)
{
    QByteArray body = "<html><body>";
    while (body.size() < size - 14)
        body += "<li>[x]<a href=/n>headline</a>\n";
    return body + "</body></html>";
}

// Records the events of one component in order: "connecting", "connected", "progress",
// "error:<code>", "ended", "completed".
struct EventLog
{
    explicit EventLog(DownloadComponent *c)
    {
        QObject::connect(c, &DownloadComponent::connecting, [this] { events << "connecting"; });
        QObject::connect(c, &DownloadComponent::connected, [this] { events << "connected"; });
        QObject::connect(c, &DownloadComponent::progress, [this, c] {
            events << "progress";
            progressBytes << c->receivedBytes();
            progressTimes << clock.elapsed();
        });
        QObject::connect(c, &DownloadComponent::error, [this](const QString &, int code) {
            events << QStringLiteral("error:%1").arg(code);
        });
        QObject::connect(c, &DownloadComponent::transferEnded, [this] { events << "ended"; });
        QObject::connect(c, &DownloadComponent::completed, [this] { events << "completed"; });
        clock.start();
    }
    int count(const QString &name) const { return int(events.count(name)); }
    QStringList withoutProgress() const
    {
        QStringList l = events;
        l.removeAll(QStringLiteral("progress"));
        return l;
    }
    QStringList events;
    QList<qint64> progressBytes;
    QList<qint64> progressTimes;
    QElapsedTimer clock;
};

// `body` as one stored (uncompressed) deflate block: the page's bytes, "</html>" included, stay
// readable in the coded body.
QByteArray storedDeflateBlock(const QByteArray &body)
{
    const quint16 n = quint16(body.size());
    return QByteArray{"\x01"} + char(n & 0xff) + char(n >> 8) + char(~n & 0xff) +
           char((~n >> 8) & 0xff) + body;
}

QByteArray bytes32(quint32 v, bool bigEndian)
{
    QByteArray out(4, '\0');
    for (int i = 0; i < 4; ++i)
        out[bigEndian ? 3 - i : i] = char(v >> (8 * i));
    return out;
}

// `body` with Content-Encoding `coding` ("gzip" or "deflate", the latter in zlib framing).
QByteArray encoded(const QByteArray &coding, const QByteArray &body)
{
    if (coding == "deflate") {
        quint32 a = 1, b = 0;
        for (uchar c : body) {
            a = (a + c) % 65521;
            b = (b + a) % 65521;
        }
        return "\x78\x01" + storedDeflateBlock(body) + bytes32((b << 16) | a, true);
    }
    quint32 crc = 0xFFFFFFFF;
    for (uchar c : body) {
        crc ^= c;
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320 & (0 - (crc & 1)));
    }
    return QByteArray::fromHex("1f8b0800000000000003") + storedDeflateBlock(body) +
           bytes32(~crc, false) + bytes32(quint32(body.size()), false);
}

} // namespace

class TestDownloadComponent : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir *m_dir = nullptr;
    HttpServer *m_server = nullptr;
    QByteArray m_page = page(40000);

    QString path(const QString &name) const { return m_dir->filePath(name); }
    QStringList folderEntries() const
    {
        return QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }

private Q_SLOTS:
    void init()
    {
        m_dir = new QTemporaryDir;
        QVERIFY(m_dir->isValid());
        m_server = new HttpServer([this](const QByteArray &, const QByteArray &p) {
            mz::HttpResponse r;
            if (p == "/missing") {
                r.status = 404;
                r.body = "<html>gone</html>";
            } else if (p.startsWith("/moved/")) { // 301 with a body of its own, or 302 empty
                r.status = p.endsWith("empty") ? 302 : 301;
                r.body = r.status == 301 ? QByteArray("<html>moved to the page</html>") : "";
                r.location = "/old1000/news.shtml";
            } else {
                r.body = m_page;
                if (p == "/unasked-206")
                    r.status = 206; // a part nobody asked for, without Content-Range
            }
            return r;
        });
        QVERIFY(m_server->listen(0));
    }
    void cleanup()
    {
        delete m_server;
        delete m_dir;
    }

    void deliversPageWithEventsInOrder()
    {
        DownloadComponent c;
        EventLog log(&c);
        QSignalSpy ended(&c, &DownloadComponent::transferEnded);
        const QString target = path(QStringLiteral("news.shtml"));
        c.setReferer(m_server->baseUrl() + QLatin1Char('/'));
        c.start(m_server->url("/old1000/news.shtml"), target, 0, true);
        QVERIFY(c.isBusy());
        QVERIFY(ended.wait(10000));

        QCOMPARE(mz::readFileBytes(target).value_or(QByteArray()), m_page);
        QCOMPARE(c.receivedBytes(), qint64(m_page.size()));
        QCOMPARE(c.lastOutcome(), Outcome::Succeeded);
        QCOMPARE(c.lastHttpStatus(), 200);
        QVERIFY(!c.isBusy());
        QCOMPARE(log.withoutProgress(),
                 (QStringList{"connecting", "connected", "ended", "completed"}));
        QCOMPARE(log.events.first(), QStringLiteral("connecting"));
        QVERIFY(log.count("progress") >= 1);
        QCOMPARE(log.progressBytes.last(), qint64(m_page.size())); // the last count is the total
        QCOMPARE(folderEntries(), QStringList{"news.shtml"});      // no temporary file left

        QCOMPARE(m_server->lastRequestHeader("User-Agent"),
                 QByteArray("Mozilla/4.0 (compatible; MSIE 5.00; Windows 98)"));
        QCOMPARE(m_server->lastRequestHeader("Accept"), QByteArray("*/*"));
        QCOMPARE(m_server->lastRequestHeader("Referer"), (m_server->baseUrl() + "/").toUtf8());
    }

    // A page behind a redirection arrives as the page: the redirection's own head (its length)
    // decides nothing.
    void followsRedirection_data()
    {
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<bool>("keepPartial"); // as the archive downloads run
        QTest::newRow("301-with-body") << QByteArray("/moved/body") << false;
        QTest::newRow("302-empty") << QByteArray("/moved/empty") << false;
        QTest::newRow("301-kept-partial") << QByteArray("/moved/body") << true;
    }
    void followsRedirection()
    {
        QFETCH(QByteArray, path);
        QFETCH(bool, keepPartial);
        DownloadComponent c;
        c.setKeepPartial(keepPartial);
        c.setRequirePageEnd(keepPartial);
        QSignalSpy ended(&c, &DownloadComponent::transferEnded);
        const QString target = this->path(QStringLiteral("news.shtml"));
        c.start(m_server->url(path), target, 0, true);
        QVERIFY(ended.wait(10000));
        QCOMPARE(c.lastOutcome(), Outcome::Succeeded);
        QCOMPARE(c.lastHttpStatus(), 200);
        QCOMPARE(mz::readFileBytes(target).value_or(QByteArray()), m_page);
        QCOMPARE(m_server->requestedPaths(), (QList<QByteArray>{path, "/old1000/news.shtml"}));
    }

    void refererDefaultsToTheAddress()
    {
        DownloadComponent c;
        QSignalSpy ended(&c, &DownloadComponent::transferEnded);
        c.start(m_server->url("/a.shtml"), path(QStringLiteral("a")));
        QVERIFY(ended.wait(10000));
        QCOMPARE(m_server->lastRequestHeader("Referer"), m_server->url("/a.shtml").toUtf8());

        c.setUseReferer(false);
        c.start(m_server->url("/b.shtml"), path(QStringLiteral("b")));
        QVERIFY(ended.wait(10000));
        QCOMPARE(m_server->lastRequestHeader("Referer"), QByteArray());
    }

    // A page may break an article's address inside its href: the request (and the Referer) goes
    // to the address a browser reads, without the tabs and line breaks. "%1" is the server's port.
    void addressIsReadAsABrowserReadsIt_data()
    {
        QTest::addColumn<QString>("inPage");
        QTest::addColumn<QByteArray>("requested");
        QTest::newRow("cr-lf-in-path")
            << QStringLiteral("http://127.0.0.1:%1/news/\r\n2007/a.shtml")
            << QByteArray("/news/2007/a.shtml");
        QTest::newRow("tab-and-lf") << QStringLiteral("http://127.0.0.1:%1/news\t\n/a.shtml")
                                    << QByteArray("/news/a.shtml");
        QTest::newRow("break-in-port")
            << QStringLiteral("http://127.0.0.1:\n%1/a.shtml") << QByteArray("/a.shtml");
    }
    void addressIsReadAsABrowserReadsIt()
    {
        QFETCH(QString, inPage);
        QFETCH(QByteArray, requested);
        DownloadComponent c;
        QSignalSpy ended(&c, &DownloadComponent::transferEnded);
        const QString target = path(QStringLiteral("a.shtml"));
        c.start(inPage.arg(QUrl(m_server->baseUrl()).port()), target, 0, true);
        QVERIFY(ended.wait(10000));
        QCOMPARE(c.lastOutcome(), Outcome::Succeeded);
        QCOMPARE(m_server->requestedPaths(), QList<QByteArray>{requested});
        QCOMPARE(m_server->lastRequestHeader("Referer"), m_server->url(requested).toUtf8());
        QCOMPARE(mz::readFileBytes(target).value_or(QByteArray()), m_page);
    }

    void failureKeepsStoredFile_data()
    {
        QTest::addColumn<HttpServer::Fault>("fault");
        QTest::addColumn<QString>("requestPath");
        QTest::addColumn<bool>("rejectBody");
        QTest::addColumn<Outcome>("outcome");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text"); // how the error event begins, in the window's language
        using F = HttpServer::Fault;
        const QString http = QStringLiteral("服务器回答 HTTP ");
        const QString closed = QStringLiteral("服务器中途断开了连接");
        QTest::newRow("not-found-fault")
            << F::NotFound << "/p" << false << Outcome::HttpError << 404 << http + "404";
        QTest::newRow("not-found-page-with-html-end")
            << F::None << "/missing" << false << Outcome::HttpError << 404 << http + "404";
        QTest::newRow("server-error")
            << F::ServerError << "/p" << false << Outcome::HttpError << 500 << http + "500";
        QTest::newRow("truncated-body") << F::Truncate << "/p" << false << Outcome::NetworkError
                                        << int(QNetworkReply::RemoteHostClosedError) << closed;
        QTest::newRow("closed-without-answer")
            << F::CloseWithoutResponse << "/p" << false << Outcome::NetworkError
            << int(QNetworkReply::RemoteHostClosedError) << closed;
        QTest::newRow("part-instead-of-page")
            << F::None << "/unasked-206" << false << Outcome::Incomplete
            << int(DownloadComponent::BadRangeCode) << QString();
        QTest::newRow("body-refused-by-check")
            << F::None << "/p" << true << Outcome::Incomplete
            << int(DownloadComponent::RejectedBodyCode) << QStringLiteral("页面不完整");
    }
    void failureKeepsStoredFile()
    {
        QFETCH(HttpServer::Fault, fault);
        QFETCH(QString, requestPath);
        QFETCH(bool, rejectBody);
        QFETCH(Outcome, outcome);
        QFETCH(int, code);
        QFETCH(QString, text);

        const QString target = path(QStringLiteral("stored.shtml"));
        QVERIFY(mz::writeFileBytes(target, "OLD COPY</html>"));
        if (fault != HttpServer::Fault::None)
            m_server->setFault(fault); // every request: the network layer may try once more
        DownloadComponent c;
        if (rejectBody)
            c.setBodyCheck([](QByteArrayView) { return false; });
        EventLog log(&c);
        QSignalSpy ended(&c, &DownloadComponent::transferEnded);
        c.start(m_server->baseUrl() + requestPath, target);
        QVERIFY(ended.wait(10000));

        QCOMPARE(c.lastOutcome(), outcome);
        QCOMPARE(log.withoutProgress(),
                 (QStringList{"connecting", "connected", QStringLiteral("error:%1").arg(code),
                              "ended"}));
        QVERIFY2(!c.lastErrorText().isEmpty() && c.lastErrorText().startsWith(text),
                 qPrintable(c.lastErrorText()));
        QCOMPARE(mz::readFileBytes(target).value_or(QByteArray()), QByteArray("OLD COPY</html>"));
        QCOMPARE(folderEntries(), QStringList{"stored.shtml"});
    }

    // A stored page that is a link to the user's copy elsewhere (another disk) stays a link: the
    // page arrives in the file it names, as the settings files are rewritten.
    void storedPageThatIsALinkStaysALink_data()
    {
        QTest::addColumn<QString>("linkTo"); // under the outside folder
        QTest::addColumn<bool>("succeeds");
        QTest::newRow("link-to-a-file") << QStringLiteral("mine.shtml") << true;
        QTest::newRow("link-to-a-link") << QStringLiteral("again.shtml") << true;
        // The folder it names is not there (a disk not mounted): nothing is stored in its place.
        QTest::newRow("link-into-a-missing-folder") << QStringLiteral("gone/x.shtml") << false;
        // A FIFO (as a device would be) is not replaced by the page, nor is a file made beside it.
        QTest::newRow("link-to-a-fifo") << QStringLiteral("pipe") << false;
    }
    void storedPageThatIsALinkStaysALink()
    {
        QFETCH(QString, linkTo);
        QFETCH(bool, succeeds);
        QTemporaryDir outside;
        const QString mine = outside.filePath(QStringLiteral("mine.shtml"));
        QVERIFY(mz::writeFileBytes(mine, "OLD COPY</html>"));
        // Shared with the household: the page that replaces it is readable by them as well.
        const auto shared = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser |
                            QFile::WriteUser | QFile::ReadGroup | QFile::ReadOther;
        QVERIFY(QFile::setPermissions(mine, shared));
        QVERIFY(QFile::link(mine, outside.filePath(QStringLiteral("again.shtml"))));
        const QByteArray pipe = QFile::encodeName(outside.filePath(QStringLiteral("pipe")));
        QCOMPARE(::mkfifo(pipe.constData(), 0600), 0);
        const QString target = path(QStringLiteral("stored.shtml"));
        QVERIFY(QFile::link(outside.filePath(linkTo), target));
        DownloadComponent c;
        QSignalSpy ended(&c, &DownloadComponent::transferEnded);
        c.start(m_server->url("/stored.shtml"), target);
        QVERIFY(ended.wait(10000));

        QCOMPARE(c.lastOutcome(), succeeds ? Outcome::Succeeded : Outcome::FileError);
        QCOMPARE(QFileInfo(target).symLinkTarget(), outside.filePath(linkTo));
        QCOMPARE(mz::readFileBytes(mine).value_or(QByteArray()),
                 succeeds ? m_page : QByteArray("OLD COPY</html>"));
        QCOMPARE(QFileInfo(mine).permissions(), shared);
        QCOMPARE(QDir(outside.path()).entryList(QDir::Files | QDir::System, QDir::Name),
                 (QStringList{"again.shtml", "mine.shtml", "pipe"})); // no temporary file left
        struct stat st = {};
        QCOMPARE(::stat(pipe.constData(), &st), 0);
        QVERIFY(S_ISFIFO(st.st_mode)); // still the FIFO
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::System | QDir::Hidden),
                 QStringList{"stored.shtml"}); // a link into nowhere is a system entry
    }

#ifdef Q_OS_UNIX
    // A page stored for the first time is readable as any new file of the user's (their umask),
    // not private like the temporary file it was written to.
    void newPageTakesTheUsualPermissions_data()
    {
        QTest::addColumn<int>("mask");
        QTest::newRow("022") << 022;
        QTest::newRow("002") << 002;
        QTest::newRow("077") << 077;
    }
    void newPageTakesTheUsualPermissions()
    {
        QFETCH(int, mask);
        const mode_t before = ::umask(mode_t(mask));
        const auto restore = qScopeGuard([before] { ::umask(before); });
        const QString target = path(QStringLiteral("new.shtml"));
        DownloadComponent c;
        QSignalSpy ended(&c, &DownloadComponent::transferEnded);
        c.start(m_server->url("/new.shtml"), target);
        QVERIFY(ended.wait(10000));
        QCOMPARE(c.lastOutcome(), Outcome::Succeeded);
        struct stat st = {};
        QCOMPARE(::stat(QFile::encodeName(target).constData(), &st), 0);
        QCOMPARE(int(st.st_mode & 0777), 0666 & ~mask);
    }
#endif

    void refusedConnection()
    {
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost, 0));
        const quint16 port = closed.serverPort();
        closed.close();

        DownloadComponent c;
        EventLog log(&c);
        QSignalSpy ended(&c, &DownloadComponent::transferEnded);
        const QString target = path(QStringLiteral("x.shtml"));
        c.start(QStringLiteral("http://127.0.0.1:%1/x.shtml").arg(port), target);
        QVERIFY(ended.wait(10000));
        QCOMPARE(c.lastOutcome(), Outcome::NetworkError);
        QCOMPARE(
            log.withoutProgress(),
            (QStringList{"connecting",
                         QStringLiteral("error:%1").arg(int(QNetworkReply::ConnectionRefusedError)),
                         "ended"}));
        QCOMPARE(c.lastErrorText(), QStringLiteral("服务器拒绝连接"));
        QVERIFY(!QFile::exists(target));
        QVERIFY(folderEntries().isEmpty());
    }

    void timeOutEndsStalledTransfer()
    {
        m_server->setFault(HttpServer::Fault::Stall, 1);
        DownloadComponent c;
        c.setTimeOut(300);
        EventLog log(&c);
        QSignalSpy ended(&c, &DownloadComponent::transferEnded);
        const QString target = path(QStringLiteral("t.shtml"));
        c.start(m_server->url("/t.shtml"), target);
        QVERIFY(ended.wait(10000));
        QCOMPARE(c.lastOutcome(), Outcome::TimedOut);
        QCOMPARE(log.withoutProgress(),
                 (QStringList{"connecting", "connected",
                              QStringLiteral("error:%1").arg(int(DownloadComponent::TimeOutCode)),
                              "ended"}));
        QCOMPARE(c.receivedBytes(), qint64(m_page.size() / 2)); // the half that arrived
        QVERIFY(!QFile::exists(target));
        QVERIFY(folderEntries().isEmpty());
    }

    void stopEndsTransferBeforeReturning()
    {
        DownloadComponent idle;
        EventLog idleLog(&idle);
        idle.stop(); // harmless when nothing runs
        QVERIFY(idleLog.events.isEmpty());

        m_server->setFault(HttpServer::Fault::Stall, 1);
        const QString target = path(QStringLiteral("s.shtml"));
        QVERIFY(mz::writeFileBytes(target, "KEEP"));
        DownloadComponent c;
        EventLog log(&c);
        QSignalSpy progress(&c, &DownloadComponent::progress);
        c.start(m_server->url("/s.shtml"), target);
        QVERIFY(progress.wait(10000));
        c.stop();
        QCOMPARE(log.events.last(), QStringLiteral("ended")); // raised inside stop()
        QCOMPARE(c.lastOutcome(), Outcome::Stopped);
        QVERIFY(!c.isBusy());
        c.stop();
        QTest::qWait(50);
        QCOMPARE(log.count("ended"), 1);
        QCOMPARE(log.count("completed"), 0);
        QVERIFY(!log.events.join(',').contains("error")); // a stop is not an error
        QCOMPARE(mz::readFileBytes(target).value_or(QByteArray()), QByteArray("KEEP"));
        QCOMPARE(folderEntries(), QStringList{"s.shtml"});
    }

    void startWhileRunningEndsTheRunningTransferFirst()
    {
        m_server->setFaultForPath("/stall", HttpServer::Fault::Stall, 1);
        DownloadComponent c;
        EventLog log(&c);
        QSignalSpy progress(&c, &DownloadComponent::progress);
        QSignalSpy completed(&c, &DownloadComponent::completed);
        const QString first = path(QStringLiteral("first")),
                      second = path(QStringLiteral("second"));
        c.start(m_server->url("/stall"), first);
        QVERIFY(progress.wait(10000));
        log.events.clear();
        c.start(m_server->url("/page"), second);
        QCOMPARE(log.events.first(), QStringLiteral("ended")); // the running one ended first
        QVERIFY(completed.wait(10000));
        QCOMPARE(log.withoutProgress(),
                 (QStringList{"ended", "connecting", "connected", "ended", "completed"}));
        QVERIFY(!QFile::exists(first));
        QCOMPARE(mz::readFileBytes(second).value_or(QByteArray()), m_page);
        QCOMPARE(m_server->requestCount(), 2);
    }

    void startFromTransferEndedBeginsAtOnce()
    {
        DownloadComponent c;
        EventLog log(&c);
        bool busyInHandler = false;
        int starts = 0;
        connect(&c, &DownloadComponent::transferEnded, this, [&] {
            if (starts++ == 0) {
                c.start(m_server->url("/again"), path(QStringLiteral("again")));
                busyInHandler = c.isBusy();
            }
        });
        QSignalSpy completed(&c, &DownloadComponent::completed);
        c.start(m_server->url("/once"), path(QStringLiteral("once")));
        QTRY_COMPARE_WITH_TIMEOUT(completed.count(), 2, 10000);
        QVERIFY(busyInHandler);
        // The first transfer's completed still follows its transfer ended.
        QCOMPARE(log.withoutProgress(),
                 (QStringList{"connecting", "connected", "ended", "connecting", "completed",
                              "connected", "ended", "completed"}));
        QCOMPARE(m_server->requestCount(), 2);
        QVERIFY(QFile::exists(path(QStringLiteral("again"))));
    }

    void transferRunsWhileCompletedHandlerWaits()
    {
        // A handler that shows a modal box runs a nested event loop: a transfer started there
        // (by a timer, say) must run to its end meanwhile.
        DownloadComponent c;
        EventLog log(&c);
        int completedCalls = 0;
        bool secondEndedInside = false;
        connect(&c, &DownloadComponent::completed, this, [&] {
            if (completedCalls++ > 0)
                return;
            QEventLoop box;
            connect(&c, &DownloadComponent::transferEnded, &box, &QEventLoop::quit);
            QTimer::singleShot(
                0, &c, [&] { c.start(m_server->url("/second"), path(QStringLiteral("second"))); });
            QTimer::singleShot(10000, &box, &QEventLoop::quit);
            box.exec();
            secondEndedInside = !c.isBusy() && c.lastOutcome() == Outcome::Succeeded;
        });
        QSignalSpy ended(&c, &DownloadComponent::transferEnded);
        c.start(m_server->url("/first"), path(QStringLiteral("first")));
        QTRY_COMPARE_WITH_TIMEOUT(completedCalls, 2, 15000);
        QVERIFY(secondEndedInside);
        QCOMPARE(ended.count(), 2);
        QVERIFY(QFile::exists(path(QStringLiteral("second"))));
    }

    void startFromErrorHandlerWaitsForTransferEnded()
    {
        DownloadComponent c;
        EventLog log(&c);
        connect(&c, &DownloadComponent::error, this,
                [&] { c.start(m_server->url("/ok"), path(QStringLiteral("ok"))); });
        QSignalSpy completed(&c, &DownloadComponent::completed);
        c.start(m_server->url("/missing"), path(QStringLiteral("missing")));
        QVERIFY(completed.wait(10000));
        QCOMPARE(log.withoutProgress(),
                 (QStringList{"connecting", "connected", "error:404", "ended", "connecting",
                              "connected", "ended", "completed"}));
    }

    void stopInsideErrorHandlerCancelsAWaitingStart()
    {
        DownloadComponent c;
        EventLog log(&c);
        connect(&c, &DownloadComponent::error, this, [&] {
            c.start(m_server->url("/never"), path(QStringLiteral("never")));
            c.stop();
        });
        QSignalSpy ended(&c, &DownloadComponent::transferEnded);
        c.start(m_server->url("/missing"), path(QStringLiteral("missing")));
        QVERIFY(ended.wait(10000));
        QTest::qWait(100);
        QVERIFY(!c.isBusy());
        QCOMPARE(log.count("connecting"), 1);
        QCOMPARE(m_server->requestCount(), 1);
    }

    void restartFromHandlerOfASupersededTransfer()
    {
        // start() ends the running transfer; a handler that restarts on every end does not make
        // it loop: the latest request runs, once.
        m_server->setFaultForPath("/stall", HttpServer::Fault::Stall, 1);
        DownloadComponent c;
        EventLog log(&c);
        int handlerStarts = 0;
        connect(&c, &DownloadComponent::transferEnded, this, [&] {
            if (c.lastOutcome() == Outcome::Stopped) {
                ++handlerStarts;
                c.start(m_server->url("/from-handler"), path(QStringLiteral("h")));
            }
        });
        QSignalSpy progress(&c, &DownloadComponent::progress);
        QSignalSpy completed(&c, &DownloadComponent::completed);
        c.start(m_server->url("/stall"), path(QStringLiteral("s")));
        QVERIFY(progress.wait(10000));
        c.start(m_server->url("/caller"), path(QStringLiteral("c")));
        QVERIFY(completed.wait(10000));
        QTest::qWait(100);
        QCOMPARE(handlerStarts, 1);
        QCOMPARE(m_server->requestedPaths(), (QList<QByteArray>{"/stall", "/from-handler"}));
        QCOMPARE(log.count("ended"), 2);
    }

    void progressIsThrottled()
    {
        m_server->setFault(HttpServer::Fault::Slow, 1);
        m_server->setSlowChunk(400, 5);
        DownloadComponent c;
        c.setProgressInterval(100);
        EventLog log(&c);
        QSignalSpy ended(&c, &DownloadComponent::transferEnded);
        c.start(m_server->url("/slow"), path(QStringLiteral("slow")));
        QVERIFY(ended.wait(20000));
        QCOMPARE(c.lastOutcome(), Outcome::Succeeded);
        // About a hundred chunks arrived; progress came at most once per interval (the last one
        // may follow sooner: it reports the final count when the transfer ends).
        const auto &t = log.progressTimes;
        QVERIFY2(t.size() >= 2, qPrintable(QString::number(t.size())));
        for (int i = 1; i + 1 < t.size(); ++i)
            QVERIFY2(t[i] - t[i - 1] >= 90,
                     qPrintable(QStringLiteral("gap %1 ms").arg(t[i] - t[i - 1])));
        QCOMPARE(log.progressBytes.last(), qint64(m_page.size()));
        for (int i = 1; i < log.progressBytes.size(); ++i)
            QVERIFY(log.progressBytes[i] > log.progressBytes[i - 1]);
    }

    void problemsBeforeSendingAreReportedLater_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("overwrite");
        QTest::addColumn<int>("code");
        QTest::newRow("existing-target-without-overwrite")
            << "/p"
            << "exists.shtml" << false << int(DownloadComponent::TargetExistsCode);
        QTest::newRow("folder-missing")
            << "/p"
            << "no/such/folder/x.shtml" << true << int(DownloadComponent::FileErrorCode);
        QTest::newRow("not-http") << "file:///etc/passwd"
                                  << "x.shtml" << true << int(QNetworkReply::ProtocolUnknownError);
    }
    void problemsBeforeSendingAreReportedLater()
    {
        QFETCH(QString, url);
        QFETCH(QString, target);
        QFETCH(bool, overwrite);
        QFETCH(int, code);
        QVERIFY(mz::writeFileBytes(path(QStringLiteral("exists.shtml")), "MINE"));
        DownloadComponent c;
        EventLog log(&c);
        QSignalSpy ended(&c, &DownloadComponent::transferEnded);
        c.start(url.startsWith('/') ? m_server->baseUrl() + url : url, path(target), 0, overwrite);
        QVERIFY(log.events.isEmpty()); // nothing is raised inside start()
        QVERIFY(c.isBusy());
        QVERIFY(ended.wait(5000));
        QCOMPARE(log.events, (QStringList{QStringLiteral("error:%1").arg(code), "ended"}));
        QCOMPARE(m_server->requestCount(), 0);
        QCOMPARE(mz::readFileBytes(path(QStringLiteral("exists.shtml"))).value_or(QByteArray()),
                 QByteArray("MINE"));
    }

    void destroyingDuringTransferIsSilent()
    {
        m_server->setFault(HttpServer::Fault::Stall, 1);
        auto *c = new DownloadComponent;
        EventLog log(c);
        QSignalSpy progress(c, &DownloadComponent::progress);
        c->start(m_server->url("/d"), path(QStringLiteral("d.shtml")));
        QVERIFY(progress.wait(10000));
        delete c;
        QCOMPARE(log.count("ended"), 0);
        QVERIFY(folderEntries().isEmpty());
    }

    void completenessCheckGuardsTheTarget()
    {
        // The page check of the window's component: a 2xx page without its end stays out.
        m_page = "<html><body>cut off";
        const QString target = path(QStringLiteral("c.shtml"));
        QVERIFY(mz::writeFileBytes(target, "<html>old</html>"));
        DownloadComponent c;
        c.setBodyCheck([](QByteArrayView body) { return mz::isCompletePage(body); });
        QSignalSpy ended(&c, &DownloadComponent::transferEnded);
        c.start(m_server->url("/c"), target);
        QVERIFY(ended.wait(10000));
        QCOMPARE(c.lastOutcome(), Outcome::Incomplete);
        QCOMPARE(mz::readFileBytes(target).value_or(QByteArray()), QByteArray("<html>old</html>"));

        m_page = "<HTML>new</HTML>";
        c.start(m_server->url("/c"), target);
        QVERIFY(ended.wait(10000));
        QCOMPARE(c.lastOutcome(), Outcome::Succeeded);
        QCOMPARE(mz::readFileBytes(target).value_or(QByteArray()), QByteArray("<HTML>new</HTML>"));
        m_page = page(40000);
    }

    void limitsEndTheTransfer_data()
    {
        QTest::addColumn<HttpServer::Fault>("fault");
        QTest::addColumn<int>("chunk"); // bytes per pause of Slow and Endless
        QTest::addColumn<qint64>("maxBytes");
        QTest::addColumn<int>("deadline");
        QTest::addColumn<Outcome>("outcome");
        QTest::addColumn<QString>("text");
        using F = HttpServer::Fault;
        QTest::newRow("announced-length-over-cap")
            << F::None << 0 << qint64(10000) << 0 << Outcome::TooLarge << "页面过大";
        QTest::newRow("endless-body-over-cap")
            << F::Endless << 8192 << qint64(100000) << 0 << Outcome::TooLarge << "页面过大";
        QTest::newRow("endless-past-deadline")
            << F::Endless << 64 << qint64(0) << 300 << Outcome::DeadlineExceeded << "下载超时";
    }
    void limitsEndTheTransfer()
    {
        QFETCH(HttpServer::Fault, fault);
        QFETCH(int, chunk);
        QFETCH(qint64, maxBytes);
        QFETCH(int, deadline);
        QFETCH(Outcome, outcome);
        QFETCH(QString, text);

        const QString target = path(QStringLiteral("big.shtml"));
        QVERIFY(mz::writeFileBytes(target, "OLD COPY</html>"));
        m_server->setFault(fault, 1);
        m_server->setSlowChunk(qMax(1, chunk), 10);
        DownloadComponent c;
        c.setMaxBytes(maxBytes);
        c.setDeadline(deadline);
        c.setKeepPartial(true); // too large, or endless (no validator): not kept for a resume
        EventLog log(&c);
        QSignalSpy ended(&c, &DownloadComponent::transferEnded);
        const QString url = m_server->url("/big.shtml");
        c.start(url, target);
        QVERIFY(ended.wait(10000));

        QCOMPARE(c.lastOutcome(), outcome);
        const int code = outcome == Outcome::TooLarge ? int(DownloadComponent::TooLargeCode)
                                                      : int(DownloadComponent::DeadlineCode);
        QCOMPARE(log.withoutProgress().mid(1),
                 (QStringList{"connected", QStringLiteral("error:%1").arg(code), "ended"}));
        QVERIFY2(c.lastErrorText().startsWith(text), qPrintable(c.lastErrorText()));
        if (maxBytes > 0)
            QVERIFY(c.receivedBytes() <= maxBytes);
        QCOMPARE(c.resumableBytes(url, target), qint64(0));
        QVERIFY(!c.lastTransferGainedBytes());
        QCOMPARE(mz::readFileBytes(target).value_or(QByteArray()), QByteArray("OLD COPY</html>"));
        QCOMPARE(folderEntries(), QStringList{"big.shtml"});
    }

    void resumesAfterACut_data()
    {
        QTest::addColumn<bool>("serverRanges");
        QTest::addColumn<bool>("pageChanges");
        QTest::newRow("server-answers-206") << true << false;
        QTest::newRow("server-ignores-ranges") << false << false;
        QTest::newRow("page-changed-meanwhile") << true << true;
    }
    void resumesAfterACut()
    {
        QFETCH(bool, serverRanges);
        QFETCH(bool, pageChanges);
        m_server->setRangesEnabled(serverRanges);
        m_server->setFault(HttpServer::Fault::Stall, 1);
        const QString target = path(QStringLiteral("r.shtml"));
        QVERIFY(mz::writeFileBytes(target, "OLD COPY</html>"));
        const QString url = m_server->url("/r.shtml");
        DownloadComponent c;
        c.setKeepPartial(true);
        c.setRequirePageEnd(true);
        c.setTimeOut(300);
        QSignalSpy ended(&c, &DownloadComponent::transferEnded);

        c.start(url, target);
        QVERIFY(ended.wait(10000));
        QCOMPARE(c.lastOutcome(), Outcome::TimedOut);
        const qint64 half = m_page.size() / 2;
        QCOMPARE(c.resumableBytes(url, target), half);
        QVERIFY(c.lastTransferGainedBytes());
        QCOMPARE(c.resumableBytes(url, path(QStringLiteral("other"))), qint64(0));
        QCOMPARE(mz::readFileBytes(target).value_or(QByteArray()), QByteArray("OLD COPY</html>"));

        if (pageChanges)
            m_page = page(30000).replace("headline", "HEADLINE");
        c.start(url, target, c.resumableBytes(url, target));
        QVERIFY(ended.wait(10000));
        QCOMPARE(c.lastOutcome(), Outcome::Succeeded);
        QCOMPARE(m_server->lastRequestHeader("Range"), "bytes=" + QByteArray::number(half) + '-');
        QCOMPARE(mz::readFileBytes(target).value_or(QByteArray()), m_page);
        QCOMPARE(c.receivedBytes(), qint64(m_page.size()));
        QCOMPARE(folderEntries(), QStringList{"r.shtml"});
        m_page = page(40000);
    }

    void onlyAttemptsThatBringBytesCountAsGains()
    {
        // The tag lies across the cut: the part kept from the first attempt holds "</ht", the
        // resumed rest "ml>", so the page end is found only when the kept scan state carries on.
        const qsizetype half = m_page.size() / 2;
        m_page = QByteArray(half - 4, 'x') + "</html>" + QByteArray(half - 3, 'y');
        m_server->setFault(HttpServer::Fault::Stall, 1);
        const QString target = path(QStringLiteral("g.shtml"));
        const QString url = m_server->url("/g.shtml");
        DownloadComponent c;
        c.setKeepPartial(true);
        c.setRequirePageEnd(true);
        c.setTimeOut(300);
        QSignalSpy ended(&c, &DownloadComponent::transferEnded);
        c.start(url, target);
        QVERIFY(ended.wait(10000));
        QVERIFY(c.lastTransferGainedBytes());
        QCOMPARE(c.resumableBytes(url, target), qint64(half));

        // Every request: the network layer may send a failed request once more.
        m_server->setFault(HttpServer::Fault::CloseWithoutResponse);
        c.start(url, target, c.resumableBytes(url, target));
        QVERIFY(ended.wait(10000));
        m_server->clearFaults();
        QCOMPARE(c.lastOutcome(), Outcome::NetworkError);
        QVERIFY(!c.lastTransferGainedBytes());
        QCOMPARE(c.resumableBytes(url, target), qint64(half)); // still there for the next try

        c.start(url, target, c.resumableBytes(url, target));
        QVERIFY(ended.wait(10000));
        QCOMPARE(c.lastOutcome(), Outcome::Succeeded);
        QVERIFY(c.lastTransferGainedBytes());
        QCOMPARE(mz::readFileBytes(target).value_or(QByteArray()), m_page);

        // A fresh start (startAt 0) drops what was kept and fetches the whole page.
        m_server->setFault(HttpServer::Fault::Stall, 1);
        c.start(url, target);
        QVERIFY(ended.wait(10000));
        c.start(url, target);
        QVERIFY(ended.wait(10000));
        QCOMPARE(m_server->lastRequestHeader("Range"), QByteArray());
        QCOMPARE(c.lastOutcome(), Outcome::Succeeded);
        m_page = page(40000);
    }

    // On a slow line the deadline ends an attempt, not the page: the bytes stay for the next
    // attempt, which has a deadline of its own and fetches only the rest.
    void deadlineEndsAnAttemptNotThePage()
    {
        m_server->setFault(HttpServer::Fault::Slow, 1);
        m_server->setSlowChunk(256, 10);
        const QString target = path(QStringLiteral("d.shtml"));
        const QString url = m_server->url("/d.shtml");
        DownloadComponent c;
        c.setKeepPartial(true);
        c.setRequirePageEnd(true);
        c.setDeadline(300);
        QSignalSpy ended(&c, &DownloadComponent::transferEnded);
        c.start(url, target);
        QVERIFY(ended.wait(10000));
        QCOMPARE(c.lastOutcome(), Outcome::DeadlineExceeded);
        const qint64 kept = c.resumableBytes(url, target);
        QVERIFY(kept > 0 && kept < m_page.size());
        QCOMPARE(c.lastTransferNewBytes(), kept);

        // The first attempt used up its 300 ms; the resume, unhindered, needs far less.
        c.start(url, target, kept);
        QVERIFY(ended.wait(10000));
        QCOMPARE(c.lastOutcome(), Outcome::Succeeded);
        QCOMPARE(m_server->lastRequestHeader("Range"), "bytes=" + QByteArray::number(kept) + '-');
        QCOMPARE(c.lastTransferNewBytes(), m_page.size() - kept);
        QCOMPARE(mz::readFileBytes(target).value_or(QByteArray()), m_page);
        QCOMPARE(folderEntries(), QStringList{"d.shtml"});
    }

    void pageEndIsLookedForWhileStreaming_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<Outcome>("outcome");
        QTest::newRow("capital-tag-split-over-chunks")
            << page(3000).toUpper() << Outcome::Succeeded;
        QTest::newRow("gbk-around-tag")
            << mz::encodeAnsi(u"<html>国内新闻</html>国际") << Outcome::Succeeded;
        QTest::newRow("cut-before-tag")
            << QByteArray("<html><body>cut off</ht") << Outcome::Incomplete;
    }
    void pageEndIsLookedForWhileStreaming()
    {
        QFETCH(QByteArray, body);
        QFETCH(Outcome, outcome);
        m_page = body;
        m_server->setFault(HttpServer::Fault::Slow, 1);
        m_server->setSlowChunk(3, 1);
        const QString target = path(QStringLiteral("p.shtml"));
        QVERIFY(mz::writeFileBytes(target, "<html>old</html>"));
        DownloadComponent c;
        c.setRequirePageEnd(true);
        QSignalSpy ended(&c, &DownloadComponent::transferEnded);
        c.start(m_server->url("/p"), target);
        QVERIFY(ended.wait(20000));
        QCOMPARE(c.lastOutcome(), outcome);
        QCOMPARE(mz::readFileBytes(target).value_or(QByteArray()),
                 outcome == Outcome::Succeeded ? body : QByteArray("<html>old</html>"));
        QCOMPARE(folderEntries(), QStringList{"p.shtml"});
        m_page = page(40000);
    }

    // A misbehaving server: only a whole 2xx page ends as a success and replaces the stored
    // copy; any other answer keeps it and is reported as an error. In the answers, "{page}" is
    // the page, "{len}" and "{hexlen}" its length and "{other}" another server that serves it.
    void adverseAnswers_data()
    {
        QTest::addColumn<QByteArray>("status");
        QTest::addColumn<QByteArray>("headers");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("reset");   // a TCP reset instead of a close after the bytes
        QTest::addColumn<bool>("archive"); // as the day's pages run: page end required, parts kept
        QTest::addColumn<bool>("succeeds");
        const QByteArray length = "Content-Length: {len}\r\n";
        const QByteArray none = "Content-Length: 0\r\n";
        const QByteArray chunked = "Transfer-Encoding: chunked\r\n";
        QTest::newRow("302-relative") << QByteArray("302 Found") << "Location: page\r\n" + none
                                      << QByteArray() << false << true << true;
        QTest::newRow("307-other-server")
            << QByteArray("307 Temporary Redirect") << "Location: {other}/x\r\n" + none
            << QByteArray() << false << true << true;
        QTest::newRow("redirect-loop") << QByteArray("301 Moved") << "Location: /day/p\r\n" + none
                                       << QByteArray() << false << true << false;
        QTest::newRow("304") << QByteArray("304 Not Modified") << QByteArray() << QByteArray()
                             << false << true << false;
        QTest::newRow("204") << QByteArray("204 No Content") << QByteArray() << QByteArray()
                             << false << true << false;
        QTest::newRow("empty-200")
            << QByteArray("200 OK") << none << QByteArray() << false << true << false;
        QTest::newRow("503-with-whole-page")
            << QByteArray("503 Busy") << length << QByteArray("{page}") << false << false << false;
        QTest::newRow("chunked") << QByteArray("200 OK") << chunked
                                 << QByteArray("{hexlen}\r\n{page}\r\n0\r\n\r\n") << false << true
                                 << true;
        // The network layer may take a close inside a chunk for the body's end; only the page
        // end shows the page cut.
        QTest::newRow("chunk-cut-short")
            << QByteArray("200 OK") << chunked << QByteArray("ff\r\n<html><body>") << false << true
            << false;
        QTest::newRow("length-beyond-body")
            << QByteArray("200 OK") << QByteArray("Content-Length: 9999\r\n")
            << QByteArray("{page}") << false << false << false;
        QTest::newRow("reset-within-length")
            << QByteArray("200 OK") << length << QByteArray("<html><body>") << true << false
            << false;
        QTest::newRow("reset-without-length")
            << QByteArray("200 OK") << QByteArray() << QByteArray("<html><body>") << true << true
            << false;
        QTest::newRow("closed-before-page-end")
            << QByteArray("200 OK") << QByteArray() << QByteArray("<html><body></body>") << false
            << true << false;
        QTest::newRow("charset-against-page")
            << QByteArray("200 OK") << "Content-Type: text/html; charset=utf-8\r\n" + length
            << QByteArray("{page}") << false << true << true;
        QTest::newRow("300-kB-header")
            << QByteArray("200 OK") << "X-Filler: " + QByteArray(300000, 'a') + "\r\n" + length
            << QByteArray("{page}") << false << true << true;
        QByteArray cookies;
        for (int i = 0; i < 5000; ++i)
            cookies += "Set-Cookie: c" + QByteArray::number(i) + "=v; Path=/\r\n";
        QTest::newRow("5000-cookies") << QByteArray("200 OK") << cookies + length
                                      << QByteArray("{page}") << false << true << true;
    }
    void adverseAnswers()
    {
        QFETCH(QByteArray, status);
        QFETCH(QByteArray, headers);
        QFETCH(QByteArray, body);
        QFETCH(bool, reset);
        QFETCH(bool, archive);
        QFETCH(bool, succeeds);
        const QByteArray page = mz::encodeAnsi(u"<html><body>国内新闻</body></html>");
        auto whole = [&](const QByteArray &, const QByteArray &) {
            return RawAnswer{rawHttp(
                "200 OK", "Content-Length: " + QByteArray::number(page.size()) + "\r\n", page)};
        };
        mz::test::RawHttpServer other(whole);
        QVERIFY(other.listen());
        mz::test::RawHttpServer server([&](const QByteArray &p, const QByteArray &head) {
            if (p == "/day/page")
                return whole(p, head);
            auto fill = [&](QByteArray text) {
                return text.replace("{page}", page)
                    .replace("{len}", QByteArray::number(page.size()))
                    .replace("{hexlen}", QByteArray::number(page.size(), 16))
                    .replace("{other}", other.url("").toLatin1());
            };
            return RawAnswer{rawHttp(status, fill(headers), fill(body)),
                             reset ? RawAnswer::End::Reset : RawAnswer::End::Close};
        });
        QVERIFY(server.listen());

        const QString target = path(QStringLiteral("day.shtml"));
        QVERIFY(mz::writeFileBytes(target, "OLD COPY</html>"));
        DownloadComponent c;
        c.setKeepPartial(archive);
        c.setRequirePageEnd(archive);
        EventLog log(&c);
        QSignalSpy ended(&c, &DownloadComponent::transferEnded);
        c.start(server.url("/day/p"), target);
        QVERIFY(ended.wait(10000));
        QCOMPARE(c.lastOutcome() == Outcome::Succeeded, succeeds);
        QCOMPARE(log.count("completed"), succeeds ? 1 : 0);
        QCOMPARE(log.events.join(',').contains("error"), !succeeds);
        QCOMPARE(mz::readFileBytes(target).value_or(QByteArray()),
                 succeeds ? page : QByteArray("OLD COPY</html>"));
        QCOMPARE(folderEntries(), QStringList{"day.shtml"});
    }

    // The archive downloads ask for the page as it is, to resume it by byte ranges. A server that
    // compresses it all the same sends bytes that are not the page: they never replace the
    // stored copy, and the next attempt asks for a coding the network layer unpacks.
    void compressedAnswerToAPlainRequest_data()
    {
        QTest::addColumn<QByteArray>("coding");
        QTest::newRow("gzip") << QByteArray("gzip");
        QTest::newRow("deflate") << QByteArray("deflate");
    }
    void compressedAnswerToAPlainRequest()
    {
        QFETCH(QByteArray, coding);
        const QByteArray page = mz::encodeAnsi(u"<html><body>国内新闻</body></html>");
        const QByteArray body = encoded(coding, page);
        mz::test::RawHttpServer server([&](const QByteArray &, const QByteArray &) {
            return RawAnswer{rawHttp("200 OK",
                                     "Content-Encoding: " + coding + "\r\nETag: \"1\"\r\n" +
                                         "Content-Length: " + QByteArray::number(body.size()) +
                                         "\r\n",
                                     body)};
        });
        QVERIFY(server.listen());
        const QString target = path(QStringLiteral("day.shtml"));
        QVERIFY(mz::writeFileBytes(target, "OLD COPY</html>"));
        const QString url = server.url("/old1000/day.shtml");
        DownloadComponent c;
        c.setKeepPartial(true);
        c.setRequirePageEnd(true);
        QSignalSpy ended(&c, &DownloadComponent::transferEnded);
        c.start(url, target);
        QVERIFY(ended.wait(10000));
        QVERIFY(server.heads().last().contains("\r\nAccept-Encoding: identity"));
        QCOMPARE(c.lastOutcome(), Outcome::Incomplete);
        QCOMPARE(mz::readFileBytes(target).value_or(QByteArray()), QByteArray("OLD COPY</html>"));
        QCOMPARE(c.resumableBytes(url, target), qint64(0));
        QCOMPARE(folderEntries(), QStringList{"day.shtml"});

        c.start(url, target, c.resumableBytes(url, target));
        QVERIFY(ended.wait(10000));
        QCOMPARE(c.lastOutcome(), Outcome::Succeeded);
        QCOMPARE(mz::readFileBytes(target).value_or(QByteArray()), page);
        QCOMPARE(folderEntries(), QStringList{"day.shtml"});
    }
};

QTEST_GUILESS_MAIN(TestDownloadComponent)
#include "tst_downloadcomponent.moc"
