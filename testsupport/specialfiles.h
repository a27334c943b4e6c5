#pragma once
// Things that stand under a file's name and are no regular file: what the program must refuse to
// read whole (a FIFO would hold the open, a device never ends, a folder is no file).

#include <QDir>
#include <QFile>
#include <QString>

#include <sys/stat.h>

namespace mz::test {

// Puts a "fifo", a "folder" or a "device" (a link to /dev/zero) at `path`; false when it could
// not, or for another kind.
inline bool makeSpecialFile(const QString &path, QStringView kind)
{
    if (kind == u"fifo")
        return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
    if (kind == u"folder")
        return QDir().mkdir(path);
    if (kind == u"device")
        return QFile::link(QStringLiteral("/dev/zero"), path);
    return false;
}

} // namespace mz::test
