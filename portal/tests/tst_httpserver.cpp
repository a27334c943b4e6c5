// The local test server: normal answers, request bookkeeping and every fault mode, seen from a
// real client on 127.0.0.1.

#include "portal/httpserver.h"

#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTest>

#include <memory>

using mz::HttpResponse;
using mz::HttpServer;

namespace {

QByteArray bodyOfSize(int size)
{
    QByteArray body = "<html><body>";
    while (body.size() < size - 16)
        body += "0123456789abcdef";
    body.truncate(size - 14);
    body += "</body></html>";
    return body;
}

struct Fetched
{
    int status = 0;
    QByteArray body;
    QNetworkReply::NetworkError error = QNetworkReply::NoError;
    QByteArray contentType;
    QByteArray etag;
    QByteArray contentRange;
};

// A raw client: sends one request and collects every byte until the server closes or the
// caller stops waiting.
class RawClient
{
public:
    explicit RawClient(quint16 port,
                       const QByteArray &request = "GET /page HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n")
    {
        QObject::connect(&socket, &QTcpSocket::readyRead, [this] {
            received += socket.readAll();
            ++reads;
        });
        socket.connectToHost(QHostAddress::LocalHost, port);
        socket.write(request);
    }
    bool waitClosed(int ms = 5000)
    {
        if (socket.state() == QAbstractSocket::UnconnectedState)
            return true;
        QSignalSpy closed(&socket, &QTcpSocket::disconnected);
        return closed.wait(ms) || socket.state() == QAbstractSocket::UnconnectedState;
    }
    QByteArray head() const
    {
        const qsizetype end = received.indexOf("\r\n\r\n");
        return end < 0 ? QByteArray() : received.left(end);
    }
    QByteArray body() const
    {
        const qsizetype end = received.indexOf("\r\n\r\n");
        return end < 0 ? QByteArray() : received.mid(end + 4);
    }
    qsizetype contentLength() const
    {
        for (const QByteArray &line : head().split('\n')) {
            if (line.toLower().startsWith("content-length:"))
                return line.mid(15).trimmed().toLongLong();
        }
        return -1;
    }
    int status() const { return head().split(' ').value(1).toInt(); }

    QTcpSocket socket;
    QByteArray received;
    int reads = 0;
};

} // namespace

class tst_HttpServer : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<HttpServer> m_server;
    int m_handlerCalls = 0;
    QByteArray m_page;
    QNetworkAccessManager m_manager;

    Fetched fetch(const QByteArray &path, const QList<QPair<QByteArray, QByteArray>> &headers = {})
    {
        QNetworkRequest request(QUrl(m_server->url(path)));
        for (const auto &h : headers)
            request.setRawHeader(h.first, h.second);
        QNetworkReply *reply = m_manager.get(request);
        QSignalSpy done(reply, &QNetworkReply::finished);
        if (!reply->isFinished())
            done.wait(5000);
        Fetched result;
        result.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        result.body = reply->readAll();
        result.error = reply->error();
        result.contentType = reply->rawHeader("Content-Type");
        result.etag = reply->rawHeader("ETag");
        result.contentRange = reply->rawHeader("Content-Range");
        reply->deleteLater();
        return result;
    }

private Q_SLOTS:
    void initTestCase() { m_manager.setProxy(QNetworkProxy::NoProxy); }

    void init()
    {
        m_handlerCalls = 0;
        m_page = bodyOfSize(4000);
        m_server = std::make_unique<HttpServer>([this](const QByteArray &, const QByteArray &path) {
            ++m_handlerCalls;
            HttpResponse response;
            if (path == "/missing") {
                response.status = 404;
                response.body = "<html>gone</html>";
            } else {
                response.body = m_page;
            }
            return response;
        });
        QVERIFY(m_server->listen(0));
        QVERIFY(m_server->port() != 0);
        QCOMPARE(m_server->baseUrl(), QStringLiteral("http://127.0.0.1:%1").arg(m_server->port()));
    }

    void cleanup() { m_server.reset(); }

    void servesHandlerAnswerAndRecordsRequest()
    {
        const Fetched got =
            fetch("/old1000/news1000_20070612.shtml?x=1",
                  {{"User-Agent", "MozhouTest/1.0"}, {"Referer", "http://127.0.0.1/ref"}});
        QCOMPARE(got.error, QNetworkReply::NoError);
        QCOMPARE(got.status, 200);
        QCOMPARE(got.body, m_page);
        QCOMPARE(got.contentType, QByteArray("text/html; charset=gbk"));
        QCOMPARE(m_server->requestCount(), 1);
        QCOMPARE(m_server->requestedPaths(), QList<QByteArray>{"/old1000/news1000_20070612.shtml"});
        QCOMPARE(m_server->lastRequestHeader("user-agent"), QByteArray("MozhouTest/1.0"));
        QCOMPARE(m_server->lastRequestHeader("REFERER"), QByteArray("http://127.0.0.1/ref"));
        QVERIFY(m_server->lastRequestHeaders().contains("User-Agent: MozhouTest/1.0"));
        QTRY_COMPARE(m_server->openConnectionCount(), 0);
    }

    void handlerStatusIsPassedOn()
    {
        const Fetched got = fetch("/missing");
        QCOMPARE(got.status, 404);
        QCOMPARE(got.body, QByteArray("<html>gone</html>"));
    }

    void headSendsLengthWithoutBody()
    {
        RawClient client(m_server->port(), "HEAD /page HTTP/1.1\r\nHost: x\r\n\r\n");
        QVERIFY(client.waitClosed());
        QCOMPARE(client.status(), 200);
        QCOMPARE(client.contentLength(), m_page.size());
        QVERIFY(client.body().isEmpty());
    }

    void malformedRequestGets400()
    {
        RawClient client(m_server->port(), "HELLO\r\n\r\n");
        QVERIFY(client.waitClosed());
        QCOMPARE(client.status(), 400);
        QCOMPARE(m_handlerCalls, 0);
    }

    void errorFaults_data()
    {
        QTest::addColumn<HttpServer::Fault>("fault");
        QTest::addColumn<int>("status");
        QTest::newRow("not-found") << HttpServer::Fault::NotFound << 404;
        QTest::newRow("server-error") << HttpServer::Fault::ServerError << 500;
    }

    void errorFaults()
    {
        QFETCH(HttpServer::Fault, fault);
        QFETCH(int, status);
        m_server->setFault(fault);
        for (int i = 0; i < 2; ++i) {
            const Fetched got = fetch("/page");
            QCOMPARE(got.status, status);
            // An error page is complete on its own, so a completeness test cannot be fooled.
            QVERIFY(got.body.toLower().trimmed().endsWith("</html>"));
            QVERIFY(got.body != m_page);
        }
        QCOMPARE(m_handlerCalls, 0);
        QCOMPARE(m_server->requestCount(), 2);
        m_server->clearFaults();
        QCOMPARE(fetch("/page").status, 200);
    }

    void faultCountRunsOut()
    {
        m_server->setFault(HttpServer::Fault::ServerError, 2);
        QCOMPARE(fetch("/a").status, 500);
        QCOMPARE(fetch("/b").status, 500);
        QCOMPARE(fetch("/c").status, 200);
        QCOMPARE(fetch("/d").status, 200);
        QCOMPARE(m_server->requestCount(), 4);
        QCOMPARE(m_server->requestedPaths(), (QList<QByteArray>{"/a", "/b", "/c", "/d"}));
    }

    void pathFaultOnlyHitsMatchingPaths()
    {
        m_server->setFault(HttpServer::Fault::NotFound);
        m_server->setFaultForPath("/news/", HttpServer::Fault::ServerError, 1);
        m_server->setFaultForPath("/hotnews/", HttpServer::Fault::None);
        QCOMPARE(fetch("/news/1.shtml").status, 500);
        QCOMPARE(fetch("/news/2.shtml").status,
                 404);                            // the path rule ran out; the general one applies
        QCOMPARE(fetch("/hotnews/").status, 200); // shielded by its own rule
        QCOMPARE(fetch("/other").status, 404);
    }

    void truncateSendsHalfTheAnnouncedBody()
    {
        m_server->setFault(HttpServer::Fault::Truncate, 1);
        RawClient client(m_server->port());
        QVERIFY(client.waitClosed());
        QCOMPARE(client.status(), 200);
        QCOMPARE(client.contentLength(), m_page.size());
        QCOMPARE(client.body(), m_page.left(m_page.size() / 2));

        // Through a real HTTP client the short body shows up as a failed transfer.
        m_server->setFault(HttpServer::Fault::Truncate, 1);
        const Fetched got = fetch("/page");
        QVERIFY(got.error != QNetworkReply::NoError || got.body.size() < m_page.size());
        QVERIFY(!got.body.toLower().contains("</html>"));
    }

    void stallStopsMidBodyAndResumesWhenCleared()
    {
        m_server->setFault(HttpServer::Fault::Stall);
        RawClient client(m_server->port());
        QTRY_COMPARE(client.body().size(), m_page.size() / 2);
        QCOMPARE(client.contentLength(), m_page.size());

        // A short bounded wait proves the silence: no byte and no close while stalled.
        QSignalSpy closed(&client.socket, &QTcpSocket::disconnected);
        QTest::qWait(300);
        QCOMPARE(client.body().size(), m_page.size() / 2);
        QCOMPARE(closed.count(), 0);
        QCOMPARE(m_server->openConnectionCount(), 1);

        m_server->clearFaults();
        QVERIFY(client.waitClosed());
        QCOMPARE(client.body(), m_page);
    }

    void stalledConnectionIsReleasedWhenClientAborts()
    {
        m_server->setFault(HttpServer::Fault::Stall);
        auto client = std::make_unique<RawClient>(m_server->port());
        QTRY_COMPARE(client->body().size(), m_page.size() / 2);
        QCOMPARE(m_server->openConnectionCount(), 1);
        client->socket.abort();
        client.reset();
        QTRY_COMPARE(m_server->openConnectionCount(), 0);
        // The server keeps serving (the stall fault still applies to new requests).
        m_server->clearFaults();
        QCOMPARE(fetch("/page").body, m_page);
    }

    void stalledConnectionEndsWhenServerIsDestroyed()
    {
        m_server->setFault(HttpServer::Fault::Stall);
        RawClient client(m_server->port());
        QTRY_COMPARE(client.body().size(), m_page.size() / 2);
        m_server.reset();
        QVERIFY(client.waitClosed());
        QCOMPARE(client.body().size(), m_page.size() / 2);
    }

    void stallDoesNotBlockOtherRequests()
    {
        m_server->setFaultForPath("/stall", HttpServer::Fault::Stall);
        RawClient stalled(m_server->port(), "GET /stall HTTP/1.1\r\nHost: x\r\n\r\n");
        QTRY_COMPARE(stalled.body().size(), m_page.size() / 2);

        QList<QNetworkReply *> replies;
        for (int i = 0; i < 4; ++i)
            replies.append(
                m_manager.get(QNetworkRequest(QUrl(m_server->url("/p" + QByteArray::number(i))))));
        for (QNetworkReply *reply : replies) {
            if (!reply->isFinished())
                QVERIFY(QSignalSpy(reply, &QNetworkReply::finished).wait(5000));
            QCOMPARE(reply->error(), QNetworkReply::NoError);
            QCOMPARE(reply->readAll(), m_page);
            reply->deleteLater();
        }
        QCOMPARE(stalled.body().size(), m_page.size() / 2);
        QCOMPARE(m_server->requestCount(), 5);
    }

    void slowDeliversEverythingInPieces()
    {
        m_server->setSlowChunk(200, 10);
        m_server->setFault(HttpServer::Fault::Slow, 1);
        RawClient client(m_server->port());
        QVERIFY(client.waitClosed());
        QCOMPARE(client.contentLength(), m_page.size());
        QCOMPARE(client.body(), m_page);
        // 20 chunks 10 ms apart cannot all arrive in one read.
        QVERIFY2(client.reads >= 3, qPrintable(QString::number(client.reads)));

        m_server->setFault(HttpServer::Fault::Slow, 1);
        const Fetched got = fetch("/page");
        QCOMPARE(got.error, QNetworkReply::NoError);
        QCOMPARE(got.body, m_page);
    }

    void closeWithoutResponseSendsNothing()
    {
        m_server->setFault(HttpServer::Fault::CloseWithoutResponse, 1);
        RawClient client(m_server->port());
        QVERIFY(client.waitClosed());
        QVERIFY(client.received.isEmpty());
        QCOMPARE(m_server->requestCount(), 1);
        QCOMPARE(m_handlerCalls, 0);
        QCOMPARE(fetch("/page").status, 200);
    }

    void byteRanges_data()
    {
        QTest::addColumn<QByteArray>("range");
        QTest::addColumn<QByteArray>("ifRange"); // "tag": the page's own ETag
        QTest::addColumn<bool>("rangesEnabled");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("first"); // of the body sent; -1: an error page
        QTest::addColumn<int>("last");
        QTest::newRow("open-end") << QByteArray("bytes=1000-") << QByteArray() << true << 206
                                  << 1000 << 3999;
        QTest::newRow("closed") << QByteArray("bytes=0-99") << QByteArray() << true << 206 << 0
                                << 99;
        QTest::newRow("end-past-size")
            << QByteArray("bytes=3990-5000") << QByteArray() << true << 206 << 3990 << 3999;
        QTest::newRow("same-tag") << QByteArray("bytes=10-") << QByteArray("tag") << true << 206
                                  << 10 << 3999;
        QTest::newRow("other-tag")
            << QByteArray("bytes=10-") << QByteArray("\"old\"") << true << 200 << 0 << 3999;
        QTest::newRow("start-past-end")
            << QByteArray("bytes=4000-") << QByteArray() << true << 416 << -1 << -1;
        QTest::newRow("several-ranges")
            << QByteArray("bytes=0-1,5-6") << QByteArray() << true << 200 << 0 << 3999;
        QTest::newRow("suffix-range")
            << QByteArray("bytes=-100") << QByteArray() << true << 200 << 0 << 3999;
        QTest::newRow("ranges-disabled")
            << QByteArray("bytes=1000-") << QByteArray() << false << 200 << 0 << 3999;
    }
    void byteRanges()
    {
        QFETCH(QByteArray, range);
        QFETCH(QByteArray, ifRange);
        QFETCH(bool, rangesEnabled);
        QFETCH(int, status);
        QFETCH(int, first);
        QFETCH(int, last);
        const QByteArray tag = fetch("/page").etag;
        QVERIFY(tag.startsWith('"'));
        QCOMPARE(fetch("/page").etag, tag); // the same body, the same tag

        m_server->setRangesEnabled(rangesEnabled);
        QList<QPair<QByteArray, QByteArray>> headers{{"Range", range}};
        if (!ifRange.isEmpty())
            headers.append({"If-Range", ifRange == "tag" ? tag : ifRange});
        const Fetched got = fetch("/page", headers);
        QCOMPARE(got.status, status);
        if (first < 0) {
            QCOMPARE(got.contentRange, QByteArray("bytes */4000"));
            QVERIFY(got.body.contains("416"));
            return;
        }
        QCOMPARE(got.body, m_page.mid(first, last - first + 1));
        QCOMPARE(got.contentRange,
                 status == 206 ? QStringLiteral("bytes %1-%2/4000").arg(first).arg(last).toLatin1()
                               : QByteArray());
    }

    void endlessBodyNeverEnds()
    {
        m_server->setFault(HttpServer::Fault::Endless, 1);
        m_server->setSlowChunk(4096, 1);
        RawClient client(m_server->port());
        QTRY_VERIFY_WITH_TIMEOUT(client.body().size() > 5 * m_page.size(), 10000);
        QCOMPARE(client.contentLength(), qsizetype(-1));
        QVERIFY(!client.received.toLower().contains("</html>"));
        QVERIFY(client.socket.state() == QAbstractSocket::ConnectedState);
        client.socket.abort();
        QTRY_COMPARE(m_server->openConnectionCount(), 0);
    }

    void secondServerGetsAnotherPort()
    {
        HttpServer other([](const QByteArray &, const QByteArray &) { return HttpResponse{}; });
        QVERIFY(other.listen(0));
        QVERIFY(other.port() != m_server->port());
        HttpServer clash([](const QByteArray &, const QByteArray &) { return HttpResponse{}; });
        QVERIFY(!clash.listen(other.port()));
        QVERIFY(!clash.errorString().isEmpty());
    }
};

QTEST_MAIN(tst_HttpServer)
#include "tst_httpserver.moc"
