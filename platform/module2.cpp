#include "platform/module2.h"

#include "platform/profile.h"

namespace mz {

QString Module2::readValue(const QString &section, const QString &key)
{
    // The value and its terminating 0 must fit the buffer.
    m_buffer = readProfileString(m_file, section, key).left(kBufferSize - 1) + QChar(0);
    m_scan = 0;
    return nextPiece();
}

QString Module2::nextPiece()
{
    const qsizetype end = m_buffer.indexOf(QChar(0), m_scan);
    if (end < 0) {
        m_scan = m_buffer.size();
        return {};
    }
    const QString piece = m_buffer.mid(m_scan, end - m_scan);
    m_scan = end + 1;
    return piece;
}

bool Module2::writeValue(const QString &section, const QString &key, const QString &value,
                         QString *error)
{
    if (m_file.isEmpty()) {
        if (error)
            *error = QStringLiteral("no profile file set");
        return false;
    }
    return writeProfileString(m_file, section, key, value, error);
}

} // namespace mz
