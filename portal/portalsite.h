#pragma once
// The demo portal as a web site: routing of request paths to generated pages, and a server
// that serves them on 127.0.0.1 with links pointing at its own address.

#include "platform/clock.h"
#include "portal/httpserver.h"
#include "portal/pagegenerator.h"

#include <QObject>

namespace mz {

// Maps a request to a page. `today` is the day of the live hot news page "/hotnews/".
// `archiveEntries`, when above 0, is the number of entries of every archive page (otherwise
// each day has its own). Unknown paths and invalid dates get 404, methods other than GET and
// HEAD get 405; every answer, errors included, is a complete GBK page.
HttpResponse routePortal(const PortalGenerator &generator, const QByteArray &method,
                         const QByteArray &path, QDate today, int archiveEntries = 0);

class PortalSite
{
public:
    // clock: the source of "today"; null means the system clock. Not owned.
    explicit PortalSite(const QString &baseUrl, const Clock *clock = nullptr);

    void setBaseUrl(const QString &baseUrl);
    QString baseUrl() const { return m_generator.baseUrl(); }
    const PortalGenerator &generator() const { return m_generator; }
    QDate today() const;
    // Archive pages of `entries` entries (1 to PortalGenerator::kMaxEntries; 0: each day's own).
    void setArchiveEntries(int entries) { m_archiveEntries = entries; }

    HttpResponse respond(const QByteArray &method, const QByteArray &path) const;
    // A handler for HttpServer that answers through this site; valid while the site lives.
    HttpServer::Handler handler() const;

private:
    PortalGenerator m_generator;
    const Clock *m_clock = nullptr;
    SystemClock m_systemClock;
    int m_archiveEntries = 0;
    // The archive page served last while the pages have a given size.
    mutable QByteArray m_lastMethod;
    mutable QByteArray m_lastPath;
    mutable HttpResponse m_lastResponse;
};

// The demo portal on a local server. After listen() the pages' absolute links point at the
// server's own address, so a test can start one on port 0 and follow every link it serves.
class PortalServer : public QObject
{
    Q_OBJECT

public:
    explicit PortalServer(const Clock *clock = nullptr, QObject *parent = nullptr);

    bool listen(quint16 port = 0);
    QString baseUrl() const { return m_server.baseUrl(); }
    HttpServer &server() { return m_server; } // faults and request statistics
    const PortalSite &site() const { return m_site; }
    void setArchiveEntries(int entries) { m_site.setArchiveEntries(entries); }
    const PortalGenerator &generator() const { return m_site.generator(); }

private:
    PortalSite m_site;
    HttpServer m_server;
};

} // namespace mz
