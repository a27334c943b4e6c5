#include "fetch/downloadcomponent.h"

#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QSaveFile>
#include <QTimer>
#include <QUrl>

namespace mz {

struct DownloadComponent::Transfer
{
    quint64 serial = 0;
    Request request;
    QNetworkReply *reply = nullptr;
    std::unique_ptr<QSaveFile> file; // temporary file beside the target until committed
    bool connectedRaised = false;
    int status = 0;
    qint64 expected = -1; // Content-Length, -1 when absent or not comparable
    QByteArray body;      // kept only while a body check waits for it
};

static bool isSuccessStatus(int status)
{
    return status >= 200 && status < 300;
}

DownloadComponent::DownloadComponent(int index, QObject *parent)
    : QObject(parent), m_index(index)
{
    m_manager = new QNetworkAccessManager(this);
    m_manager->setProxy(QNetworkProxy::NoProxy);

    m_timeOutTimer = new QTimer(this);
    m_timeOutTimer->setSingleShot(true);
    connect(m_timeOutTimer, &QTimer::timeout, this, &DownloadComponent::onTimeOut);

    m_progressTimer = new QTimer(this);
    m_progressTimer->setSingleShot(true);
    m_progressTimer->setTimerType(Qt::PreciseTimer); // a coarse timer may fire 5 % early
    connect(m_progressTimer, &QTimer::timeout, this, &DownloadComponent::emitProgress);
}

DownloadComponent::~DownloadComponent()
{
    if (m_transfer && m_transfer->reply) {
        QNetworkReply *reply = m_transfer->reply;
        QObject::disconnect(reply, nullptr, this, nullptr);
        reply->abort();
        delete reply;
    }
    // The unfinished temporary file is discarded by QSaveFile's destructor.
}

void DownloadComponent::start(const QString &url, const QString &targetPath, int startAt,
                              bool overwrite)
{
    Q_UNUSED(startAt);
    Request request{url, targetPath, overwrite};
    if (defersStarts()) {
        m_pending = std::make_unique<Request>(request);
        return;
    }
    m_pending.reset(); // a newer request than one still waiting
    if (m_transfer) {
        // End the running transfer first; requests made by its handlers meanwhile replace ours.
        m_pending = std::make_unique<Request>(request);
        m_stoppingForStart = true;
        QPointer<DownloadComponent> self(this);
        finish(Outcome::Stopped);
        if (!self)
            return;
        m_stoppingForStart = false;
        if (!m_pending)
            return; // a handler called stop()
        request = *m_pending;
        m_pending.reset();
    }
    begin(request);
}

void DownloadComponent::stop()
{
    m_pending.reset();
    if (m_transfer)
        finish(Outcome::Stopped);
}

void DownloadComponent::begin(const Request &request)
{
    m_received = 0;
    m_reportedBytes = 0;
    m_sinceProgress.invalidate();
    m_lastOutcome = Outcome::None;
    m_lastHttpStatus = 0;
    m_lastErrorText.clear();

    auto transfer = std::make_unique<Transfer>();
    transfer->serial = ++m_serial;
    transfer->request = request;
    Transfer *t = transfer.get();
    m_transfer = std::move(transfer);

    // Problems found before anything is sent end the transfer from the event loop, so that
    // start() never raises transfer ended inside the caller.
    auto failLater = [this, serial = t->serial](Outcome outcome, const QString &text, int code) {
        QTimer::singleShot(0, this, [this, serial, outcome, text, code] {
            if (m_transfer && m_transfer->serial == serial)
                finish(outcome, text, code);
        });
    };

    const QUrl url(request.url, QUrl::TolerantMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != QLatin1String("http") && scheme != QLatin1String("https"))) {
        failLater(Outcome::NetworkError, QStringLiteral("无效的地址：%1").arg(request.url),
                  int(QNetworkReply::ProtocolUnknownError));
        return;
    }
    if (!request.overwrite && QFile::exists(request.target)) {
        failLater(Outcome::FileError, QStringLiteral("文件已存在：%1").arg(request.target),
                  TargetExistsCode);
        return;
    }
    t->file = std::make_unique<QSaveFile>(request.target);
    if (!t->file->open(QIODevice::WriteOnly)) {
        failLater(Outcome::FileError,
                  QStringLiteral("无法写入文件：%1（%2）").arg(request.target, t->file->errorString()),
                  FileErrorCode);
        return;
    }

    QNetworkRequest req(url);
    req.setHeader(QNetworkRequest::UserAgentHeader, m_userAgent);
    req.setRawHeader("Accept", m_accept.toLatin1());
    if (m_useReferer) {
        const QString referer = m_referer.isEmpty() ? request.url : m_referer;
        req.setRawHeader("Referer", QUrl(referer).toEncoded());
    }
    req.setAttribute(QNetworkRequest::CookieLoadControlAttribute, QNetworkRequest::Manual);
    req.setAttribute(QNetworkRequest::CookieSaveControlAttribute, QNetworkRequest::Manual);
    req.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    req.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);

    QNetworkReply *reply = m_manager->get(req);
    t->reply = reply;
    connect(reply, &QNetworkReply::requestSent, this, &DownloadComponent::onConnected);
    connect(reply, &QNetworkReply::metaDataChanged, this, &DownloadComponent::onMetaData);
    connect(reply, &QIODevice::readyRead, this, &DownloadComponent::onReadyRead);
    connect(reply, &QNetworkReply::finished, this, &DownloadComponent::onFinished);
    m_timeOutTimer->start(m_timeOut);

    emit connecting(); // last: a handler may already stop or restart this transfer
}

void DownloadComponent::onConnected()
{
    if (!m_transfer || m_transfer->connectedRaised)
        return;
    m_transfer->connectedRaised = true;
    m_timeOutTimer->start(m_timeOut);
    emit connected();
}

void DownloadComponent::onMetaData()
{
    if (!m_transfer || !m_transfer->reply)
        return;
    QNetworkReply *reply = m_transfer->reply;
    m_transfer->status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
    const QByteArray encoding = reply->rawHeader("Content-Encoding").trimmed().toLower();
    // A compressed body is unpacked on the way in; its length no longer matches the header.
    const bool comparable = encoding.isEmpty() || encoding == "identity";
    m_transfer->expected = length.isValid() && comparable ? length.toLongLong() : -1;
    m_timeOutTimer->start(m_timeOut);
    onConnected();
}

void DownloadComponent::onReadyRead()
{
    if (!m_transfer || !m_transfer->reply)
        return;
    Transfer *t = m_transfer.get();
    const QByteArray data = t->reply->readAll();
    if (data.isEmpty())
        return;
    if (t->status == 0)
        t->status = t->reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    m_timeOutTimer->start(m_timeOut);
    m_received += data.size();
    // The body of an error page is counted but never stored.
    if (isSuccessStatus(t->status)) {
        if (t->file->write(data) != data.size()) {
            finish(Outcome::FileError,
                   QStringLiteral("无法写入文件：%1（%2）").arg(t->request.target, t->file->errorString()),
                   FileErrorCode);
            return;
        }
        if (m_bodyCheck)
            t->body.append(data);
    }
    if (!m_sinceProgress.isValid() || m_sinceProgress.elapsed() >= m_progressInterval)
        emitProgress();
    else if (!m_progressTimer->isActive())
        m_progressTimer->start(int(m_progressInterval - m_sinceProgress.elapsed()));
}

void DownloadComponent::emitProgress()
{
    m_progressTimer->stop();
    if (!m_transfer || m_received == m_reportedBytes)
        return;
    m_reportedBytes = m_received;
    m_sinceProgress.restart();
    emit progress();
}

void DownloadComponent::onFinished()
{
    if (!m_transfer || !m_transfer->reply)
        return;
    const quint64 serial = m_transfer->serial;
    QPointer<DownloadComponent> self(this);
    onReadyRead(); // whatever arrived with the end
    if (!self || !m_transfer || m_transfer->serial != serial)
        return;

    Transfer *t = m_transfer.get();
    QNetworkReply *reply = t->reply;
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid())
        t->status = status.toInt();

    if (t->status != 0 && !isSuccessStatus(t->status)) {
        const QString reason =
            reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
        finish(Outcome::HttpError,
               QStringLiteral("服务器回答 HTTP %1 %2").arg(t->status).arg(reason).trimmed(),
               t->status);
        return;
    }
    if (reply->error() != QNetworkReply::NoError) {
        finish(Outcome::NetworkError, reply->errorString(), int(reply->error()));
        return;
    }
    if (t->status == 0) {
        finish(Outcome::NetworkError, QStringLiteral("服务器没有回答"),
               int(QNetworkReply::UnknownNetworkError));
        return;
    }
    if (t->expected >= 0 && m_received != t->expected) {
        finish(Outcome::Incomplete,
               QStringLiteral("内容不完整：收到 %1 字节，应为 %2 字节").arg(m_received).arg(t->expected),
               IncompleteBodyCode);
        return;
    }
    if (m_bodyCheck && !m_bodyCheck(t->body)) {
        finish(Outcome::Incomplete, QStringLiteral("页面不完整"), RejectedBodyCode);
        return;
    }
    finish(Outcome::Succeeded);
}

void DownloadComponent::onTimeOut()
{
    if (!m_transfer)
        return;
    finish(Outcome::TimedOut,
           QStringLiteral("超时：%1 毫秒内没有收到数据").arg(m_timeOut), TimeOutCode);
}

void DownloadComponent::finish(Outcome outcome, const QString &text, int code)
{
    if (!m_transfer)
        return;
    QPointer<DownloadComponent> self(this);

    std::unique_ptr<Transfer> t = std::move(m_transfer);
    m_timeOutTimer->stop();
    m_progressTimer->stop();
    if (t->reply) {
        // abort() raises finished() synchronously: cut the connections first.
        QObject::disconnect(t->reply, nullptr, this, nullptr);
        if (t->reply->isRunning())
            t->reply->abort();
        t->reply->deleteLater();
        t->reply = nullptr;
    }

    QString errorText = text;
    int errorCode = code;
    if (t->file) {
        if (outcome == Outcome::Succeeded) {
            if (!t->file->commit()) {
                outcome = Outcome::FileError;
                errorText = QStringLiteral("无法写入文件：%1（%2）")
                                .arg(t->request.target, t->file->errorString());
                errorCode = FileErrorCode;
            }
        } else {
            t->file->cancelWriting();
        }
    }
    m_lastOutcome = outcome;
    m_lastHttpStatus = t->status;
    m_lastErrorText = errorText;
    t.reset(); // an uncommitted temporary file is removed here

    // The last progress and the error belong to the ending transfer: a start requested from
    // their handlers waits for its transfer ended event.
    m_preEnd = true;
    if (m_received != m_reportedBytes) {
        m_reportedBytes = m_received;
        emit progress();
        if (!self)
            return;
    }
    if (outcome != Outcome::Succeeded && outcome != Outcome::Stopped) {
        emit error(errorText, errorCode);
        if (!self)
            return;
    }
    m_preEnd = false;

    emit transferEnded();
    if (!self)
        return;
    // A start requested before transfer ended (and not replaced by a newer one since) begins
    // now, unless start() itself is ending this transfer and will begin it.
    if (m_pending && !m_stoppingForStart && !m_transfer) {
        const Request next = *m_pending;
        m_pending.reset();
        begin(next);
    }
    if (outcome == Outcome::Succeeded)
        emit completed();
}

} // namespace mz
