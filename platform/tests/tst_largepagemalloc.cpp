// The program starts itself once more with glibc's huge-page tunable, leaves a choice of the
// user's own alone, and hands programs it starts the environment its caller gave it.

#include "platform/largepagemalloc.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Run as "--probe": restarts as the program does, then prints GLIBC_TUNABLES as programs started
// from here would see it, as this process image was started with it, whether it is a restarted
// one, whether a trace of the restart is left, and the process's name. (glibc ends each tunable it
// knows with a NUL in the image's environment, so only the first known one can be read back from
// there.)
int probe(char **argv)
{
    mz::startWithLargePageMalloc(argv);
    const char *now = std::getenv("GLIBC_TUNABLES");
    QByteArray atStart = "(unset)";
    bool restarted = false;
    QFile environ(QStringLiteral("/proc/self/environ"));
    if (environ.open(QIODevice::ReadOnly)) {
        for (const QByteArray &entry : environ.readAll().split('\0')) {
            if (entry.startsWith("GLIBC_TUNABLES="))
                atStart = entry.mid(15);
            restarted = restarted || entry.startsWith("MOZHOU_CALLERS_GLIBC_TUNABLES=");
        }
    }
    QFile comm(QStringLiteral("/proc/self/comm"));
    const QByteArray name = comm.open(QIODevice::ReadOnly) ? comm.readAll().trimmed() : "?";
    std::printf("%s|%s|%s|%s|%s\n", now ? now : "(unset)", atStart.constData(),
                restarted ? "restarted" : "as started",
                std::getenv("MOZHOU_CALLERS_GLIBC_TUNABLES") ? "trace left" : "", name.constData());
    return 0;
}

} // namespace

class TestLargePageMalloc : public QObject
{
    Q_OBJECT

private slots:
    void restartsOnce_data()
    {
        QTest::addColumn<QString>("given"); // "(unset)" for none
        QTest::addColumn<QString>("atStart");
        QTest::addColumn<bool>("restarted");
        QTest::newRow("none") << u"(unset)"_qs << u"glibc.malloc.hugetlb=1"_qs << true;
        QTest::newRow("empty") << QString() << u"glibc.malloc.hugetlb=1"_qs << true;
        QTest::newRow("other-setting")
            << u"mozhou.test=1"_qs << u"mozhou.test=1:glibc.malloc.hugetlb=1"_qs << true;
        QTest::newRow("users-own-choice")
            << u"glibc.malloc.hugetlb=0"_qs << u"glibc.malloc.hugetlb=0"_qs << false;
    }

    void restartsOnce()
    {
        QFETCH(QString, given);
        QFETCH(QString, atStart);
        QFETCH(bool, restarted);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(u"GLIBC_TUNABLES"_qs);
        env.remove(u"MOZHOU_CALLERS_GLIBC_TUNABLES"_qs);
        if (given != u"(unset)")
            env.insert(u"GLIBC_TUNABLES"_qs, given);
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(QCoreApplication::applicationFilePath(), {u"--probe"_qs});
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), 0);
        const QStringList out = QString::fromUtf8(p.readAllStandardOutput().trimmed()).split(u'|');
        QCOMPARE(out.size(), 5);
        QCOMPARE(out[0], given);   // what programs started from here get
        QCOMPARE(out[1], atStart); // what glibc read at the start
        QCOMPARE(out[2], restarted ? u"restarted"_qs : u"as started"_qs);
        QCOMPARE(out[3], QString()); // no trace of the restart left
        // The name ps and pgrep show: the file's, as the kernel gives it (15 bytes at most).
        QCOMPARE(out[4], QFileInfo(QCoreApplication::applicationFilePath()).fileName().left(15));
    }
};

int main(int argc, char **argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--probe") == 0)
        return probe(argv);
    QCoreApplication app(argc, argv);
    TestLargePageMalloc test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_largepagemalloc.moc"
