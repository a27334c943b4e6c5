#include "portal/portalsite.h"

#include "platform/textfile.h"

#include <QRegularExpression>

namespace mz {

namespace {

HttpResponse page(QByteArray body, int status = 200)
{
    HttpResponse response;
    response.status = status;
    response.body = std::move(body);
    return response;
}

QDate dayOfStamp(const QString &stamp)
{
    return QDate::fromString(stamp, QStringLiteral("yyyyMMdd"));
}

} // namespace

HttpResponse routePortal(const PortalGenerator &generator, const QByteArray &method,
                         const QByteArray &path, QDate today, int archiveEntries)
{
    if (method != "GET" && method != "HEAD") {
        return page(
            encodeAnsi(QStringLiteral("<html>\r\n<head><title>405</title></head>\r\n<body>"
                                      "<h1>405 不支持的请求方法</h1></body>\r\n</html>\r\n")),
            405);
    }

    static const QRegularExpression archive(QStringLiteral("^/old1000/news1000_(\\d{8})\\.shtml$"));
    static const QRegularExpression hotNews(QStringLiteral("^/hotnews/(\\d{8})\\.shtml$"));
    static const QRegularExpression article(
        QStringLiteral("^/(news|comment)/(\\d{8})/([1-9]\\d{0,6})\\.shtml$"));

    const QString p = QString::fromLatin1(path);
    if (p == u"/" || p == u"/index.html" || p == u"/index.shtml")
        return page(generator.indexPage(today));
    if (p == u"/hotnews/" || p == u"/hotnews" || p == u"/hotnews/index.shtml")
        return page(generator.hotNewsPage(today));
    if (p == u"/mozhou/" || p == u"/mozhou" || p == u"/mozhou/index.html")
        return page(generator.sitePage());

    if (const auto m = archive.match(p); m.hasMatch()) {
        const QDate day = dayOfStamp(m.captured(1));
        if (day.isValid())
            return page(archiveEntries > 0 ? generator.archivePage(day, archiveEntries)
                                           : generator.archivePage(day));
    } else if (const auto m = hotNews.match(p); m.hasMatch()) {
        const QDate day = dayOfStamp(m.captured(1));
        if (day.isValid())
            return page(generator.hotNewsPage(day));
    } else if (const auto m = article.match(p); m.hasMatch()) {
        const QDate day = dayOfStamp(m.captured(2));
        const int number = m.captured(3).toInt();
        if (day.isValid() && number <= PortalGenerator::kMaxEntries) {
            return page(m.captured(1) == u"news" ? generator.articlePage(day, number)
                                                 : generator.commentPage(day, number));
        }
    }
    return page(generator.notFoundPage(p), 404);
}

PortalSite::PortalSite(const QString &baseUrl, const Clock *clock)
    : m_generator(baseUrl), m_clock(clock)
{
}

void PortalSite::setBaseUrl(const QString &baseUrl)
{
    m_generator = PortalGenerator(baseUrl);
}

QDate PortalSite::today() const
{
    return (m_clock ? m_clock : &m_systemClock)->today();
}

HttpResponse PortalSite::respond(const QByteArray &method, const QByteArray &path) const
{
    if (m_archiveEntries == 0)
        return routePortal(m_generator, method, path, today());
    // Large archive pages take seconds to make: the last one is kept and served again at once,
    // as a server serves a stored file.
    if (path == m_lastPath && method == m_lastMethod)
        return m_lastResponse;
    HttpResponse response = routePortal(m_generator, method, path, today(), m_archiveEntries);
    if (path.startsWith("/old1000/")) {
        m_lastMethod = method;
        m_lastPath = path;
        m_lastResponse = response;
    }
    return response;
}

HttpServer::Handler PortalSite::handler() const
{
    return
        [this](const QByteArray &method, const QByteArray &path) { return respond(method, path); };
}

PortalServer::PortalServer(const Clock *clock, QObject *parent)
    : QObject(parent), m_site(QString(), clock), m_server(m_site.handler())
{
}

bool PortalServer::listen(quint16 port)
{
    if (!m_server.listen(port))
        return false;
    m_site.setBaseUrl(m_server.baseUrl());
    return true;
}

} // namespace mz
