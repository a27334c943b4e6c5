#pragma once
// Hands an address (web page or mailto:) to the system's default handler. The real opener uses
// QDesktopServices and lives with the widgets; tests pass a recorder.

#include <QList>
#include <QString>
#include <QUrl>

namespace mz {

// An address as a browser reads it: tabs and line breaks (CR, LF) dropped wherever they stand.
// A page may break a long address inside the quotes of its href; a browser requests the address
// without them, and so does every use that takes an address out of the program (opening it,
// downloading it, mailing it, storing it as a favourite).
QString browserAddress(QString address);

// An address from a page as a web address: read as a browser reads it (browserAddress), then
// leniently, as the download component reads it (blanks, "|" and the like percent-encoded), and
// kept only when it is http or https with a host; otherwise an empty QUrl. What is opened in the
// browser or linked on the front page.
QUrl webAddress(const QString &address);

class UrlOpener
{
public:
    virtual ~UrlOpener() = default;
    virtual bool open(const QUrl &url) = 0;
};

class RecordingOpener final : public UrlOpener
{
public:
    bool open(const QUrl &url) override
    {
        opened.append(url);
        return true;
    }
    QList<QUrl> opened;
};

} // namespace mz
