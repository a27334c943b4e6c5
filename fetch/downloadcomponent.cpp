#include "fetch/downloadcomponent.h"

#include "fetch/completeness.h"
#include "platform/shell.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QRegularExpression>
#include <QTemporaryFile>
#include <QTimer>
#include <QUrl>

#include <filesystem>
#include <system_error>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace mz {

// The stored bytes of one page: the temporary file a transfer writes, kept between attempts
// when a transfer ends unfinished and may be resumed.
struct DownloadComponent::Partial
{
    QString url, target;
    QString written; // the file the page replaces: the target, or the file a link there names
    std::unique_ptr<QTemporaryFile> file; // open, positioned at its end; removed unless committed
    qint64 size = 0;                      // body bytes stored
    QByteArray validator;                 // ETag or Last-Modified of the first answer, for If-Range
    bool resumable = false;               // a validator and no content coding
    PageEndScanner scanner;               // "</html>" seen in the stored bytes
};

struct DownloadComponent::Transfer
{
    quint64 serial = 0;
    Request request;
    QNetworkReply *reply = nullptr;
    std::unique_ptr<Partial> part; // the body's file
    bool connectedRaised = false;
    bool bodyDecided = false; // the answer's head has been looked at
    int status = 0;
    qint64 offset = 0;    // bytes asked to skip with Range, 0 for a whole body
    qint64 startSize = 0; // bytes held when the transfer began
    qint64 expected = -1; // whole body length (Content-Length, Content-Range), -1 when unknown
};

namespace {

bool isSuccessStatus(int status)
{
    return status >= 200 && status < 300;
}

QString sizeText(qint64 bytes)
{
    if (bytes >= 1024 * 1024 && bytes % (1024 * 1024) == 0)
        return QStringLiteral("%1 MB").arg(bytes / (1024 * 1024));
    if (bytes >= 1024 && bytes % 1024 == 0)
        return QStringLiteral("%1 KB").arg(bytes / 1024);
    return QStringLiteral("%1 字节").arg(bytes);
}

QString durationText(int ms)
{
    if (ms >= 60000 && ms % 60000 == 0)
        return QStringLiteral("%1分钟").arg(ms / 60000);
    if (ms >= 1000 && ms % 1000 == 0)
        return QStringLiteral("%1秒").arg(ms / 1000);
    return QStringLiteral("%1毫秒").arg(ms);
}

// The texts a window shows for the two limits.
QString tooLargeText(qint64 cap)
{
    return QStringLiteral("页面过大：超过 %1").arg(sizeText(cap));
}

QString deadlineText(int ms)
{
    return QStringLiteral("下载超时：%1内没有下载完").arg(durationText(ms));
}

// A failure of the network in the window's language (Qt's own texts are English); one without a
// text of its own keeps Qt's behind a Chinese word.
QString networkErrorText(QNetworkReply::NetworkError code, const QString &qtText)
{
    using E = QNetworkReply::NetworkError;
    switch (code) {
    case E::ConnectionRefusedError:
        return QStringLiteral("服务器拒绝连接");
    case E::RemoteHostClosedError:
        return QStringLiteral("服务器中途断开了连接");
    case E::HostNotFoundError:
        return QStringLiteral("找不到服务器");
    case E::TimeoutError:
        return QStringLiteral("连接服务器超时");
    case E::TemporaryNetworkFailureError:
    case E::NetworkSessionFailedError:
        return QStringLiteral("网络暂时不可用");
    case E::SslHandshakeFailedError:
        return QStringLiteral("无法建立安全连接");
    case E::TooManyRedirectsError:
        return QStringLiteral("服务器转向的次数太多");
    case E::InsecureRedirectError:
        return QStringLiteral("服务器转向了不安全的地址");
    case E::ProxyConnectionRefusedError:
    case E::ProxyConnectionClosedError:
    case E::ProxyNotFoundError:
    case E::ProxyTimeoutError:
    case E::ProxyAuthenticationRequiredError:
        return QStringLiteral("代理服务器出错");
    case E::ProtocolUnknownError:
        return QStringLiteral("不支持这种地址");
    default:
        return QStringLiteral("网络错误：") + qtText;
    }
}

// "bytes 100-199/200" -> first 100, total 200 ("*" gives -1). False when malformed.
bool parseContentRange(const QByteArray &value, qint64 *first, qint64 *total)
{
    const QByteArray v = value.trimmed();
    if (!v.toLower().startsWith("bytes "))
        return false;
    const QByteArray rangeText = v.mid(6).trimmed();
    const qsizetype dash = rangeText.indexOf('-'), slash = rangeText.indexOf('/');
    if (dash <= 0 || slash <= dash)
        return false;
    bool ok1 = false, ok2 = false;
    *first = rangeText.left(dash).toLongLong(&ok1);
    const qint64 last = rangeText.mid(dash + 1, slash - dash - 1).toLongLong(&ok2);
    if (!ok1 || !ok2 || last < *first)
        return false;
    const QByteArray totalText = rangeText.mid(slash + 1);
    if (totalText == "*") {
        *total = -1;
        return true;
    }
    bool ok3 = false;
    *total = totalText.toLongLong(&ok3);
    return ok3 && *total > last;
}

// The server part of an address ("http://host:port"), for what the component learnt about it.
QString serverOf(const QUrl &url)
{
    return url
        .adjusted(QUrl::RemoveUserInfo | QUrl::RemovePath | QUrl::RemoveQuery |
                  QUrl::RemoveFragment)
        .toString();
}

// Why a write to `file` failed. A buffered write that the disk took only in part reports no
// reason (the short count is no error to Qt: "Unknown error"); the buffered rest written once
// more meets the error itself, such as a full disk.
QString writeFailure(QFileDevice &file)
{
    const QString first = file.errorString();
    file.unsetError();
    if (!file.flush() && file.error() != QFileDevice::NoError)
        return file.errorString();
    return first;
}

// Replaces `to` by `from` in one step (an existing `to` is overwritten).
bool renameOver(const QString &from, const QString &to, QString *error)
{
    std::error_code ec;
    std::filesystem::rename(std::filesystem::path(from.toStdU16String()),
                            std::filesystem::path(to.toStdU16String()), ec);
    if (ec && error)
        *error = QString::fromLocal8Bit(ec.message());
    return !ec;
}

#ifdef Q_OS_UNIX
// The mode a program's new file gets (0666 less the process's umask). Read from the kernel's
// status of the process, which leaves the umask alone; setting it to learn it would race with
// other threads creating files.
mode_t newFileMode()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (!line.startsWith("Umask:"))
                continue;
            bool ok = false;
            const uint mask = line.mid(6).trimmed().toUInt(&ok, 8);
            if (ok)
                return mode_t(0666 & ~mask);
        }
    }
    return 0644;
}
#endif

// The file `path` names in the end. A stored page may be a link to the user's own copy elsewhere:
// the page replaces that file and the link stays, as the settings files are rewritten
// (QSaveFile follows links the same way). A loop of links is replaced as it stands.
QString linkedFile(const QString &path)
{
    QFileInfo info(path);
    for (int i = 0; i < 40 && info.isSymLink(); ++i)
        info.setFile(info.symLinkTarget());
    return info.isSymLink() ? path : info.filePath();
}

} // namespace

QString partialFileTemplate(const QString &fileName)
{
    return fileName + QStringLiteral(".XXXXXX.part");
}

QString partialFileTarget(const QString &name)
{
    // QTemporaryFile fills the six places with ASCII letters.
    static const QRegularExpression pattern(QStringLiteral("^(.+)\\.[A-Za-z]{6}\\.part$"));
    const QRegularExpressionMatch match = pattern.match(name);
    return match.hasMatch() ? match.captured(1) : QString();
}

DownloadComponent::DownloadComponent(int index, QObject *parent) : QObject(parent), m_index(index)
{
    m_manager = new QNetworkAccessManager(this);
    m_manager->setProxy(QNetworkProxy::NoProxy);

    m_timeOutTimer = new QTimer(this);
    m_timeOutTimer->setSingleShot(true);
    connect(m_timeOutTimer, &QTimer::timeout, this, &DownloadComponent::onTimeOut);

    m_deadlineTimer = new QTimer(this);
    m_deadlineTimer->setSingleShot(true);
    connect(m_deadlineTimer, &QTimer::timeout, this, &DownloadComponent::onDeadline);

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
    // Unfinished temporary files (running or kept) are removed by their QTemporaryFile.
}

void DownloadComponent::setKeepPartial(bool keep)
{
    m_keepPartial = keep;
    if (!keep)
        m_partials.clear();
}

qint64 DownloadComponent::resumableBytes(const QString &url, const QString &targetPath) const
{
    for (const auto &part : m_partials) {
        if (part->url == url && part->target == targetPath)
            return part->size;
    }
    return 0;
}

void DownloadComponent::start(const QString &url, const QString &targetPath, qint64 startAt,
                              bool overwrite)
{
    Request request{url, targetPath, startAt, overwrite};
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
    m_lastGained = false;
    m_lastNewBytes = 0;

    auto transfer = std::make_unique<Transfer>();
    transfer->serial = ++m_serial;
    transfer->request = request;
    Transfer *t = transfer.get();
    m_transfer = std::move(transfer);

    // Resume only the very bytes the caller asked for; anything else kept of this page (or for
    // this target) is dropped. What is kept of other pages stays for their own next start.
    for (auto it = m_partials.begin(); it != m_partials.end();) {
        std::unique_ptr<Partial> &part = *it;
        if (part->url != request.url && part->target != request.target) {
            ++it;
            continue;
        }
        if (!t->part && request.startAt > 0 && part->resumable && part->url == request.url &&
            part->target == request.target && part->size == request.startAt) {
            t->part = std::move(part);
            t->offset = t->startSize = t->part->size;
            m_received = m_reportedBytes = t->offset;
        }
        it = m_partials.erase(it);
    }

    // Problems found before anything is sent end the transfer from the event loop, so that
    // start() never raises transfer ended inside the caller.
    auto failLater = [this, serial = t->serial](Outcome outcome, const QString &text, int code) {
        QTimer::singleShot(0, this, [this, serial, outcome, text, code] {
            if (m_transfer && m_transfer->serial == serial)
                finish(outcome, text, code);
        });
    };

    // Tabs and line breaks a page left inside the address are dropped, as a browser drops them.
    const QUrl url(browserAddress(request.url), QUrl::TolerantMode);
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
    if (!t->part) {
        auto part = std::make_unique<Partial>();
        part->url = request.url;
        part->target = request.target;
        part->written = linkedFile(request.target);
#ifdef Q_OS_UNIX
        // A page replaces a file. What a link leads to may be a device, a FIFO or a folder
        // elsewhere (a link to /dev/null): that is not replaced by a page, nor is a temporary file
        // made beside it.
        struct stat st = {};
        if (::stat(QFile::encodeName(part->written).constData(), &st) == 0 &&
            !S_ISREG(st.st_mode)) {
            failLater(Outcome::FileError,
                      QStringLiteral("无法写入文件：%1（它不是普通文件）").arg(request.target),
                      FileErrorCode);
            return;
        }
#endif
        // Beside the file it replaces, so that the final rename stays on one file system.
        const QFileInfo info(part->written);
        part->file = std::make_unique<QTemporaryFile>(
            info.absoluteDir().filePath(partialFileTemplate(info.fileName())));
        const bool opened = info.absoluteDir().exists() && part->file->open();
        const QString why = part->file->errorString();
        t->part = std::move(part);
        if (!opened) {
            failLater(Outcome::FileError,
                      QStringLiteral("无法写入文件：%1（%2）").arg(request.target, why),
                      FileErrorCode);
            return;
        }
    }
    // Each attempt has the whole deadline: one that resumes continues what an earlier attempt
    // stored instead of fetching it again, so the deadline bounds an attempt, not the page.
    if (m_deadline > 0)
        m_deadlineTimer->start(m_deadline);

    QNetworkRequest req(url);
    req.setHeader(QNetworkRequest::UserAgentHeader, m_userAgent);
    req.setRawHeader("Accept", m_accept.toLatin1());
    if (m_useReferer) {
        req.setRawHeader("Referer",
                         m_referer.isEmpty() ? url.toEncoded() : QUrl(m_referer).toEncoded());
    }
    // A compressed body cannot be continued by byte ranges. A server known to compress anyway
    // is left to the network layer, which then asks for a coding it unpacks.
    if (m_keepPartial && !m_codingServers.contains(serverOf(url)))
        req.setRawHeader("Accept-Encoding", "identity");
    if (t->offset > 0) {
        req.setRawHeader("Range", "bytes=" + QByteArray::number(t->offset) + '-');
        req.setRawHeader("If-Range", t->part->validator);
    }
    req.setAttribute(QNetworkRequest::CookieLoadControlAttribute, QNetworkRequest::Manual);
    req.setAttribute(QNetworkRequest::CookieSaveControlAttribute, QNetworkRequest::Manual);
    req.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    req.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);

    QNetworkReply *reply = m_manager->get(req);
    t->reply = reply;
    connect(reply, &QNetworkReply::requestSent, this, &DownloadComponent::onConnected);
    connect(reply, &QNetworkReply::metaDataChanged, this, &DownloadComponent::onMetaData);
    // A redirection's own head arrives first; the page's head, at the address redirected to, is
    // the one that decides the body.
    connect(reply, &QNetworkReply::redirected, this, [this, reply] {
        if (!m_transfer || m_transfer->reply != reply)
            return;
        m_transfer->bodyDecided = false;
        m_transfer->status = 0;
        m_transfer->expected = -1;
    });
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

bool DownloadComponent::isAnswered() const
{
    return m_transfer && m_transfer->bodyDecided;
}

void DownloadComponent::onMetaData()
{
    if (!m_transfer || !m_transfer->reply)
        return;
    Transfer *t = m_transfer.get();
    QNetworkReply *reply = t->reply;
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status == 0)
        return; // no answer head yet
    m_timeOutTimer->start(m_timeOut);
    t->status = status;
    if (t->bodyDecided) {
        onConnected();
        return;
    }
    t->bodyDecided = true;
    const quint64 serial = t->serial;
    QPointer<DownloadComponent> self(this);
    onConnected();
    if (!self || !m_transfer || m_transfer->serial != serial)
        return;

    const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
    const QByteArray encoding = reply->rawHeader("Content-Encoding").trimmed().toLower();
    // A compressed body is unpacked on the way in; its length no longer matches the header.
    const bool comparable = encoding.isEmpty() || encoding == "identity";
    const qint64 announced = length.isValid() && comparable ? length.toLongLong() : -1;
    if (!isSuccessStatus(status)) {
        t->expected = announced;
        return; // an error page: counted, never stored
    }
    if (!comparable && reply->request().rawHeader("Accept-Encoding") == "identity") {
        // Asked for the body as it is, the server compressed it all the same: the network layer
        // unpacks only a coding it asked for, so these bytes are not the page. The next attempt
        // on this server lets the network layer ask for (and unpack) a coding.
        m_codingServers.insert(serverOf(QUrl(t->request.url, QUrl::TolerantMode)));
        finish(
            Outcome::Incomplete,
            QStringLiteral("服务器送来了未要求的压缩内容（%1）").arg(QString::fromLatin1(encoding)),
            RejectedBodyCode);
        return;
    }
    Partial &part = *t->part;
    if (status == 206) {
        qint64 first = -1, total = -1;
        const QByteArray etag = reply->rawHeader("ETag");
        const bool continues =
            t->offset > 0 && comparable &&
            parseContentRange(reply->rawHeader("Content-Range"), &first, &total) &&
            first == t->offset &&
            (etag.isEmpty() || !part.validator.startsWith('"') || etag == part.validator);
        if (!continues) {
            part.resumable = false; // the next attempt starts from zero
            finish(Outcome::Incomplete, QStringLiteral("服务器送来的片段接不上已收到的内容"),
                   BadRangeCode);
            return;
        }
        t->expected = total >= 0 ? total : (announced >= 0 ? t->offset + announced : -1);
    } else {
        if (t->offset > 0) {
            // The whole page again (ranges not supported, or the page changed): start over.
            if (!part.file->resize(0) || !part.file->seek(0)) {
                finish(Outcome::FileError,
                       QStringLiteral("无法写入文件：%1（%2）")
                           .arg(t->request.target, part.file->errorString()),
                       FileErrorCode);
                return;
            }
            part.size = 0;
            part.scanner.reset();
            t->offset = 0;
            m_received = 0;
            m_reportedBytes = -1;
        }
        const QByteArray etag = reply->rawHeader("ETag");
        part.validator =
            !etag.isEmpty() && !etag.startsWith("W/") ? etag : reply->rawHeader("Last-Modified");
        part.resumable = comparable && !part.validator.isEmpty();
        t->expected = announced;
    }
    if (m_maxBytes > 0 && t->expected > m_maxBytes) {
        finish(Outcome::TooLarge, tooLargeText(m_maxBytes), TooLargeCode);
    }
}

bool DownloadComponent::storeChunk(QByteArrayView data)
{
    Transfer *t = m_transfer.get();
    Partial &part = *t->part;
    // A write the disk takes only in part is no error to Qt; the rest is written again, which
    // either completes it or meets the error itself.
    qint64 done = 0;
    for (qint64 w = 0; done < data.size(); done += w) {
        w = part.file->write(data.data() + done, data.size() - done);
        if (w <= 0)
            break;
    }
    if (done != data.size()) {
        finish(Outcome::FileError,
               QStringLiteral("无法写入文件：%1（%2）")
                   .arg(t->request.target, writeFailure(*part.file)),
               FileErrorCode);
        return false;
    }
    part.size += data.size();
    part.scanner.feed(data);
    return true;
}

void DownloadComponent::onReadyRead()
{
    if (!m_transfer || !m_transfer->reply)
        return;
    const quint64 serial = m_transfer->serial;
    if (!m_transfer->bodyDecided) {
        QPointer<DownloadComponent> self(this);
        onMetaData();
        if (!self || !m_transfer || m_transfer->serial != serial || !m_transfer->reply)
            return;
    }
    Transfer *t = m_transfer.get();
    const QByteArray data = t->reply->readAll();
    if (data.isEmpty())
        return;
    m_timeOutTimer->start(m_timeOut);
    if (m_maxBytes > 0 && m_received + data.size() > m_maxBytes) {
        m_received = m_maxBytes; // what may be kept of it; the rest is never stored
        if (isSuccessStatus(t->status))
            finish(Outcome::TooLarge, tooLargeText(m_maxBytes), TooLargeCode);
        else
            finish(Outcome::HttpError, QStringLiteral("服务器回答 HTTP %1").arg(t->status),
                   t->status);
        return;
    }
    m_received += data.size();
    // The body of an error page is counted but never stored.
    if (isSuccessStatus(t->status) && !storeChunk(data))
        return;
    if (!m_sinceProgress.isValid() || m_sinceProgress.elapsed() >= m_progressInterval)
        emitProgress();
    else if (!m_progressTimer->isActive())
        m_progressTimer->start(int(m_progressInterval - m_sinceProgress.elapsed()));
}

qint64 DownloadComponent::totalBytes() const
{
    return m_transfer && isSuccessStatus(m_transfer->status) ? m_transfer->expected : -1;
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

bool DownloadComponent::bodyPassesChecks()
{
    Partial &part = *m_transfer->part;
    if (m_requirePageEnd && !part.scanner.found())
        return false;
    if (!m_bodyCheck)
        return true;
    if (!part.file->flush())
        return false;
    if (part.size == 0)
        return m_bodyCheck(QByteArrayView());
    // A view of the stored file: the check reads what will replace the target, without a copy.
    if (uchar *mapped = part.file->map(0, part.size)) {
        const bool ok = m_bodyCheck(QByteArrayView(mapped, part.size));
        part.file->unmap(mapped);
        return ok;
    }
    QFile again(part.file->fileName());
    return again.open(QIODevice::ReadOnly) && m_bodyCheck(again.readAll());
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
        finish(Outcome::NetworkError, networkErrorText(reply->error(), reply->errorString()),
               int(reply->error()));
        return;
    }
    if (t->status == 0) {
        finish(Outcome::NetworkError, QStringLiteral("服务器没有回答"),
               int(QNetworkReply::UnknownNetworkError));
        return;
    }
    if (t->expected >= 0 && m_received != t->expected) {
        finish(Outcome::Incomplete,
               QStringLiteral("内容不完整：收到 %1 字节，应为 %2 字节")
                   .arg(m_received)
                   .arg(t->expected),
               IncompleteBodyCode);
        return;
    }
    if (!bodyPassesChecks()) {
        finish(Outcome::Incomplete, QStringLiteral("页面不完整"), RejectedBodyCode);
        return;
    }
    finish(Outcome::Succeeded);
}

void DownloadComponent::onTimeOut()
{
    if (!m_transfer)
        return;
    finish(Outcome::TimedOut, QStringLiteral("超时：%1 毫秒内没有收到数据").arg(m_timeOut),
           TimeOutCode);
}

void DownloadComponent::onDeadline()
{
    if (!m_transfer)
        return;
    finish(Outcome::DeadlineExceeded, deadlineText(m_deadline), DeadlineCode);
}

bool DownloadComponent::commitTarget(QString *error)
{
    Transfer *t = m_transfer.get();
    QTemporaryFile &file = *t->part->file;
    // A full disk may show only when buffered bytes are flushed: check before the rename.
    bool ok = file.flush() && file.error() == QFileDevice::NoError;
#ifdef Q_OS_UNIX
    ok = ok && ::fsync(file.handle()) == 0;
#endif
    if (!ok) {
        *error = writeFailure(file);
        return false;
    }
    if (!t->request.overwrite && QFile::exists(t->request.target)) {
        *error = QStringLiteral("文件已存在");
        return false;
    }
    // The temporary file is private to its owner: the page takes over the permissions of the file
    // it replaces (one shared with others stays readable by them), as QSaveFile keeps them, and a
    // new page gets those of any new file of the program.
    if (const QFileInfo replaced(t->part->written); replaced.isFile())
        file.setPermissions(replaced.permissions());
#ifdef Q_OS_UNIX
    else
        ::fchmod(file.handle(), newFileMode());
#endif
    file.close();
    if (!renameOver(file.fileName(), t->part->written, error))
        return false;
    file.setAutoRemove(false); // it is the target now
    return true;
}

void DownloadComponent::finish(Outcome outcome, const QString &text, int code)
{
    if (!m_transfer)
        return;
    QPointer<DownloadComponent> self(this);

    QString errorText = text;
    int errorCode = code;
    if (outcome == Outcome::Succeeded) {
        QString why;
        if (!commitTarget(&why)) {
            outcome = Outcome::FileError;
            errorText =
                QStringLiteral("无法写入文件：%1（%2）").arg(m_transfer->request.target, why);
            errorCode = FileErrorCode;
        }
    }

    std::unique_ptr<Transfer> t = std::move(m_transfer);
    m_timeOutTimer->stop();
    m_deadlineTimer->stop();
    m_progressTimer->stop();
    if (t->reply) {
        // abort() raises finished() synchronously: cut the connections first.
        QObject::disconnect(t->reply, nullptr, this, nullptr);
        if (t->reply->isRunning())
            t->reply->abort();
        t->reply->deleteLater();
        t->reply = nullptr;
    }

    // Keep the stored bytes of a transfer that was merely cut short (the deadline too ends an
    // attempt that may still be on its way: on a slow line the rest follows in the next one); a
    // body that is complete but refused, too large, or not continuable is of no use to a later
    // attempt.
    const bool cutShort = outcome == Outcome::Stopped || outcome == Outcome::TimedOut ||
                          outcome == Outcome::NetworkError ||
                          outcome == Outcome::DeadlineExceeded ||
                          (outcome == Outcome::HttpError && t->status != 416) ||
                          (outcome == Outcome::Incomplete && errorCode == IncompleteBodyCode &&
                           m_received < t->expected);
    // Kept bytes must be on disk: a later attempt appends to them (a full disk may show only
    // when the buffer is flushed).
    const bool keep = m_keepPartial && cutShort && t->part && t->part->resumable &&
                      t->part->size > 0 && t->part->file->flush();
    m_lastGained = outcome == Outcome::Succeeded || (keep && t->part->size > t->startSize);
    m_lastNewBytes = (outcome == Outcome::Succeeded || keep) && t->part
                         ? qMax<qint64>(0, t->part->size - t->startSize)
                         : 0;
    if (keep) {
        m_partials.push_back(std::move(t->part));
        if (m_partials.size() > kKeptPages)
            m_partials.erase(m_partials.begin()); // the oldest
    }

    m_lastOutcome = outcome;
    m_lastHttpStatus = t->status;
    m_lastErrorText = errorText;
    t.reset(); // an uncommitted temporary file that is not kept is removed here

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
