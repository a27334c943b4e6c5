// The program folder's lock: one holder at a time, a lock left by an ended process taken over.

#include "store/folderlock.h"
#include "testsupport/writelimit.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstring>
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

    // A lock file that names no holder (left empty or damaged by a crash or a full disk) shut
    // every later start out as "另一个墨舟（进程 0）". Only a just-made one may still be in the
    // hands of a starting 墨舟 that has not written its id yet.
    void lockFileWithoutHolder_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("ageSeconds");
        QTest::addColumn<bool>("takenOver");
        QTest::newRow("empty") << QByteArray() << 3600 << true;
        QTest::newRow("binary") << QByteArray("\x00\xff\xfe\x01", 4) << 3600 << true;
        QTest::newRow("no-process-id") << QByteArray("\nmozhou\nhost\n") << 3600 << true;
        QTest::newRow("just-made") << QByteArray() << 0 << false;
    }
    void lockFileWithoutHolder()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, ageSeconds);
        QFETCH(bool, takenOver);
        QTemporaryDir dir;
        QFile file(QDir(dir.path()).filePath(QLatin1String(kFolderLockName)));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(content), content.size());
        QVERIFY(file.flush()); // a later flush would make the file new again
        QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-ageSeconds),
                                 QFileDevice::FileModificationTime));
        file.close();

        QString error;
        auto lock = lockProgramFolder(dir.path(), &error);
        QCOMPARE(bool(lock), takenOver);
        if (lock) {
            qint64 pid = 0;
            QString host, app;
            QVERIFY(lock->getLockInfo(&pid, &host, &app));
            QCOMPARE(pid, QCoreApplication::applicationPid());
        } else {
            QVERIFY(!error.isEmpty());
        }
    }

    // A folder in the lock file's place is no other 墨舟 at work, and the message says what it is.
    void lockPathIsAFolder()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QLatin1String(kFolderLockName)));
        QString error;
        QVERIFY(!lockProgramFolder(dir.path(), &error));
        QVERIFY2(error.contains(QStringLiteral("是一个文件夹")), qPrintable(error));
        QVERIFY(QFileInfo(QDir(dir.path()).filePath(QLatin1String(kFolderLockName))).isDir());
    }

    // A lock file that can be made but not written (a full disk) is refused, and the message says
    // why: it named the lock file alone, and the user could not tell what to fix.
    void unwritableLockFileIsExplained()
    {
        QTemporaryDir dir;
        QString error;
        std::unique_ptr<QLockFile> lock;
        {
            const test::WriteLimit full(0);
            lock = lockProgramFolder(dir.path(), &error);
        }
        QVERIFY(!lock);
        QVERIFY2(error.contains(QString::fromLocal8Bit(std::strerror(EFBIG))), qPrintable(error));
        QVERIFY(QDir(dir.path()).isEmpty());
        QVERIFY(lockProgramFolder(dir.path(), &error));
    }
};

QTEST_GUILESS_MAIN(TestFolderLock)
#include "tst_folderlock.moc"
