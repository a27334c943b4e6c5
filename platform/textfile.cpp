#include "platform/textfile.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

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

std::optional<QByteArray> readFileBytes(const QString &path, qint64 maxBytes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    // One byte more than the limit tells a file over it, without reading the whole of it.
    QByteArray bytes = maxBytes < 0 ? file.readAll() : file.read(maxBytes + 1);
    if (file.error() != QFileDevice::NoError || (maxBytes >= 0 && bytes.size() > maxBytes))
        return std::nullopt;
    return bytes;
}

std::optional<QString> readTextFile(const QString &path, qint64 maxBytes)
{
    auto bytes = readFileBytes(path, maxBytes);
    if (!bytes)
        return std::nullopt;
    return decodeAnsi(*bytes);
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
