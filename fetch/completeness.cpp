#include "fetch/completeness.h"

#include <QFile>

namespace mz {

namespace {

constexpr char kTag[] = "</html>";
constexpr qsizetype kTagLength = sizeof(kTag) - 1;

// ASCII-only lower case: bytes of multi-byte characters (0x80 and up) stay as they are.
inline char asciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

bool tagAt(const char *p)
{
    for (qsizetype i = 0; i < kTagLength; ++i) {
        if (asciiLower(p[i]) != kTag[i])
            return false;
    }
    return true;
}

// Offset of the last case-insensitive "</html>" in bytes, or -1.
qsizetype lastTag(QByteArrayView bytes)
{
    const char *data = bytes.data();
    for (qsizetype i = bytes.size() - kTagLength; i >= 0; --i) {
        if (data[i] == '<' && tagAt(data + i))
            return i;
    }
    return -1;
}

} // namespace

bool isCompletePage(QByteArrayView bytes)
{
    return lastTag(bytes) >= 0;
}

bool isCompletePageFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const qint64 size = file.size();
    constexpr qint64 kBlock = 64 * 1024;
    // Blocks from the end; each one overlaps the next (earlier) one by the tag's length minus
    // one byte, so a tag across a block border is seen.
    QByteArray block;
    qint64 end = size;
    while (end > 0) {
        const qint64 start = qMax<qint64>(0, end - kBlock);
        const qint64 length = qMin(size, end + kTagLength - 1) - start;
        if (!file.seek(start))
            return false;
        block.resize(length);
        if (file.read(block.data(), length) != length)
            return false;
        if (isCompletePage(block))
            return true;
        end = start;
    }
    return false;
}

void PageEndScanner::feed(QByteArrayView chunk)
{
    if (m_found || chunk.isEmpty())
        return;
    // The tag may start in the kept tail: look at tail + the chunk's first bytes first.
    if (!m_tail.isEmpty()) {
        QByteArray joint = m_tail;
        joint.append(chunk.first(qMin(chunk.size(), kTagLength - 1)));
        if (isCompletePage(joint)) {
            m_found = true;
            return;
        }
    }
    if (isCompletePage(chunk)) {
        m_found = true;
        m_tail.clear();
        return;
    }
    m_tail.append(chunk.last(qMin(chunk.size(), kTagLength - 1)));
    if (m_tail.size() > kTagLength - 1)
        m_tail.remove(0, m_tail.size() - (kTagLength - 1));
}

} // namespace mz
