#include "platform/shell.h"

namespace mz {

QUrl webAddress(const QString &address)
{
    QUrl url(address.trimmed(), QUrl::TolerantMode);
    // QUrl keeps the scheme in lower case.
    if (!url.isValid() || url.host().isEmpty() ||
        (url.scheme() != u"http" && url.scheme() != u"https"))
        return {};
    return url;
}

} // namespace mz
