#include "lists/pagestream.h"

#include "lists/pagescan.h"
#include "platform/gbkdecoder.h"
#include "platform/largepages.h"

#include <cstring>

namespace mz {

PageTextStream::PageTextStream(QFile &file, QString &text, QByteArray &block, qsizetype blockBytes,
                               QString *original)
    : m_file(file), m_text(text), m_block(block), m_step(qMax<qsizetype>(blockBytes, 1)),
      m_original(original)
{
    m_text.resize(m_text.capacity()); // all the memory a former page left is room
    if (m_original)
        m_original->resize(m_text.size());
    // Room for two blocks' text: the window a scan needs is about one chunk of entries and the
    // block being decoded, so the buffer is normally never moved to another place (and a small
    // page does not map more fresh memory than it needs).
    roomFor(2 * GbkDecoder::requiredSpace(m_step) + kHeadUnits);
}

int PageTextStream::registerNeedle(QStringView needle)
{
    for (size_t i = 0; i < m_needles.size(); ++i) {
        if (m_needles[i].text == needle)
            return int(i);
    }
    m_needles.push_back({needle.toString(), 0});
    noteFirstOccurrences(0);
    return int(m_needles.size() - 1);
}

qsizetype PageTextStream::firstSoFar(QStringView needle) const
{
    for (const Needle &n : m_needles) {
        if (n.text == needle)
            return n.first;
    }
    return 0;
}

void PageTextStream::raiseFloor(qsizetype position)
{
    m_floor = std::max(m_floor, std::min(position - 1, m_start + m_used));
}

QStringView PageTextStream::heldFrom(qsizetype position) const
{
    const qsizetype i = std::max(position - 1, m_start);
    if (i >= m_start + m_used)
        return {};
    return QStringView(m_text.constData() + (i - m_start), m_start + m_used - i);
}

qsizetype PageTextStream::decodeUpTo(qsizetype units)
{
    while (m_start + m_used < units && decodeBlock()) {
    }
    return m_start + m_used;
}

qsizetype PageTextStream::find(QStringView needle, qsizetype from)
{
    if (from < 1)
        return 0;
    qsizetype i = from - 1;
    if (i < m_start) {
        // Only a search from the start of the text comes here; the first occurrence was noted
        // as the text went by, or it lies in the text still held. A file cut short while it is
        // read ends the text early, and a scan may then look back before the floor: it gets the
        // answer from the text still held (a scan of such a file is not used; see scanFile).
        Q_ASSERT(from == 1 || m_ended);
        if (const qsizetype first = firstSoFar(needle))
            return first;
        i = m_start;
    }
    for (;;) {
        if (i < m_start + m_used) {
            const QStringView held(m_text.constData(), m_used);
            const qsizetype at = findFrom(held, needle, i - m_start + 1);
            if (at != 0)
                return m_start + at;
        }
        // The next search starts where a match could still begin across the block's end.
        const qsizetype searched = std::max(i, m_start + m_used - needle.size() + 1);
        if (!decodeBlock())
            return 0;
        i = searched;
    }
}

std::optional<QStringView> PageTextStream::cut(qsizetype start, qsizetype length)
{
    if (start < 1 || length < 0 || length > kMaxCutLength)
        return std::nullopt;
    const qsizetype i = start - 1;
    if (i < m_start) {
        // From the first units, kept in the head once the buffer has moved on.
        Q_ASSERT(i + length <= m_head.size() || m_head.size() < kHeadUnits);
        return cutText(m_head, start, length);
    }
    decodeUpTo(i + length);
    if (i >= m_start + m_used)
        return QStringView();
    return QStringView(m_text.constData() + (i - m_start), std::min(length, m_start + m_used - i));
}

namespace {

// Moves the `keep` units after the first `drop` of `text` to its start, in place when `size` is
// its size already, else into a new buffer of `size` units.
void shift(QString &text, qsizetype drop, qsizetype keep, qsizetype size)
{
    const char16_t *from = reinterpret_cast<const char16_t *>(text.constData()) + drop;
    if (size == text.size()) {
        std::memmove(reinterpret_cast<char16_t *>(text.data()), from, size_t(keep) * 2);
        return;
    }
    QString larger;
    larger.reserve(size);
    larger.resize(size);
    preferLargePages(larger.constData(), size_t(size) * sizeof(QChar));
    if (keep > 0)
        std::memcpy(reinterpret_cast<char16_t *>(larger.data()), from, size_t(keep) * 2);
    text = std::move(larger);
}

} // namespace

// Makes room for `units` more units after the held ones: first by dropping the units before the
// floor, then by a larger buffer. Either way the held text moves, and the scan is told.
void PageTextStream::roomFor(qsizetype units)
{
    if (m_text.size() - m_used >= units && !m_text.isEmpty())
        return;
    const char16_t *oldBegin = reinterpret_cast<const char16_t *>(m_text.constData());
    const char16_t *oldOriginal =
        m_original ? reinterpret_cast<const char16_t *>(m_original->constData()) : nullptr;
    const qsizetype drop = std::max<qsizetype>(m_floor - m_start, 0);
    if (drop > 0 && m_head.isEmpty() && m_start == 0) {
        m_head = QString(m_text.constData(), std::min(m_used, kHeadUnits));
        if (m_original)
            m_headOriginal = QString(m_original->constData(), m_head.size());
    }
    const qsizetype keep = m_used - drop;
    const qsizetype size = drop > 0 && m_text.size() - keep >= units
                               ? m_text.size()
                               : std::max(keep + units, 2 * m_text.size());
    shift(m_text, drop, keep, size);
    if (m_original)
        shift(*m_original, drop, keep, size);
    m_start += drop;
    m_used = keep;
    if (!m_onMove)
        return;
    if (oldBegin)
        m_onMove(oldBegin + drop, oldBegin + drop + keep,
                 reinterpret_cast<const char16_t *>(m_text.constData()));
    if (oldOriginal)
        m_onMove(oldOriginal + drop, oldOriginal + drop + keep,
                 reinterpret_cast<const char16_t *>(m_original->constData()));
}

QStringView PageTextStream::original(QStringView lowered) const
{
    const auto inside = [&lowered](const QString &text, qsizetype units) {
        const char16_t *p = lowered.utf16();
        const char16_t *begin = reinterpret_cast<const char16_t *>(text.constData());
        return p >= begin && p + lowered.size() <= begin + units ? p - begin : qsizetype(-1);
    };
    if (!m_original || lowered.isEmpty())
        return lowered;
    if (const qsizetype at = inside(m_text, m_used); at >= 0)
        return QStringView(m_original->constData() + at, lowered.size());
    if (const qsizetype at = inside(m_head, m_head.size()); at >= 0 && !m_headOriginal.isEmpty())
        return QStringView(m_headOriginal.constData() + at, lowered.size());
    return lowered;
}

// Reads and decodes the next block, up to its last byte below 0x30 (which no GB18030 sequence
// holds, so that the blocks decode to what one call over the whole file gives); the rest waits
// for the next block. False once the file is decoded to its end (or cannot be read further).
bool PageTextStream::decodeBlock()
{
    if (m_ended)
        return false;
    m_block.resize(m_kept + m_step);
    const qint64 got = m_file.read(m_block.data() + m_kept, m_step);
    qsizetype cutAt = 0;
    qsizetype filled = m_kept;
    if (got > 0) {
        filled += qsizetype(got);
        m_bytesRead += got;
        cutAt = filled;
        while (cutAt > 0 && uchar(m_block[cutAt - 1]) >= 0x30)
            --cutAt;
    } else {
        m_ended = true;
        m_failed = m_file.error() != QFileDevice::NoError;
        cutAt = filled; // the last bytes, whatever they are
    }
    const qsizetype before = m_start + m_used;
    const QByteArrayView bytes(m_block.constData(), cutAt);
    roomFor(GbkDecoder::requiredSpace(bytes.size()));
    QChar *at = m_text.data() + m_used;
    m_used +=
        (m_original ? GbkDecoder::decodeLoweredWithOriginal(bytes, at, m_original->data() + m_used)
                    : GbkDecoder::decodeLowered(bytes, at)) -
        at;
    m_kept = filled - cutAt;
    std::memmove(m_block.data(), m_block.constData() + cutAt, size_t(m_kept));
    noteFirstOccurrences(before);
    return got > 0 || m_start + m_used > before;
}

// Looks for the registered needles not seen yet in the text decoded from 0-based `from` on.
void PageTextStream::noteFirstOccurrences(qsizetype from)
{
    for (Needle &n : m_needles) {
        if (n.first != 0)
            continue;
        const qsizetype i = std::max(m_start, from - n.text.size() + 1);
        if (i >= m_start + m_used)
            continue;
        const QStringView held(m_text.constData(), m_used);
        if (const qsizetype at = findFrom(held, n.text, i - m_start + 1))
            n.first = m_start + at;
    }
}

} // namespace mz
