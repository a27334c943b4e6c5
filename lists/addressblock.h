#pragma once
// The addresses of a list's rows, kept compactly in one buffer.
//
// The addresses of one page share long beginnings ("http://host/news/2007-03-02/"), so each
// address is split after its last "/": the beginning is kept once in a small table, and only the
// rest goes into the buffer, as Latin-1 when every unit fits (the usual case) and as UTF-16
// otherwise. at() gives back exactly the text that was appended.

#include <QHash>
#include <QString>
#include <QStringView>

#include <vector>

namespace mz {

class AddressBlock
{
public:
    int rowCount() const { return int(m_prefix.size()); }

    QString at(int row) const;

    void append(QStringView address) { append(address, {}); }
    // `head` and `tail` one after the other as one address.
    void append(QStringView head, QStringView tail);
    // Removes all addresses. The memory stays for the next fill unless `release` is set.
    void clear(bool release = true);
    // Room for `rows` more addresses of `bytes` bytes in all, beyond their shared beginnings.
    void reserveMore(qsizetype rows, qsizetype bytes);
    // Bytes taken by the addresses' ends so far.
    qsizetype byteCount() const { return qsizetype(m_bytes.size()); }

private:
    quint32 prefixIndex(QStringView head, QStringView tail, qsizetype length);

    // Row r's rest is bytes [m_starts[r] >> 1, m_starts[r + 1] >> 1); bit 0 of m_starts[r + 1]
    // tells that it is UTF-16 rather than Latin-1.
    std::vector<char> m_bytes;
    std::vector<qsizetype> m_starts{0};
    std::vector<quint32> m_prefix; // index into m_prefixes
    std::vector<QString> m_prefixes{QString()};
    QHash<QString, quint32> m_prefixIndex;
    quint32 m_lastPrefix = 0;
};

} // namespace mz
