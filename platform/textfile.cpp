#include "platform/textfile.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace mz {

QString decodeAnsi(QByteArrayView bytes)
{
    QStringDecoder decoder("GB18030");
    return decoder.decode(bytes);
}

QByteArray encodeAnsi(QStringView text)
{
    QStringEncoder encoder("GB18030");
    return encoder.encode(text);
}

qsizetype byteOrderMarkLength(QByteArrayView bytes)
{
    for (const QByteArrayView mark :
         {QByteArrayView("\xEF\xBB\xBF"), QByteArrayView("\x84\x31\x95\x33")}) {
        if (bytes.startsWith(mark))
            return mark.size();
    }
    return 0;
}

bool openRegularFile(QFile &file, const QString &path, ReadProblem *problem)
{
    const auto fail = [problem](ReadProblem why) {
        if (problem)
            *problem = why;
        return false;
    };
    if (problem)
        *problem = ReadProblem::None;
#ifdef Q_OS_UNIX
    if (!path.startsWith(u':')) {
        // A device is never opened (an open alone may act on it). The open is non-blocking, so
        // that a FIFO put in place meanwhile returns at once, and the type is checked again on
        // the open descriptor, which no rename can change.
        const QByteArray native = QFile::encodeName(path);
        struct stat st;
        if (::stat(native.constData(), &st) == 0 && !S_ISREG(st.st_mode))
            return fail(ReadProblem::NotAFile);
        const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
        if (fd < 0) {
            if (errno == ENOENT || errno == ENOTDIR)
                return fail(ReadProblem::Missing);
            return fail(errno == ENXIO || errno == EISDIR ? ReadProblem::NotAFile
                                                          : ReadProblem::Unreadable);
        }
        if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
            ::close(fd);
            return fail(ReadProblem::NotAFile);
        }
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
        if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
            ::close(fd);
            return fail(ReadProblem::Unreadable);
        }
        return true;
    }
#endif
    file.setFileName(path);
    if (!file.exists())
        return fail(ReadProblem::Missing);
    if (!file.open(QIODevice::ReadOnly))
        return fail(ReadProblem::Unreadable);
    return true;
}

std::optional<QByteArray> readFileBytes(const QString &path, qint64 maxBytes, ReadProblem *problem)
{
    ReadProblem local = ReadProblem::None;
    ReadProblem &why = problem ? *problem : local;
    QFile file;
    if (!openRegularFile(file, path, &why))
        return std::nullopt;
    if (maxBytes >= 0 && file.size() > maxBytes) {
        why = ReadProblem::TooLarge;
        return std::nullopt;
    }
    // One byte more than the limit tells a file that grew past it, without reading the whole.
    QByteArray bytes = maxBytes < 0 ? file.readAll() : file.read(maxBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        why = ReadProblem::Unreadable;
        return std::nullopt;
    }
    if (maxBytes >= 0 && bytes.size() > maxBytes) {
        why = ReadProblem::TooLarge;
        return std::nullopt;
    }
    return bytes;
}

std::optional<QString> readTextFile(const QString &path, qint64 maxBytes, ReadProblem *problem)
{
    auto bytes = readFileBytes(path, maxBytes, problem);
    if (!bytes)
        return std::nullopt;
    return decodeAnsi(*bytes);
}

QString readProblemText(ReadProblem problem, qint64 maxBytes)
{
    switch (problem) {
    case ReadProblem::None:
        break;
    case ReadProblem::Missing:
        return QStringLiteral("不存在");
    case ReadProblem::NotAFile:
        return QStringLiteral("不是普通文件");
    case ReadProblem::TooLarge:
        if (maxBytes >= 1024 * 1024 && maxBytes % (1024 * 1024) == 0)
            return QStringLiteral("过大（超过 %1 MB）").arg(maxBytes / (1024 * 1024));
        return QStringLiteral("过大（超过 %1 字节）").arg(maxBytes);
    case ReadProblem::Unreadable:
        return QStringLiteral("无法读取");
    }
    return {};
}

bool writeFileBytes(const QString &path, const QByteArray &bytes, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    // A small write only fills the device's buffer; a full disk shows at the flush, and
    // commit() would rename the short temporary file over the old one all the same. So the
    // flush is checked here, and anything that failed discards the temporary file.
    const bool written =
        file.write(bytes) == bytes.size() && file.flush() && file.error() == QFileDevice::NoError;
    if (!written) {
        if (error)
            *error = file.errorString();
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

bool writeTextFile(const QString &path, QStringView text, QString *error)
{
    return writeFileBytes(path, encodeAnsi(text), error);
}

} // namespace mz
