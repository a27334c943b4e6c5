// The signals that ask the program to end reach its event loop once; a second one, or one after
// the requests were given up, ends the program at once.

#include "platform/termination.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

// Run as "--probe SIGNAL MODE": raises SIGNAL from the event loop and prints what reached it.
// MODE "once": the request ends the loop. "twice": the request raises the signal again.
// "released": the requests are given up before the signal is raised.
int probe(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int sig = std::atoi(argv[2]);
    const QByteArray mode = argv[3];
    auto requests = std::make_unique<mz::TerminationRequests>([&] {
        std::printf("asked\n");
        std::fflush(stdout);
        if (mode == "twice")
            std::raise(sig);
        QCoreApplication::quit();
    });
    if (!requests->isActive())
        return 3;
    if (mode == "released")
        requests.reset();
    QTimer::singleShot(0, &app, [sig] { std::raise(sig); });
    const int code = app.exec();
    std::printf("closed\n");
    return code;
}

} // namespace

class TestTermination : public QObject
{
    Q_OBJECT

private slots:
    void signalReachesEventLoop_data()
    {
        QTest::addColumn<int>("signal");
        QTest::addColumn<QString>("mode");
        QTest::addColumn<bool>("closed"); // the probe ended its loop and returned
        QTest::addColumn<QString>("output");
        QTest::newRow("term") << int(SIGTERM) << u"once"_qs << true << u"asked\nclosed"_qs;
        QTest::newRow("int") << int(SIGINT) << u"once"_qs << true << u"asked\nclosed"_qs;
        QTest::newRow("hup") << int(SIGHUP) << u"once"_qs << true << u"asked\nclosed"_qs;
        QTest::newRow("second-term-ends-at-once")
            << int(SIGTERM) << u"twice"_qs << false << u"asked"_qs;
        QTest::newRow("released") << int(SIGTERM) << u"released"_qs << false << QString();
    }

    void signalReachesEventLoop()
    {
        QFETCH(int, signal);
        QFETCH(QString, mode);
        QFETCH(bool, closed);
        QFETCH(QString, output);
        QProcess p;
        p.start(QCoreApplication::applicationFilePath(),
                {u"--probe"_qs, QString::number(signal), mode});
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(QString::fromUtf8(p.readAllStandardOutput().trimmed()), output);
        if (closed) {
            QCOMPARE(p.exitStatus(), QProcess::NormalExit);
            QCOMPARE(p.exitCode(), 0);
        } else {
            QCOMPARE(p.exitStatus(), QProcess::CrashExit);
        }
    }
};

int main(int argc, char **argv)
{
    if (argc > 3 && std::strcmp(argv[1], "--probe") == 0)
        return probe(argc, argv);
    QCoreApplication app(argc, argv);
    TestTermination test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_termination.moc"
