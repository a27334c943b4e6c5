#pragma once
// Hands an address (web page or mailto:) to the system's default handler. The real opener uses
// QDesktopServices and lives with the widgets; tests pass a recorder.

#include <QList>
#include <QUrl>

namespace mz {

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
