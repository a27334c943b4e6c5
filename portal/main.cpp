// mozhou-portal: serves the demo news portal on 127.0.0.1 for trying the program out.
#include "platform/clock.h"
#include "portal/portalsite.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("mozhou-portal"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Demo news portal for 墨舟, served on 127.0.0.1 only."));
    parser.addHelpOption();
    QCommandLineOption portOption(QStringList{QStringLiteral("p"), QStringLiteral("port")},
                                  QStringLiteral("Port to listen on (default 8086, 0 = any free port)."),
                                  QStringLiteral("N"), QStringLiteral("8086"));
    parser.addOption(portOption);
    QCommandLineOption slowOption(
        QStringLiteral("slow"),
        QStringLiteral("Send every page in 512-byte chunks every N ms, like a slow line."),
        QStringLiteral("N"));
    parser.addOption(slowOption);
    parser.process(app);

    QTextStream err(stderr);
    bool ok = false;
    const uint port = parser.value(portOption).toUInt(&ok);
    if (!ok || port > 65535) {
        err << "mozhou-portal: invalid port: " << parser.value(portOption) << Qt::endl;
        return 2;
    }

    mz::SystemClock clock;
    mz::PortalServer portal(&clock);
    if (!portal.listen(quint16(port))) {
        err << "mozhou-portal: cannot listen on 127.0.0.1:" << port << " ("
            << portal.server().errorString() << ")" << Qt::endl;
        return 1;
    }
    if (parser.isSet(slowOption)) {
        portal.server().setSlowChunk(512, qMax(1, parser.value(slowOption).toInt()));
        portal.server().setFault(mz::HttpServer::Fault::Slow);
    }
    QTextStream out(stdout);
    out << portal.baseUrl() << Qt::endl;
    return app.exec();
}
