// The program folder's lock: one holder at a time, a lock left by an ended process taken over.

#include "store/folderlock.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sys/wait.h>
#include <unistd.h>

using namespace mz;

class TestFolderLock : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void secondLockFailsUntilReleased()
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("prog"));
        QString error;
        auto first = lockProgramFolder(folder, &error);
        QVERIFY2(first, qPrintable(error));
        QVERIFY(QFileInfo::exists(QDir(folder).filePath(QLatin1String(kFolderLockName))));

        auto second = lockProgramFolder(folder, &error);
        QVERIFY(!second);
        QVERIFY2(error.contains(QString::number(QCoreApplication::applicationPid())),
                 qPrintable(error));

        first.reset();
        QVERIFY(lockProgramFolder(folder, &error));
    }

    // A 墨舟 that ended without releasing its lock (a crash, a kill) leaves the file behind.
    void staleLockIsTakenOver()
    {
        QTemporaryDir dir;
        const QString folder = dir.path();
        const pid_t child = fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            auto lock = lockProgramFolder(folder);
            _exit(lock ? 0 : 1); // ends without releasing the lock
        }
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        QVERIFY(QFileInfo::exists(QDir(folder).filePath(QLatin1String(kFolderLockName))));

        QString error;
        auto lock = lockProgramFolder(folder, &error);
        QVERIFY2(lock, qPrintable(error));
        qint64 pid = 0;
        QString host, app;
        QVERIFY(lock->getLockInfo(&pid, &host, &app));
        QCOMPARE(pid, QCoreApplication::applicationPid());
    }
};

QTEST_GUILESS_MAIN(TestFolderLock)
#include "tst_folderlock.moc"
