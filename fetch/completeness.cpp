#include "fetch/completeness.h"

#include "platform/textfile.h"

namespace mz {

bool isCompletePage(QByteArrayView bytes)
{
    return decodeAnsi(bytes).toLower().contains(QLatin1String("</html>"));
}

bool isCompletePageFile(const QString &path)
{
    const auto bytes = readFileBytes(path);
    return bytes && isCompletePage(*bytes);
}

} // namespace mz
