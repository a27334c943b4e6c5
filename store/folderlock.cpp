#include "store/folderlock.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryFile>

namespace mz {

namespace {

// Why a small file cannot be written in `folder` ("No space left on device" on a full disk), or
// an empty text when it can. QLockFile keeps the reason its own write failed to itself.
QString writeProblem(const QString &folder)
{
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral("mozhou.lock.XXXXXX")));
    if (!probe.open())
        return probe.errorString();
    const QByteArray line("0\n");
    if (probe.write(line) != line.size() || !probe.flush())
        return probe.errorString();
    return {};
}

} // namespace

bool isLockProbeName(const QString &name)
{
    // QTemporaryFile fills the six places with ASCII letters.
    static const QRegularExpression pattern(QStringLiteral("^mozhou\\.lock\\.[A-Za-z]{6}$"));
    return pattern.match(name).hasMatch();
}

std::unique_ptr<QLockFile> lockProgramFolder(const QString &folder, QString *error)
{
    const auto fail = [error](const QString &text) {
        if (error)
            *error = text;
        return nullptr;
    };
    const QString shown = QDir::toNativeSeparators(folder);
    if (!QDir().mkpath(folder))
        return fail(QStringLiteral("无法创建程序文件夹 %1").arg(shown));

    const QString lockPath = QDir(folder).filePath(QLatin1String(kFolderLockName));
    auto lock = std::make_unique<QLockFile>(lockPath);
    // The lock is held for the whole run: it goes stale only when its process is gone, never
    // merely by its age.
    lock->setStaleLockTime(0);
    if (lock->tryLock(0))
        return lock;
    // A lock file without a readable holder (left empty or damaged by a crash or a full disk)
    // would shut every later start out, since the holder test needs the process id it names.
    // A holder writes its id as soon as it has made the file, so one that has held no id for a
    // while is stale; removeStaleLockFile() still leaves it alone while a process holds it open
    // under its lock.
    if (lock->error() == QLockFile::LockFailedError &&
        !lock->getLockInfo(nullptr, nullptr, nullptr)) {
        const QFileInfo info(lockPath);
        const QDateTime made = info.lastModified();
        if (made.isValid() && qAbs(made.secsTo(QDateTime::currentDateTime())) > 10 &&
            lock->removeStaleLockFile() && lock->tryLock(0))
            return lock;
    }

    // Something else took the lock file's name: no 墨舟 holds it, and none ever can.
    if (QFileInfo(lockPath).isDir())
        return fail(
            QStringLiteral("程序文件夹 %1 中的 %2 是一个文件夹，不是锁文件：请把它删除或改名，"
                           "再启动墨舟。")
                .arg(shown, QLatin1String(kFolderLockName)));
    switch (lock->error()) {
    case QLockFile::LockFailedError: {
        qint64 pid = 0;
        QString host, app;
        lock->getLockInfo(&pid, &host, &app);
        return fail(QStringLiteral("另一个墨舟（进程 %1）正在使用程序文件夹 %2，请先关闭它。")
                        .arg(pid)
                        .arg(shown));
    }
    case QLockFile::PermissionError:
        return fail(QStringLiteral("无法在程序文件夹 %1 中建立锁文件 %2：没有权限。")
                        .arg(shown, QLatin1String(kFolderLockName)));
    default:
        if (const QString why = writeProblem(folder); !why.isEmpty())
            return fail(QStringLiteral("无法在程序文件夹 %1 中建立锁文件 %2：%3。")
                            .arg(shown, QLatin1String(kFolderLockName), why));
        return fail(QStringLiteral("无法在程序文件夹 %1 中建立锁文件 %2。")
                        .arg(shown, QLatin1String(kFolderLockName)));
    }
}

} // namespace mz
