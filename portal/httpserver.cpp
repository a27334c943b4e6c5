#include "portal/httpserver.h"

#include <QCryptographicHash>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

namespace mz {

namespace {

// A request head larger than this is refused; the portal's requests are a few hundred bytes.
constexpr qsizetype kMaxRequestHead = 64 * 1024;

QByteArray reasonPhrase(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 206:
        return "Partial Content";
    case 400:
        return "Bad Request";
    case 403:
        return "Forbidden";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 416:
        return "Range Not Satisfiable";
    case 431:
        return "Request Header Fields Too Large";
    case 500:
        return "Internal Server Error";
    case 503:
        return "Service Unavailable";
    default:
        return status < 400 ? "OK" : "Error";
    }
}

// A small but complete page, so that a client's completeness test ("</html>") cannot tell an
// error answer from a page by its ending alone.
HttpResponse errorResponse(int status)
{
    const QByteArray line = QByteArray::number(status) + ' ' + reasonPhrase(status);
    HttpResponse response;
    response.status = status;
    response.body = "<html>\r\n<head><title>" + line + "</title></head>\r\n<body>\r\n<h1>" + line +
                    "</h1>\r\n<p>mozhou-portal</p>\r\n</body>\r\n</html>\r\n";
    return response;
}

// "/a/b?x=1#f" -> "/a/b"; an absolute-form target "http://host:1/a" -> "/a".
QByteArray pathOfTarget(QByteArray target)
{
    const qsizetype scheme = target.indexOf("://");
    if (scheme > 0 && target.indexOf('/') > scheme) {
        const qsizetype slash = target.indexOf('/', scheme + 3);
        target = slash < 0 ? QByteArray("/") : target.mid(slash);
    }
    const qsizetype cut = target.indexOf('?');
    if (cut >= 0)
        target.truncate(cut);
    const qsizetype hash = target.indexOf('#');
    if (hash >= 0)
        target.truncate(hash);
    return target;
}

// A strong validator for a body: the same bytes give the same tag in every run.
QByteArray entityTag(const QByteArray &body)
{
    return '"' + QCryptographicHash::hash(body, QCryptographicHash::Md5).toHex().left(20) + '"';
}

// One range "bytes=N-" or "bytes=N-M" of a body of `size` bytes, as [first, last]. False for
// anything else (several ranges, suffix ranges, junk), which is answered with the whole body.
bool parseRange(const QByteArray &value, qint64 size, qint64 *first, qint64 *last)
{
    const QByteArray v = value.trimmed();
    if (!v.startsWith("bytes=") || v.contains(','))
        return false;
    const QByteArray rangeText = v.mid(6).trimmed();
    const qsizetype dash = rangeText.indexOf('-');
    if (dash <= 0)
        return false;
    bool ok = false;
    *first = rangeText.left(dash).trimmed().toLongLong(&ok);
    if (!ok || *first < 0)
        return false;
    const QByteArray end = rangeText.mid(dash + 1).trimmed();
    *last = size - 1;
    if (!end.isEmpty()) {
        const qint64 m = end.toLongLong(&ok);
        if (!ok || m < *first)
            return false;
        *last = qMin(m, size - 1);
    }
    return true;
}

// Filler for the Endless mode: page-like bytes that never reach "</html>".
const QByteArray &endlessFiller()
{
    static const QByteArray line = "<li>[\xb9\xfa\xc4\xda]<a href=/n>endless</a>\r\n";
    return line;
}

} // namespace

HttpServer::HttpServer(Handler handler, QObject *parent)
    : QObject(parent), m_handler(std::move(handler)), m_server(new QTcpServer(this))
{
    connect(m_server, &QTcpServer::newConnection, this, &HttpServer::onNewConnection);
}

HttpServer::~HttpServer()
{
    // Release every connection, a stalled one included: the client sees the connection close.
    const auto sockets = m_connections.keys();
    m_connections.clear();
    for (QTcpSocket *socket : sockets) {
        socket->disconnect(this);
        socket->abort();
        delete socket;
    }
    m_server->close();
}

bool HttpServer::listen(quint16 port)
{
    if (m_server->isListening())
        m_server->close();
    return m_server->listen(QHostAddress::LocalHost, port);
}

bool HttpServer::isListening() const
{
    return m_server->isListening();
}

QString HttpServer::errorString() const
{
    return m_server->errorString();
}

quint16 HttpServer::port() const
{
    return m_server->serverPort();
}

QString HttpServer::baseUrl() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(port());
}

void HttpServer::setFault(Fault fault, int count)
{
    m_fault = FaultRule{QByteArray(), fault, count};
}

void HttpServer::setFaultForPath(const QByteArray &pathPrefix, Fault fault, int count)
{
    for (FaultRule &rule : m_pathFaults) {
        if (rule.prefix == pathPrefix) {
            rule.fault = fault;
            rule.remaining = count;
            return;
        }
    }
    m_pathFaults.append(FaultRule{pathPrefix, fault, count});
}

void HttpServer::clearFaults()
{
    m_fault = FaultRule{};
    m_pathFaults.clear();
    // Resume stalled transfers: the rest of the body, then the end of the connection.
    const auto sockets = m_connections.keys();
    for (QTcpSocket *socket : sockets) {
        auto it = m_connections.find(socket);
        if (it == m_connections.end() || !it->stalled)
            continue;
        it->stalled = false;
        const QByteArray rest = std::exchange(it->pending, QByteArray());
        socket->write(rest);
        finish(socket);
    }
}

void HttpServer::setSlowChunk(int bytes, int intervalMs)
{
    m_slowChunkBytes = qMax(1, bytes);
    m_slowIntervalMs = qMax(0, intervalMs);
}

int HttpServer::requestCount() const
{
    return m_requestCount;
}

QList<QByteArray> HttpServer::requestedPaths() const
{
    return m_paths;
}

QList<QByteArray> HttpServer::lastRequestHeaders() const
{
    return m_lastHeaders;
}

QByteArray HttpServer::lastRequestHeader(const QByteArray &name) const
{
    const QByteArray wanted = name.toLower();
    for (const QByteArray &line : m_lastHeaders) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed().toLower() == wanted)
            return line.mid(colon + 1).trimmed();
    }
    return QByteArray();
}

void HttpServer::resetStatistics()
{
    m_requestCount = 0;
    m_paths.clear();
    m_lastHeaders.clear();
}

int HttpServer::openConnectionCount() const
{
    return int(m_connections.size());
}

void HttpServer::onNewConnection()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        socket->setParent(this);
        m_connections.insert(socket, Connection{socket, {}, {}, nullptr, false, false});
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        // Queued: disconnectFromHost() may report the end at once, inside our own calls.
        connect(
            socket, &QTcpSocket::disconnected, this, [this, socket] { dropConnection(socket); },
            Qt::QueuedConnection);
        if (socket->bytesAvailable() > 0)
            onReadyRead(socket);
    }
}

void HttpServer::onReadyRead(QTcpSocket *socket)
{
    auto it = m_connections.find(socket);
    if (it == m_connections.end())
        return;
    if (it->answered) {
        socket->readAll(); // one request per connection; anything after it is ignored
        return;
    }
    it->request += socket->readAll();

    qsizetype headEnd = it->request.indexOf("\r\n\r\n");
    if (headEnd < 0)
        headEnd = it->request.indexOf("\n\n"); // tolerate bare LF line ends
    if (headEnd < 0) {
        if (it->request.size() > kMaxRequestHead) {
            it->answered = true;
            const HttpResponse tooLarge = errorResponse(431);
            socket->write("HTTP/1.1 431 " + reasonPhrase(431) +
                          "\r\nContent-Type: " + tooLarge.contentType +
                          "\r\nContent-Length: " + QByteArray::number(tooLarge.body.size()) +
                          "\r\nConnection: close\r\n\r\n" + tooLarge.body);
            finish(socket);
        }
        return;
    }
    it->answered = true;
    const QByteArray head = it->request.left(headEnd);
    QList<QByteArray> lines = head.split('\n');
    for (QByteArray &line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    const QList<QByteArray> requestLine = lines.value(0).simplified().split(' ');
    const QByteArray method = requestLine.value(0);
    const QByteArray target = requestLine.value(1);
    lines.removeFirst();

    ++m_requestCount;
    const QByteArray path = pathOfTarget(target);
    m_paths.append(path);
    m_lastHeaders = lines;
    Q_EMIT requestReceived(method, path);

    if (requestLine.size() < 2 || method.isEmpty() ||
        (!target.startsWith('/') && !target.contains("://"))) {
        const HttpResponse bad = errorResponse(400);
        socket->write("HTTP/1.1 400 " + reasonPhrase(400) + "\r\nContent-Type: " + bad.contentType +
                      "\r\nContent-Length: " + QByteArray::number(bad.body.size()) +
                      "\r\nConnection: close\r\n\r\n" + bad.body);
        finish(socket);
        return;
    }
    answer(*it, method, path);
}

HttpServer::Fault HttpServer::takeFault(const QByteArray &path)
{
    auto consume = [](FaultRule &rule) {
        if (rule.remaining > 0)
            --rule.remaining;
        return rule.fault;
    };
    for (qsizetype i = 0; i < m_pathFaults.size(); ++i) {
        FaultRule &rule = m_pathFaults[i];
        if (rule.remaining == 0 || !path.startsWith(rule.prefix))
            continue;
        const Fault fault = consume(rule);
        if (rule.remaining == 0)
            m_pathFaults.removeAt(i);
        return fault;
    }
    if (m_fault.remaining != 0 && m_fault.fault != Fault::None) {
        const Fault fault = consume(m_fault);
        if (m_fault.remaining == 0)
            m_fault = FaultRule{};
        return fault;
    }
    return Fault::None;
}

void HttpServer::answer(Connection &connection, const QByteArray &method, const QByteArray &path)
{
    QTcpSocket *socket = connection.socket;
    const Fault fault = takeFault(path);
    if (fault == Fault::CloseWithoutResponse) {
        finish(socket);
        return;
    }

    HttpResponse response;
    if (fault == Fault::NotFound)
        response = errorResponse(404);
    else if (fault == Fault::ServerError)
        response = errorResponse(500);
    else if (m_handler)
        response = m_handler(method, path);
    else
        response = errorResponse(404);

    // The handler may have run other code; look the connection up again before touching it.
    auto it = m_connections.find(socket);
    if (it == m_connections.end() || !socket)
        return;

    // Validators and byte ranges for a whole page.
    QByteArray extra;
    qint64 first = 0, last = response.body.size() - 1;
    bool partial = false;
    if (response.status == 200 && fault != Fault::Endless &&
        (method == "GET" || method == "HEAD")) {
        const QByteArray tag = entityTag(response.body);
        extra = "ETag: " + tag + "\r\n";
        if (m_rangesEnabled)
            extra += "Accept-Ranges: bytes\r\n";
        const QByteArray range = lastRequestHeader("Range");
        const QByteArray ifRange = lastRequestHeader("If-Range");
        if (m_rangesEnabled && !range.isEmpty() && (ifRange.isEmpty() || ifRange == tag) &&
            parseRange(range, response.body.size(), &first, &last)) {
            if (first >= response.body.size()) {
                const QByteArray size = QByteArray::number(response.body.size());
                response = errorResponse(416);
                extra = "Content-Range: bytes */" + size + "\r\n";
                first = 0;
                last = response.body.size() - 1;
            } else {
                partial = true;
                response.status = 206;
                extra += "Content-Range: bytes " + QByteArray::number(first) + '-' +
                         QByteArray::number(last) + '/' + QByteArray::number(response.body.size()) +
                         "\r\n";
            }
        }
    }
    if (!response.location.isEmpty())
        extra += "Location: " + response.location + "\r\n";
    const QByteArray part = partial ? response.body.mid(first, last - first + 1) : response.body;
    const QByteArray body = method == "HEAD" ? QByteArray() : part;
    const QByteArray length = fault == Fault::Endless
                                  ? QByteArray()
                                  : "Content-Length: " + QByteArray::number(part.size()) + "\r\n";
    const QByteArray header = "HTTP/1.1 " + QByteArray::number(response.status) + ' ' +
                              reasonPhrase(response.status) +
                              "\r\nContent-Type: " + response.contentType + "\r\n" + length +
                              extra + "Connection: close\r\nServer: mozhou-portal\r\n\r\n";

    switch (fault) {
    case Fault::Truncate:
        socket->write(header + body.left(body.size() / 2));
        finish(socket);
        return;
    case Fault::Stall:
        socket->write(header + body.left(body.size() / 2));
        it->pending = body.mid(body.size() / 2);
        it->stalled = true;
        return;
    case Fault::Slow:
        socket->write(header);
        it->pending = body;
        startPacing(socket, &HttpServer::sendSlowChunk);
        return;
    case Fault::Endless:
        socket->write(header);
        startPacing(socket, &HttpServer::sendEndlessChunk);
        return;
    case Fault::LateAnswer:
        QTimer::singleShot(m_answerDelayMs, socket, [this, socket, answer = header + body] {
            if (!m_connections.contains(socket))
                return;
            socket->write(answer);
            finish(socket);
        });
        return;
    default:
        socket->write(header + body);
        finish(socket);
        return;
    }
}

void HttpServer::startPacing(QTcpSocket *socket, void (HttpServer::*send)(QTcpSocket *))
{
    auto it = m_connections.find(socket);
    if (it == m_connections.end())
        return;
    auto *timer = new QTimer(socket);
    timer->setInterval(m_slowIntervalMs);
    connect(timer, &QTimer::timeout, this, [this, socket, send] { (this->*send)(socket); });
    it->timer = timer;
    timer->start();
}

void HttpServer::sendEndlessChunk(QTcpSocket *socket)
{
    if (!m_connections.contains(socket))
        return;
    // Do not pile up bytes the client does not take: the server's memory stays small.
    if (socket->bytesToWrite() > 1024 * 1024)
        return;
    QByteArray chunk;
    chunk.reserve(m_slowChunkBytes + endlessFiller().size());
    while (chunk.size() < m_slowChunkBytes)
        chunk += endlessFiller();
    chunk.truncate(m_slowChunkBytes);
    socket->write(chunk);
}

void HttpServer::sendSlowChunk(QTcpSocket *socket)
{
    auto it = m_connections.find(socket);
    if (it == m_connections.end())
        return;
    const QByteArray chunk = it->pending.left(m_slowChunkBytes);
    it->pending.remove(0, chunk.size());
    socket->write(chunk);
    if (it->pending.isEmpty()) {
        it->timer->stop();
        finish(socket);
    }
}

void HttpServer::finish(QTcpSocket *socket)
{
    // Closes once everything written has left; the disconnected signal then drops the socket.
    if (socket && socket->state() != QAbstractSocket::UnconnectedState)
        socket->disconnectFromHost();
    else if (socket)
        QMetaObject::invokeMethod(
            this, [this, socket] { dropConnection(socket); }, Qt::QueuedConnection);
}

void HttpServer::dropConnection(QTcpSocket *socket)
{
    auto it = m_connections.find(socket);
    if (it == m_connections.end())
        return;
    if (it->timer)
        it->timer->stop();
    m_connections.erase(it);
    socket->disconnect(this);
    socket->deleteLater();
}

} // namespace mz
