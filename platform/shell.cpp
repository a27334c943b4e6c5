#include "platform/shell.h"

namespace mz {

QString browserAddress(QString address)
{
    address.remove(u'\t').remove(u'\r').remove(u'\n');
    return address;
}

QUrl webAddress(const QString &address)
{
    QUrl url(browserAddress(address).trimmed(), QUrl::TolerantMode);
    // QUrl keeps the scheme in lower case.
    if (!url.isValid() || url.host().isEmpty() ||
        (url.scheme() != u"http" && url.scheme() != u"https"))
        return {};
    return url;
}

} // namespace mz
