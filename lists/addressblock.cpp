#include "lists/addressblock.h"

#include "platform/largepages.h"

#include <algorithm>
#include <cstring>

namespace mz {

// The beginning up to and including the last "/", shared with earlier rows. A new beginning is
// kept only while the table stays small beside the rows: addresses that hardly share anything
// are then stored whole instead of growing the table by one string per row.
quint32 AddressBlock::prefixIndex(QStringView head, QStringView tail, qsizetype length)
{
    if (length == 0)
        return 0;
    const QString &last = m_prefixes[m_lastPrefix];
    const qsizetype inHead = std::min(length, head.size());
    if (last.size() == length && QStringView(last).first(inHead) == head.first(inHead) &&
        QStringView(last).sliced(inHead) == tail.first(length - inHead))
        return m_lastPrefix;
    QString prefix;
    prefix.reserve(length);
    prefix.append(head.first(inHead));
    prefix.append(tail.first(length - inHead));
    const auto found = m_prefixIndex.constFind(prefix);
    if (found != m_prefixIndex.constEnd())
        return m_lastPrefix = *found;
    if (m_prefixes.size() > 64 + m_prefix.size() / 16)
        return 0;
    m_lastPrefix = quint32(m_prefixes.size());
    m_prefixIndex.insert(prefix, m_lastPrefix);
    m_prefixes.push_back(std::move(prefix));
    return m_lastPrefix;
}

namespace {

bool allLatin1(QStringView piece)
{
    char16_t any = 0; // every unit's bits together: below 0x100 only if every unit is
    for (qsizetype i = 0; i < piece.size(); ++i)
        any |= piece.utf16()[i];
    return any < 0x100;
}

} // namespace

void AddressBlock::append(QStringView head, QStringView tail)
{
    // The shared beginning ends after the last "/" of head and tail taken together.
    const qsizetype inTail = tail.lastIndexOf(u'/');
    const qsizetype slash = inTail >= 0 ? head.size() + inTail + 1 : head.lastIndexOf(u'/') + 1;
    const quint32 prefix = prefixIndex(head, tail, slash);
    // The rest to store: from the end of the beginning, or the whole address.
    const qsizetype from = prefix == 0 ? 0 : slash;
    const QStringView headRest = head.sliced(std::min(from, head.size()));
    const QStringView tailRest = tail.sliced(std::max<qsizetype>(0, from - head.size()));

    const bool narrow = allLatin1(headRest) && allLatin1(tailRest);
    const size_t units = size_t(headRest.size() + tailRest.size());
    const size_t at = m_bytes.size();
    const size_t bytes = narrow ? units : units * 2;
    growVector(m_bytes, bytes);
    m_bytes.resize(at + bytes);
    char *out = m_bytes.data() + at;
    for (const QStringView piece : {headRest, tailRest}) {
        if (narrow) {
            for (qsizetype i = 0; i < piece.size(); ++i)
                out[i] = char(piece.utf16()[i]);
            out += piece.size();
        } else if (!piece.isEmpty()) {
            std::memcpy(out, piece.utf16(), size_t(piece.size()) * 2);
            out += piece.size() * 2;
        }
    }
    m_prefix.push_back(prefix);
    m_starts.push_back(qsizetype(m_bytes.size()) << 1 | (narrow ? 0 : 1));
}

QString AddressBlock::at(int row) const
{
    const QString &prefix = m_prefixes[m_prefix[size_t(row)]];
    const qsizetype begin = m_starts[size_t(row)] >> 1;
    const qsizetype end = m_starts[size_t(row) + 1] >> 1;
    const bool wide = m_starts[size_t(row) + 1] & 1;
    const char *bytes = m_bytes.data() + begin;
    const qsizetype units = wide ? (end - begin) / 2 : end - begin;
    if (prefix.isEmpty() && units == 0)
        return {};
    QString address(prefix.size() + units, Qt::Uninitialized);
    char16_t *out = reinterpret_cast<char16_t *>(address.data());
    std::copy(prefix.utf16(), prefix.utf16() + prefix.size(), out);
    out += prefix.size();
    if (wide)
        std::memcpy(out, bytes, size_t(units) * 2);
    else
        for (qsizetype i = 0; i < units; ++i)
            out[i] = char16_t(uchar(bytes[i]));
    return address;
}

void AddressBlock::reserveMore(qsizetype rows, qsizetype bytes)
{
    growVector(m_bytes, size_t(bytes));
    growVector(m_starts, size_t(rows));
    growVector(m_prefix, size_t(rows));
}

void AddressBlock::clear(bool release)
{
    if (release) {
        std::vector<char>().swap(m_bytes);
        std::vector<qsizetype>{0}.swap(m_starts);
        std::vector<quint32>().swap(m_prefix);
    } else {
        m_bytes.clear();
        m_starts.assign(1, 0);
        m_prefix.clear();
    }
    std::vector<QString>{QString()}.swap(m_prefixes);
    m_prefixIndex.clear();
    m_lastPrefix = 0;
}

} // namespace mz
