#pragma once
// Downloading the ticked articles into News_save on the three jfDownEX2 instances (Timer2 hands
// out the queue) and rewriting each arrived page from the templates.
//
// The queue holds one column (address, target path) per ticked row; Timer2 hands the column at
// the cursor to each idle instance in index order. An arrived page is cut with the markers of
// fenli.ini and rebuilt from template.ini; when the templates or the page's markers are missing
// the page is kept as it arrived and the status bar says so once, when the batch is done.

#include "lists/headline.h"

#include <QList>
#include <QObject>
#include <QStringList>

#include <array>

class QTimer;
class WindowStatus;

namespace mz {
class DownloadComponent;
class MessageFunnel;
}

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
        QString url, path;
    };

    bool anyBusy() const;
    void keep(const QString &reason);
    void rewrite(const QString &path);
    void checkFinished();

    Components m_components;
    QTimer *m_timer;
    QString m_folder;
    WindowStatus &m_status;
    mz::MessageFunnel *m_messages;
    QList<Column> m_queue;    // the queued articles
    int m_cursor = 0;         // the column handed out next
    bool m_batchOpen = false; // "下载完成" is still due for the running batch
    int m_kept = 0;           // articles of the batch kept as they arrived
    QStringList m_problems;   // why, each reason once
};
