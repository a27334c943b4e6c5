#include "store/programfolder.h"

#include "fetch/articles.h"
#include "fetch/downloadcomponent.h"
#include "fetch/pagenames.h"
#include "platform/textfile.h"
#include "store/flashini.h"
#include "store/folderlock.h"

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

namespace {

bool isPlainFile(const QFileInfo &info)
{
    return info.isFile() && !info.isSymLink();
}

// A scratch folder of flash.ini holds the copy being written and, at most, that copy's own
// temporary file; a folder under such a name with anything else in it is the user's.
bool removeFlashScratch(const QFileInfo &info)
{
    if (!info.isDir() || info.isSymLink())
        return false;
    QDir dir(info.filePath());
    const QFileInfoList entries =
        dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo &entry : entries) {
        if (!isPlainFile(entry) || !entry.fileName().startsWith(QStringLiteral("flash.ini")))
            return false;
    }
    for (const QFileInfo &entry : entries)
        dir.remove(entry.fileName());
    return QDir(info.absolutePath()).rmdir(info.fileName());
}

} // namespace

int removeLeftovers(const QString &folder)
{
    int removed = 0;
    QDir dir(folder);
    const auto entries = [](const QDir &d) {
        return d.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System |
                               QDir::NoDotAndDotDot);
    };
    for (const QFileInfo &info : entries(dir)) {
        const QString name = info.fileName();
        if (isPlainFile(info) &&
            (isStoredPageName(partialFileTarget(name)) || isLockProbeName(name))) {
            removed += dir.remove(name) ? 1 : 0;
        } else if (isFlashScratchName(name)) {
            removed += removeFlashScratch(info) ? 1 : 0;
        }
    }
    // An article arrives as "<name>.download" before it is cleaned into its file.
    const QString arrival = articleArrivalPath(QString());
    QDir news(dir.filePath(QStringLiteral("News_save")));
    for (const QFileInfo &info : entries(news)) {
        const QString target = partialFileTarget(info.fileName());
        if (isPlainFile(info) && target.size() > arrival.size() && target.endsWith(arrival))
            removed += news.remove(info.fileName()) ? 1 : 0;
    }
    return removed;
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
