#pragma once
// Hands addresses to the system's browser or mail program. Addresses that come from the portal's
// pages (article and comment addresses) may open web pages only: a damaged or hostile page must
// not get a local file, a script or a prepared mail handed to the desktop. Mails the program
// composes itself go through openMail. A failure is reported in panel "s1" with the address.

#include <QObject>
#include <QString>

class QUrl;
class WindowStatus;

namespace mz {
class UrlOpener;
}

class LinkOpener : public QObject
{
    Q_OBJECT

public:
    LinkOpener(mz::UrlOpener *opener, WindowStatus &status, QObject *parent = nullptr);

    // An http or https address with a host; anything else is refused. True when handed over.
    bool openPageAddress(const QString &address);
    // A mailto: address composed by the program.
    bool openMail(const QUrl &mail);

private:
    bool hand(const QUrl &url, const QString &shown);

    mz::UrlOpener *m_opener;
    WindowStatus &m_status;
};
