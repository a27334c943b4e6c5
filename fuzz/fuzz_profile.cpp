// The profile functions on a real file: any file content, section, key and value. A write that
// succeeds reads back as the value; a refused write leaves the file byte for byte.
// Input: file bytes, NUL, section, NUL, key, NUL, value (GBK).

#include "fuzz/fuzzinput.h"
#include "platform/profile.h"
#include "platform/textfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace mz;

namespace {

// The value as reading returns it: without surrounding blanks and one pair of quotes.
QString asRead(const QString &value)
{
    QString v = value.trimmed();
    if (v.size() >= 2 &&
        ((v.startsWith(u'"') && v.endsWith(u'"')) || (v.startsWith(u'\'') && v.endsWith(u'\''))))
        v = v.mid(1, v.size() - 2);
    return v;
}

QString scratchFile()
{
    // A memory file system where there is one: the atomic write syncs every file to disk.
    static QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
                                 ? QStringLiteral("/dev/shm/mozhou-fuzz-XXXXXX")
                                 : QDir::tempPath() + QStringLiteral("/mozhou-fuzz-XXXXXX"));
    return dir.filePath(QStringLiteral("favorite.ini"));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const auto parts = fuzz::splitInput(data, size, 4);
    const QString path = scratchFile();
    {
        QFile file(path);
        fuzz::require(file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                          file.write(parts[0]) == parts[0].size(),
                      "the scratch file can be written");
    }
    const QString section = decodeAnsi(parts[1]);
    const QString key = decodeAnsi(parts[2]);
    const QString value = decodeAnsi(parts[3]);

    (void)readProfileString(path, section, key);
    QString error;
    if (writeProfileString(path, section, key, value, &error)) {
        const QString sentinel = QStringLiteral("\x01none");
        fuzz::require(readProfileString(path, section, key, sentinel) == asRead(value),
                      "a written value reads back");
    } else {
        fuzz::require(!error.isEmpty(), "a refused write says why");
        fuzz::require(readFileBytes(path).value_or(QByteArray()) == parts[0],
                      "a refused write leaves the file");
    }
    return 0;
}
