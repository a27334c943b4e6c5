// mozhou-portal: serves the demo news portal on 127.0.0.1 for trying the program out.
//   mozhou-portal [--port N] [--fault MODE[:PATH-PREFIX]]... [--slow-chunk BYTES:MS] [--no-ranges]
//                 [--archive-entries N]
// The fault options make the portal misbehave as a real one may (see HttpServer::Fault for the
// modes: Truncate, Stall, NotFound, ServerError, Slow, CloseWithoutResponse, Endless,
// LateAnswer), for every request or only for paths that begin with the prefix.
#include "platform/clock.h"
#include "portal/portalsite.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QMetaEnum>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("mozhou-portal"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Demo news portal for 墨舟, served on 127.0.0.1 only."));
    parser.addHelpOption();
    QCommandLineOption portOption(
        QStringList{QStringLiteral("p"), QStringLiteral("port")},
        QStringLiteral("Port to listen on (default 8086, 0 = any free port)."), QStringLiteral("N"),
        QStringLiteral("8086"));
    parser.addOption(portOption);
    QCommandLineOption faultOption(QStringLiteral("fault"),
                                   QStringLiteral("Misbehave for every request, or for paths that "
                                                  "begin with PREFIX (repeatable)."),
                                   QStringLiteral("MODE[:PREFIX]"));
    parser.addOption(faultOption);
    QCommandLineOption slowOption(QStringLiteral("slow-chunk"),
                                  QStringLiteral("Chunk size and pause of the Slow and Endless "
                                                 "modes (default 512:20)."),
                                  QStringLiteral("BYTES:MS"));
    parser.addOption(slowOption);
    QCommandLineOption noRangesOption(QStringLiteral("no-ranges"),
                                      QStringLiteral("Ignore byte ranges (always answer 200)."));
    parser.addOption(noRangesOption);
    QCommandLineOption entriesOption(
        QStringLiteral("archive-entries"),
        QStringLiteral("Archive pages of N entries (up to 1000000) instead of each day's own."),
        QStringLiteral("N"));
    parser.addOption(entriesOption);
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
    const QMetaEnum modes = QMetaEnum::fromType<mz::HttpServer::Fault>();
    for (const QString &value : parser.values(faultOption)) {
        const qsizetype colon = value.indexOf(QLatin1Char(':'));
        const QString name = colon < 0 ? value : value.left(colon);
        const int mode = modes.keyToValue(name.toLatin1().constData(), &ok);
        if (!ok) {
            err << "mozhou-portal: unknown fault mode: " << name << Qt::endl;
            return 2;
        }
        const auto fault = mz::HttpServer::Fault(mode);
        if (colon < 0)
            portal.server().setFault(fault);
        else
            portal.server().setFaultForPath(value.mid(colon + 1).toUtf8(), fault);
    }
    if (parser.isSet(slowOption)) {
        const QStringList parts = parser.value(slowOption).split(QLatin1Char(':'));
        bool okBytes = false, okMs = false;
        const int bytes = parts.value(0).toInt(&okBytes), ms = parts.value(1).toInt(&okMs);
        if (parts.size() != 2 || !okBytes || !okMs || bytes <= 0 || ms < 0) {
            err << "mozhou-portal: invalid --slow-chunk: " << parser.value(slowOption) << Qt::endl;
            return 2;
        }
        portal.server().setSlowChunk(bytes, ms);
    }
    portal.server().setRangesEnabled(!parser.isSet(noRangesOption));
    if (parser.isSet(entriesOption)) {
        const int entries = parser.value(entriesOption).toInt(&ok);
        if (!ok || entries < 1 || entries > mz::PortalGenerator::kMaxEntries) {
            err << "mozhou-portal: invalid --archive-entries: " << parser.value(entriesOption)
                << Qt::endl;
            return 2;
        }
        portal.setArchiveEntries(entries);
    }
    if (!portal.listen(quint16(port))) {
        err << "mozhou-portal: cannot listen on 127.0.0.1:" << port << " ("
            << portal.server().errorString() << ")" << Qt::endl;
        return 1;
    }
    QTextStream out(stdout);
    out << portal.baseUrl() << Qt::endl;
    return app.exec();
}
