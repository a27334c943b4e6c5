#include "fetch/completeness.h"

#include "platform/textfile.h"

#include <QFile>

#include <cstring>

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

// Whether bytes hold the tag; `fromEnd` looks from the end (where a complete page has it).
// memchr/memrchr find the candidates: they are vectorised in the C library.
bool holdsTag(QByteArrayView bytes, bool fromEnd)
{
    const char *data = bytes.data();
    const qsizetype lastStart = bytes.size() - kTagLength; // the last offset a tag fits at
    if (lastStart < 0)
        return false;
    if (fromEnd) {
#if defined(__GLIBC__)
        qsizetype limit = lastStart + 1; // candidates lie in [0, limit)
        while (limit > 0) {
            const void *hit = memrchr(data, '<', size_t(limit));
            if (!hit)
                return false;
            const qsizetype at = static_cast<const char *>(hit) - data;
            if (tagAt(data + at))
                return true;
            limit = at;
        }
        return false;
#endif
    }
    qsizetype from = 0;
    while (from <= lastStart) {
        const void *hit = memchr(data + from, '<', size_t(lastStart + 1 - from));
        if (!hit)
            return false;
        const qsizetype at = static_cast<const char *>(hit) - data;
        if (tagAt(data + at))
            return true;
        from = at + 1;
    }
    return false;
}

} // namespace

bool isCompletePage(QByteArrayView bytes)
{
    return holdsTag(bytes, true);
}

bool isCompletePageFile(const QString &path)
{
    QFile file;
    if (!openRegularFile(file, path))
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
        if (holdsTag(joint, false)) {
            m_found = true;
            return;
        }
    }
    if (holdsTag(chunk, false)) {
        m_found = true;
        m_tail.clear();
        return;
    }
    m_tail.append(chunk.last(qMin(chunk.size(), kTagLength - 1)));
    if (m_tail.size() > kTagLength - 1)
        m_tail.remove(0, m_tail.size() - (kTagLength - 1));
}

} // namespace mz
