#pragma once
// The HTTP download component: one instance carries one transfer at a time, fetches an address
// with GET and stores the body in a file, raising its six events on the thread it lives on.
//
// The body streams to a temporary file beside the target; it is never held whole in memory. The
// target is replaced (by a rename, after the file was flushed without error) only when the
// transfer finished with an HTTP 2xx status and the whole body (as many bytes as a
// Content-Length header announced) that passed the body checks; anything else leaves an existing
// target untouched.
//
// Every transfer is bounded: a size cap (a body that would grow past it ends the transfer as
// TooLarge) and an overall deadline (a transfer still running when it passes ends as
// DeadlineExceeded), besides the time-out for a transfer that receives nothing at all.
//
// Resuming: with keepPartial set, a transfer that ends unfinished (stopped, timed out, cut off,
// ended by the deadline) keeps the bytes it stored (of the last four such pages), and a later
// start for the same address and target may continue from there (start with startAt =
// resumableBytes(url, target)); a start of another page in between leaves them. The
// component then asks for the rest with "Range: bytes=N-" and "If-Range"; it appends when the
// server answers 206 with a Content-Range that begins at N, and starts again from zero when the
// server answers 200 (it ignores ranges, or the page has changed). Only a page whose first answer
// carried a validator (ETag or Last-Modified) and no content coding is resumed, so that two
// versions of a changing page are never spliced together. A resumed transfer has a deadline of
// its own: on a slow line each attempt brings more of the page.
// With keepPartial the body is asked for without a content coding; a server that compresses it
// all the same has that answer refused (Incomplete, RejectedBodyCode), since the network layer
// unpacks only a coding it asked for. Later transfers from that server ask for a coding the
// network layer unpacks, and are not resumable.
//
// For every transfer the events come in this order: connecting, connected (once the request is
// on its way), progress (at most once per progress interval, plus a last one before the end),
// error (only for a failed transfer, not for a stop), transfer ended (always exactly once),
// completed (only after a success). When transfer ended is raised the component is already idle:
// a handler of transfer ended or completed may start the next transfer at once (even from inside
// a modal message box); the ended transfer's completed event still follows its transfer ended.

#include <QElapsedTimer>
#include <QObject>
#include <QSet>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class QNetworkAccessManager;
class QTimer;

namespace mz {

// The name of the temporary file a transfer writes beside its target `fileName` until the page
// is complete: the target's name, "." and six letters, ".part". The file goes with the transfer;
// only a process killed outright leaves it behind.
QString partialFileTemplate(const QString &fileName); // fileName + ".XXXXXX.part"
// The target's name when `name` is such a temporary file's, else a null string.
QString partialFileTarget(const QString &name);

class DownloadComponent : public QObject
{
    Q_OBJECT

public:
    // How the last transfer ended; valid from its transfer ended event on.
    // TimedOut: nothing arrived for timeOut(); DeadlineExceeded: the whole transfer took longer
    // than deadline(); TooLarge: the body would grow past maxBytes().
    enum class Outcome {
        None,
        Succeeded,
        Stopped,
        TimedOut,
        HttpError,
        Incomplete,
        NetworkError,
        FileError,
        TooLarge,
        DeadlineExceeded,
    };
    Q_ENUM(Outcome)

    // Error codes beside HTTP statuses (400-599) and QNetworkReply::NetworkError values.
    enum ErrorCode {
        TimeOutCode = -1,
        IncompleteBodyCode = -2, // fewer (or more) bytes than Content-Length announced
        FileErrorCode = -3,
        TargetExistsCode = -4,
        RejectedBodyCode = -5, // the body check refused the body
        TooLargeCode = -6,     // the body would grow past maxBytes()
        DeadlineCode = -7,     // the transfer took longer than deadline()
        BadRangeCode = -8,     // a 206 answer that does not continue the kept bytes
    };
    using BodyCheck = std::function<bool(QByteArrayView body)>;

    explicit DownloadComponent(int index = -1, QObject *parent = nullptr);
    ~DownloadComponent() override; // ends a running transfer silently, raising nothing

    // Position in a control array (0-2 for jfDownEX2), -1 for a single instance.
    int index() const { return m_index; }

    // Free text the window keeps with the instance.
    QString tag() const { return m_tag; }
    void setTag(const QString &tag) { m_tag = tag; }

    // Settings. The time-out ends a transfer that receives nothing for that long.
    int timeOut() const { return m_timeOut; }
    void setTimeOut(int ms) { m_timeOut = ms; }
    QString userAgent() const { return m_userAgent; }
    void setUserAgent(const QString &agent) { m_userAgent = agent; }
    QString accept() const { return m_accept; }
    void setAccept(const QString &accept) { m_accept = accept; }
    bool useReferer() const { return m_useReferer; }
    void setUseReferer(bool use) { m_useReferer = use; }
    // The Referer sent when useReferer is set; empty means the requested address itself.
    QString referer() const { return m_referer; }
    void setReferer(const QString &referer) { m_referer = referer; }
    int progressInterval() const { return m_progressInterval; }
    void setProgressInterval(int ms) { m_progressInterval = ms; }
    // Size cap for one body (default 64 MB): an announced or received body larger than this
    // ends the transfer as TooLarge. 0 or less: no cap.
    qint64 maxBytes() const { return m_maxBytes; }
    void setMaxBytes(qint64 bytes) { m_maxBytes = bytes; }
    // Overall deadline of one transfer in ms (default 10 minutes), from its start; a resumed
    // transfer has its own. 0 or less: none.
    int deadline() const { return m_deadline; }
    void setDeadline(int ms) { m_deadline = ms; }
    // Requires "</html>" (any ASCII case) in the body, looked for while the body streams in: a
    // 2xx body without it ends the transfer as Incomplete (RejectedBodyCode) and the target keeps
    // what it held. This is the page completeness test without a second pass over the body.
    bool requiresPageEnd() const { return m_requirePageEnd; }
    void setRequirePageEnd(bool require) { m_requirePageEnd = require; }
    // A test the whole body must pass before it may replace the target. It gets a view of the
    // stored temporary file (mapped, not copied into memory). A body that fails it ends the
    // transfer as Incomplete, and the target keeps what it held. Prefer setRequirePageEnd for
    // the page completeness test: it needs no pass over the body at the end.
    void setBodyCheck(BodyCheck check) { m_bodyCheck = std::move(check); }
    // Keep the bytes of an unfinished transfer so that the next start may resume it (see above).
    // Off by default: then an unfinished transfer leaves no file behind.
    bool keepsPartial() const { return m_keepPartial; }
    void setKeepPartial(bool keep);

    // Starts fetching `url` into `targetPath`. `startAt` > 0 asks to resume: honoured when the
    // component kept exactly that many bytes of `url` for `targetPath` (resumableBytes), else the
    // transfer starts from zero; 0 always starts from zero and drops any kept bytes. With
    // `overwrite` false an existing target makes the transfer fail instead. A running transfer
    // is ended first (with its transfer ended event). Problems found here are reported through
    // the events from the event loop, never from inside this call.
    // A start requested while a transfer is being ended (from the handlers of its last progress
    // or error event, or while start() itself ends the running transfer) waits until that
    // transfer's transfer ended event has been raised; when several are requested, the latest
    // wins. Handlers therefore never see a new transfer before the old one has ended.
    void start(const QString &url, const QString &targetPath, qint64 startAt = 0,
               bool overwrite = true);
    // Ends the running transfer (transfer ended is raised before this returns); harmless when
    // idle. It also cancels a start that is waiting as described above.
    void stop();

    // Bytes of the body received so far, a kept part that this transfer resumes included.
    qint64 receivedBytes() const { return m_received; }
    // Length of the running transfer's whole body as its answer announced it (Content-Length, or
    // the total of a Content-Range), -1 when the server sent none, for an error page, or when idle.
    qint64 totalBytes() const;
    // Bytes kept from an unfinished transfer of `url` into `targetPath`, 0 when none.
    qint64 resumableBytes(const QString &url, const QString &targetPath) const;
    // True when the last transfer ended holding more of its page than it began with: it
    // succeeded, or it kept more bytes for a resume. A retry loop counts only attempts that
    // brought nothing toward its limit.
    bool lastTransferGainedBytes() const { return m_lastGained; }
    // How many bytes of its page the last transfer added to those it began with, counting only
    // bytes that were stored (a success) or kept for a resume; 0 for bytes it threw away.
    qint64 lastTransferNewBytes() const { return m_lastNewBytes; }
    // True once the running transfer's server has answered (the answer's head has arrived);
    // false while the request waits for a connection or for the first answer, and when idle.
    bool isAnswered() const;
    // True from a start request until its transfer has ended.
    bool isBusy() const { return m_transfer != nullptr || m_pending != nullptr; }

    Outcome lastOutcome() const { return m_lastOutcome; }
    int lastHttpStatus() const { return m_lastHttpStatus; }
    QString lastErrorText() const { return m_lastErrorText; }
    bool lastTransferSucceeded() const { return m_lastOutcome == Outcome::Succeeded; }

signals:
    void connecting();
    void connected();
    void progress();
    void error(const QString &text, int code);
    void transferEnded();
    void completed();

private:
    struct Transfer;
    struct Partial;
    struct Request
    {
        QString url, target;
        qint64 startAt = 0;
        bool overwrite = true;
    };

    void begin(const Request &request);
    void onConnected();
    void onMetaData();
    void onReadyRead();
    void onFinished();
    void onTimeOut();
    void onDeadline();
    bool storeChunk(QByteArrayView data);
    bool bodyPassesChecks();
    bool commitTarget(QString *error);
    void emitProgress();
    void finish(Outcome outcome, const QString &text = QString(), int code = 0);

    QNetworkAccessManager *m_manager = nullptr;
    QTimer *m_timeOutTimer = nullptr;
    QTimer *m_progressTimer = nullptr;
    QTimer *m_deadlineTimer = nullptr;
    std::unique_ptr<Transfer> m_transfer;
    // Kept bytes of unfinished transfers, oldest first: a transfer of another page in between
    // (the hot news while the archive waits for a retry) does not throw them away.
    std::vector<std::unique_ptr<Partial>> m_partials;
    static constexpr std::size_t kKeptPages = 4;
    quint64 m_serial = 0;

    // A start requested while a transfer is being ended; begun after its transfer ended event.
    std::unique_ptr<Request> m_pending;
    bool m_stoppingForStart = false; // start() is ending the running transfer
    bool m_preEnd = false;           // finish() raises the last progress / error events
    bool defersStarts() const { return m_stoppingForStart || m_preEnd; }

    int m_index = -1;
    QString m_tag;
    int m_timeOut = 60000;
    QString m_userAgent = QStringLiteral("Mozilla/4.0 (compatible; MSIE 5.00; Windows 98)");
    QString m_accept = QStringLiteral("*/*");
    bool m_useReferer = true;
    QString m_referer;
    int m_progressInterval = 100;
    BodyCheck m_bodyCheck;
    // 256 MB: a day's archive page is well under a megabyte; a million entries (130 MB) still
    // fit. The body goes to its file as it arrives, so the cap guards the disk, not memory.
    qint64 m_maxBytes = 256 * 1024 * 1024;
    // 10 minutes lets a page at the size cap arrive over a line of about 450 kB/s and still
    // ends a page that drips a byte at a time well within a sitting.
    int m_deadline = 10 * 60 * 1000;
    bool m_requirePageEnd = false;
    bool m_keepPartial = false;
    // Servers ("http://host:port") that sent a compressed body although asked for it as it is.
    QSet<QString> m_codingServers;

    qint64 m_received = 0;
    qint64 m_reportedBytes = -1;
    QElapsedTimer m_sinceProgress;
    Outcome m_lastOutcome = Outcome::None;
    int m_lastHttpStatus = 0;
    QString m_lastErrorText;
    bool m_lastGained = false;
    qint64 m_lastNewBytes = 0;
};

} // namespace mz
