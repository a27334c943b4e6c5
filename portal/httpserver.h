#pragma once
// A small HTTP/1.1 server for the demo portal and for the network tests.
//
// It listens on 127.0.0.1 only, answers every request through one handler function and closes
// the connection after each response. Fault modes let a test make the next requests fail in the
// ways a real portal fails: a body cut short, a transfer that stops mid-body, an error status, a
// slow trickle, a body without end, or a connection closed without any answer.
//
// A 200 answer to GET or HEAD carries a strong ETag (a digest of the body) and
// "Accept-Ranges: bytes". A request for one byte range ("Range: bytes=N-" or "bytes=N-M") gets
// 206 with that part and a Content-Range, unless an If-Range names another ETag (then the whole
// body comes with 200); a range that begins past the end gets 416. Fault modes apply to the part
// that is sent. Everything runs on the thread that
// owns the server, driven by its event loop; nothing blocks.

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class QTcpServer;
class QTcpSocket;
class QTimer;

namespace mz {

struct HttpResponse
{
    int status = 200;
    QByteArray contentType = "text/html; charset=gbk";
    QByteArray body;
    QByteArray location; // sent as "Location" when not empty (a redirection)
};

class HttpServer : public QObject
{
    Q_OBJECT

public:
    // method is the request line's method ("GET", "HEAD", ...); path is the request target
    // without query or fragment ("/hotnews/", "/old1000/news1000_20070612.shtml").
    using Handler = std::function<HttpResponse(const QByteArray &method, const QByteArray &path)>;

    enum class Fault {
        None,
        Truncate,             // full Content-Length, half the body, then close
        Stall,                // headers and half the body, then silence until cleared or destroyed
        NotFound,             // 404 with a small, complete error page
        ServerError,          // 500 with a small, complete error page
        Slow,                 // the whole body in small chunks with pauses (setSlowChunk)
        CloseWithoutResponse, // read the request, close without sending a byte
        Endless,              // headers without a length, then filler bytes without end, paced
                              // like Slow, until the client goes away
        LateAnswer,           // the whole answer, after a pause (setAnswerDelay)
    };
    Q_ENUM(Fault)

    explicit HttpServer(Handler handler, QObject *parent = nullptr);
    ~HttpServer() override;

    // Listens on 127.0.0.1 only; port 0 picks a free port. False when the port is taken.
    bool listen(quint16 port = 0);
    bool isListening() const;
    QString errorString() const; // why listen() failed
    quint16 port() const;
    QString baseUrl() const; // "http://127.0.0.1:<port>", no trailing slash
    QString url(const QByteArray &path) const { return baseUrl() + QString::fromLatin1(path); }

    // The fault applies to the next `count` requests (-1: until cleared). A path fault is
    // looked at before the general one; the first rule whose prefix matches the path wins.
    void setFault(Fault fault, int count = -1);
    void setFaultForPath(const QByteArray &pathPrefix, Fault fault, int count = -1);
    // Removes every fault. Stalled transfers resume: they get the rest of their body and end.
    void clearFaults();
    // Chunk size and pause of the Slow and Endless modes (default 512 bytes every 20 ms).
    void setSlowChunk(int bytes, int intervalMs);
    // The pause before a LateAnswer answer (default 3 s: more than two download watchdog ticks).
    void setAnswerDelay(int ms) { m_answerDelayMs = qMax(0, ms); }
    // Byte ranges are answered (the default) or ignored, as by a server that always sends the
    // whole body with 200 (its answers still carry an ETag).
    void setRangesEnabled(bool enabled) { m_rangesEnabled = enabled; }

    // Requests seen since start (or resetStatistics), faulty ones included.
    int requestCount() const;
    QList<QByteArray> requestedPaths() const;
    // Header lines of the latest request, as sent ("User-Agent: x").
    QList<QByteArray> lastRequestHeaders() const;
    // Value of one header of the latest request (case-insensitive name), empty when absent.
    QByteArray lastRequestHeader(const QByteArray &name) const;
    void resetStatistics();

    // Connections still open (a stalled transfer counts until the client goes away).
    int openConnectionCount() const;

Q_SIGNALS:
    // A complete request has been read (before the answer is sent).
    void requestReceived(const QByteArray &method, const QByteArray &path);

private:
    struct FaultRule
    {
        QByteArray prefix; // empty: any path
        Fault fault = Fault::None;
        int remaining = -1;
    };
    struct Connection
    {
        QPointer<QTcpSocket> socket;
        QByteArray request;      // bytes read so far
        QByteArray pending;      // body bytes still to send (Slow, Stall)
        QTimer *timer = nullptr; // Slow and Endless mode pacing
        bool answered = false;
        bool stalled = false;
    };

    void onNewConnection();
    void onReadyRead(QTcpSocket *socket);
    void answer(Connection &connection, const QByteArray &method, const QByteArray &target);
    Fault takeFault(const QByteArray &path);
    void sendSlowChunk(QTcpSocket *socket);
    void sendEndlessChunk(QTcpSocket *socket);
    void startPacing(QTcpSocket *socket, void (HttpServer::*send)(QTcpSocket *));
    void finish(QTcpSocket *socket);
    void dropConnection(QTcpSocket *socket);

    Handler m_handler;
    QTcpServer *m_server = nullptr;
    QHash<QTcpSocket *, Connection> m_connections;
    QList<FaultRule> m_pathFaults;
    FaultRule m_fault;
    int m_slowChunkBytes = 512;
    int m_slowIntervalMs = 20;
    int m_answerDelayMs = 3000;
    bool m_rangesEnabled = true;
    int m_requestCount = 0;
    QList<QByteArray> m_paths;
    QList<QByteArray> m_lastHeaders;
};

} // namespace mz
