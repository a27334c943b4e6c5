#include "store/programfolder.h"

#include "platform/textfile.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace mz {

QString defaultProgramFolder()
{
    const QString own = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (QDir::isAbsolutePath(dataHome) || !own.startsWith(dataHome))
        return own;
    // Qt takes $XDG_DATA_HOME as it stands; the program's own part follows it.
    return QDir::homePath() + QStringLiteral("/.local/share") + own.mid(dataHome.size());
}

QStringList deliveredFiles()
{
    return {QStringLiteral("option.ini"), QStringLiteral("fenli.ini"),
            QStringLiteral("template.ini"), QStringLiteral("flash.ini")};
}

bool prepareProgramFolder(const QString &folder, QString *error)
{
    QDir dir(folder);
    if (!dir.mkpath(QStringLiteral("News_save"))) {
        if (error)
            *error =
                QStringLiteral("无法创建文件夹 %1").arg(dir.filePath(QStringLiteral("News_save")));
        return false;
    }
    for (const QString &name : deliveredFiles()) {
        const QString target = dir.filePath(name);
        if (QFileInfo::exists(target))
            continue;
        auto bytes = readFileBytes(QStringLiteral(":/delivered/") + name);
        if (!bytes) {
            if (error)
                *error = QStringLiteral("程序缺少随附的文件%1").arg(name);
            return false;
        }
        if (!writeFileBytes(target, *bytes, error))
            return false;
    }
    return true;
}

std::optional<QByteArray> unreadableArgument(int argc, const char *const *argv)
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray bytes(argv[i]);
        if (QFile::encodeName(QFile::decodeName(bytes)) != bytes)
            return bytes;
    }
    return std::nullopt;
}

bool folderNameLostBytes(const QString &folder, const QString &given)
{
    return folder.count(QChar::ReplacementCharacter) > given.count(QChar::ReplacementCharacter);
}

} // namespace mz
