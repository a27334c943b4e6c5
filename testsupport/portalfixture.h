#pragma once
// The window fixture with the demo portal on 127.0.0.1 (a port of its own) as the news portal.
// A test may alter the portal's answers through `transform` (path, body -> body).

#include "portal/httpserver.h"
#include "portal/pagegenerator.h"
#include "portal/portalsite.h"
#include "testsupport/formfixture.h"

#include <functional>
#include <memory>

namespace mz::test {

struct PortalFormFixture : FormFixture
{
    explicit PortalFormFixture(QDate today, const QString &option = defaultOption())
        : FormFixture(option, today)
    {
        server =
            std::make_unique<HttpServer>([this](const QByteArray &method, const QByteArray &path) {
                HttpResponse r = routePortal(*generator, method, path, clock.today());
                if (transform)
                    r.body = transform(path, r.body);
                return r;
            });
        if (!server->listen(0))
            qFatal("test server does not listen");
        generator = std::make_unique<PortalGenerator>(server->baseUrl());
        setPortal(server->baseUrl());
    }

    std::unique_ptr<PortalGenerator> generator;
    std::unique_ptr<HttpServer> server;
    std::function<QByteArray(const QByteArray &path, const QByteArray &body)> transform;
};

} // namespace mz::test
