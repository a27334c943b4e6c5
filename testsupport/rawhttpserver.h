#pragma once
// A server on 127.0.0.1 that answers every request with bytes the test wrote out in full, as a
// misbehaving portal sends them: any status line and headers, a body that disagrees with its
// headers, a connection reset in the middle. The demo portal's server only sends well-formed
// answers; this one sends whatever it is given.

#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

#include <functional>

#ifdef Q_OS_UNIX
#include <sys/socket.h>
#endif

namespace mz::test {

struct RawAnswer
{
    enum class End {
        Close, // close the connection once the bytes are out
        Reset, // abort it with a TCP reset once the bytes are out
    };
    QByteArray bytes; // sent as they are
    End end = End::Close;
};

// "HTTP/1.1 <status>" with `headers` (each ending in CRLF) and `body`, no length added.
inline QByteArray rawHttp(const QByteArray &status, const QByteArray &headers,
                          const QByteArray &body = {})
{
    return "HTTP/1.1 " + status + "\r\n" + headers + "Connection: close\r\n\r\n" + body;
}

class RawHttpServer : public QObject
{
public:
    // Gets the request's path and its whole head (request line and header lines).
    using Script = std::function<RawAnswer(const QByteArray &path, const QByteArray &head)>;

    explicit RawHttpServer(Script script) : m_script(std::move(script))
    {
        QObject::connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection()) {
                socket->setParent(this);
                auto *request = new QByteArray;
                QObject::connect(socket, &QObject::destroyed, this, [request] { delete request; });
                QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
                QObject::connect(socket, &QTcpSocket::readyRead, this,
                                 [this, socket, request] { onReadyRead(socket, request); });
            }
        });
    }

    bool listen() { return m_server.listen(QHostAddress::LocalHost, 0); }
    QString url(const QByteArray &path) const
    {
        return QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort()) +
               QString::fromLatin1(path);
    }
    // Paths of the requests seen, in order.
    QList<QByteArray> paths() const { return m_paths; }
    // Heads of the requests seen, in order.
    QList<QByteArray> heads() const { return m_heads; }

private:
    void onReadyRead(QTcpSocket *socket, QByteArray *request)
    {
        if (request->contains("\r\n\r\n"))
            return; // answered already
        request->append(socket->readAll());
        const qsizetype end = request->indexOf("\r\n\r\n");
        if (end < 0)
            return;
        const QByteArray head = request->left(end);
        const QList<QByteArray> words = head.left(head.indexOf("\r\n")).split(' ');
        QByteArray path = words.size() > 1 ? words.at(1) : QByteArray();
        if (path.startsWith("http://")) // asked through a proxy
            path = path.mid(path.indexOf('/', 7));
        m_paths.append(path);
        m_heads.append(head);
        const RawAnswer answer = m_script(path, head);
        socket->write(answer.bytes);
        if (answer.end == RawAnswer::End::Close) {
            socket->disconnectFromHost(); // after the bytes are out
            return;
        }
        QPointer<QTcpSocket> guard(socket);
        auto reset = [guard] {
            if (!guard || guard->bytesToWrite() > 0)
                return;
#ifdef Q_OS_UNIX
            const linger hard{1, 0}; // close() then sends RST instead of FIN
            ::setsockopt(int(guard->socketDescriptor()), SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
#endif
            guard->abort();
        };
        if (socket->bytesToWrite() == 0)
            socket->flush();
        QObject::connect(socket, &QTcpSocket::bytesWritten, socket, reset);
        reset();
    }

    Script m_script;
    QTcpServer m_server;
    QList<QByteArray> m_paths;
    QList<QByteArray> m_heads;
};

} // namespace mz::test
