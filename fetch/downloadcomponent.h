#pragma once
// The HTTP download component: one instance carries one transfer at a time, fetches an address
// with GET and stores the body in a file, raising its six events on the thread it lives on.
//
// The body goes to a temporary file beside the target. The target is replaced (by a rename) only
// when the transfer finished with an HTTP 2xx status and the whole body (as many bytes as a
// Content-Length header announced); anything else leaves an existing target untouched.
//
// For every transfer the events come in this order: connecting, connected (once the request is
// on its way), progress (at most once per progress interval, plus a last one before the end),
// error (only for a failed transfer, not for a stop), transfer ended (always exactly once),
// completed (only after a success). When transfer ended is raised the component is already idle:
// a handler of transfer ended or completed may start the next transfer at once (even from inside
// a modal message box); the ended transfer's completed event still follows its transfer ended.

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class QNetworkAccessManager;
class QTimer;

namespace mz {

class DownloadComponent : public QObject
{
    Q_OBJECT

public:
    // How the last transfer ended; valid from its transfer ended event on.
    enum class Outcome { None, Succeeded, Stopped, TimedOut, HttpError, Incomplete, NetworkError, FileError };
    Q_ENUM(Outcome)

    // Error codes beside HTTP statuses (400-599) and QNetworkReply::NetworkError values.
    enum ErrorCode {
        TimeOutCode = -1,
        IncompleteBodyCode = -2, // fewer (or more) bytes than Content-Length announced
        FileErrorCode = -3,
        TargetExistsCode = -4,
        RejectedBodyCode = -5,   // the body check refused the body
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
    // A test the whole body must pass before it may replace the target (for example the page
    // completeness test). A body that fails it ends the transfer as Incomplete, and the target
    // keeps what it held. Without a check any complete 2xx body is accepted.
    void setBodyCheck(BodyCheck check) { m_bodyCheck = std::move(check); }

    // Starts fetching `url` into `targetPath`. `startAt` is reserved and must be 0; with
    // `overwrite` false an existing target makes the transfer fail instead. A running transfer
    // is ended first (with its transfer ended event). Problems found here are reported through
    // the events from the event loop, never from inside this call.
    // A start requested while a transfer is being ended (from the handlers of its last progress
    // or error event, or while start() itself ends the running transfer) waits until that
    // transfer's transfer ended event has been raised; when several are requested, the latest
    // wins. Handlers therefore never see a new transfer before the old one has ended.
    void start(const QString &url, const QString &targetPath, int startAt = 0, bool overwrite = true);
    // Ends the running transfer (transfer ended is raised before this returns); harmless when
    // idle. It also cancels a start that is waiting as described above.
    void stop();

    qint64 receivedBytes() const { return m_received; }
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
    struct Request
    {
        QString url, target;
        bool overwrite = true;
    };

    void begin(const Request &request);
    void onConnected();
    void onMetaData();
    void onReadyRead();
    void onFinished();
    void onTimeOut();
    void emitProgress();
    void finish(Outcome outcome, const QString &text = QString(), int code = 0);

    QNetworkAccessManager *m_manager = nullptr;
    QTimer *m_timeOutTimer = nullptr;
    QTimer *m_progressTimer = nullptr;
    std::unique_ptr<Transfer> m_transfer;
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

    qint64 m_received = 0;
    qint64 m_reportedBytes = -1;
    QElapsedTimer m_sinceProgress;
    Outcome m_lastOutcome = Outcome::None;
    int m_lastHttpStatus = 0;
    QString m_lastErrorText;
};

} // namespace mz
