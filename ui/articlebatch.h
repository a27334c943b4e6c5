#pragma once
// Downloading the ticked articles into News_save on the three jfDownEX2 instances (Timer2 hands
// out the queue) and rewriting each arrived page from the templates.
//
// The queue holds one column (address, target path, title) per ticked row; Timer2 hands the
// column at the cursor to each idle instance in index order. An arrived page is cut with the
// markers of fenli.ini and rebuilt from template.ini; a page without the markers is rebuilt from
// its main text (found by text density), and one without any text, or a batch without usable
// templates, keeps the page as it arrived. Panel s1 says so once, when the batch is done.
//
// Within one batch every article gets a file of its own: a second headline with the same file
// name is saved as "名字 (2).htm". A file left by an earlier batch is replaced by the clean
// article; a page that is kept as it arrived never replaces one, it is saved beside it.

#include "lists/headline.h"

#include <QList>
#include <QObject>
#include <QSet>
#include <QStringList>

#include <array>

class QTimer;
class WindowStatus;

namespace mz {
class DownloadComponent;
class MessageFunnel;
} // namespace mz

class ArticleBatch : public QObject
{
    Q_OBJECT

public:
    using Components = std::array<mz::DownloadComponent *, 3>;

    ArticleBatch(const Components &components, QTimer *timer, const QString &folder,
                 WindowStatus &status, mz::MessageFunnel *messages, QObject *parent = nullptr);

    // Queues the ticked ones of `rows` (ListView1 as shown) and starts handing them out.
    void start(const mz::HeadlineRows &rows);
    // Timer2: hands the next queued articles to the idle instances.
    void tick();

    // The events of jfDownEX2(index).
    void onError(int index, const QString &text, int code);
    void onCompleted(int index);
    void onTransferEnded(int index);

private:
    struct Column
    {
        QString url, path, title;
        bool handedOut = false;
    };

    bool makeNewsFolder() const;
    void refuseBatch();
    bool busy(std::size_t index) const;
    bool anyBusy() const;
    void keep(const QString &reason);
    static QString arrivalPath(const QString &path);
    void rewrite(int index, const QString &path);
    QString cleanInto(const QString &arrived, const QString &path);
    void checkFinished();
    QString targetPath(const QString &title);
    QString titleOf(int index) const;

    Components m_components;
    QTimer *m_timer;
    QString m_folder;
    WindowStatus &m_status;
    mz::MessageFunnel *m_messages;
    QList<Column> m_queue;                  // the queued articles
    std::array<QString, 3> m_handedOut;     // title of the article each instance carries
    std::array<bool, 3> m_reportingError{}; // the instance's error box is still open
    int m_cursor = 0;                       // the column handed out next
    bool m_batchOpen = false;               // the final message is still due for the running batch
    int m_kept = 0;                         // articles of the batch kept as they arrived
    int m_fallback = 0;                     // articles rebuilt from their main text
    int m_failed = 0;                       // articles whose download failed
    QStringList m_problems;                 // why articles were kept, each reason once
    QSet<QString> m_taken;                  // file names the batch has given out
};
