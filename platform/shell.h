#pragma once
// Hands an address (web page or mailto:) to the system's default handler. The real opener uses
// QDesktopServices and lives with the widgets; tests pass a recorder.

#include <QList>
#include <QUrl>

namespace mz {

// An address from a page as a web address: read leniently, as the download component reads it
// (blanks, "|" and the like percent-encoded), and kept only when it is http or https with a
// host; otherwise an empty QUrl. What is opened in the browser or linked on the front page.
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
