#pragma once
// The personal front page of one day: built from the day's stored archive and the answers in
// flash.ini, shown in the browser pane and saved beside the archive. Whatever keeps the page from
// being built is told in a message box; the pane is never left showing an empty page.

#include <QObject>
#include <QString>

class QTextBrowser;
class WindowStatus;

namespace mz {
class MessageFunnel;
struct Day;
} // namespace mz

class PersonalFrontPage : public QObject
{
    Q_OBJECT

public:
    enum class Outcome {
        Shown,     // the page is in the pane (saved, or the user was told it was not)
        NoAnswers, // nothing answered yet: the caller offers the options dialog
        Failed,    // the user was told why; the pane is unchanged
    };

    PersonalFrontPage(QTextBrowser *browser, const QString &folder, const QString &portalBase,
                      mz::MessageFunnel *messages, WindowStatus &status, QObject *parent = nullptr);

    // Builds the page of `day` from `archiveFile` and puts it into the pane. The pane's
    // visibility is left to the caller. Every outcome but Shown has been told in a message box.
    // While the day's archive is on its way (`archiveComing`) a missing or empty one is not sent
    // to be downloaded: the download command is off for the day until it has arrived.
    Outcome build(const mz::Day &day, const QString &archiveFile, bool archiveComing = false);
    static QString archiveOnItsWay(const QString &dayLabel);
    // Where the last page was saved; empty when it was not.
    QString savedPath() const { return m_savedPath; }

private:
    void tell(const QString &text);

    QTextBrowser *m_browser;
    QString m_folder;
    QString m_portalBase;
    mz::MessageFunnel *m_messages;
    WindowStatus &m_status;
    QString m_savedPath;
};
