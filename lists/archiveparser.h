#pragma once
// The daily archive page parser: turns the stored archive page into headline rows, in page
// order, each with its title, category, address and category icon.
//
// Page grammar (matched on the lower-cased text): "新闻开始" and "新闻结束" enclose the headline
// section; each entry begins with "<li>", then holds a category in "[" ... "]", an anchor whose
// address follows "href=" up to the next ">", and the title up to the next "</a>" (a title
// wrapped in "<font ...>" ... "</font>" is the text inside). Every search runs forward from the
// entry's "<li>" and is not bounded by the next entry: an entry that lacks a part takes it from
// the entries after it. A part whose cut cannot be carried out keeps the previous entry's value.
// A relative address is put after the base only when the result still names the base's host
// (otherwise the row gets no address); a failed address cut keeps the previous address as it was.
// Character references in titles and addresses are decoded as a browser decodes them: a title
// "AT&amp;T" reads "at&t", an address "/a.php?id=1&amp;page=2" is "/a.php?id=1&page=2".

#include "lists/headline.h"

#include <QByteArrayView>
#include <QString>
#include <functional>
#include <optional>
#include <span>

namespace mz {

// The parser hands its rows over in chunks of this many entries.
inline constexpr qsizetype kArchiveChunkSize = 100;

// Receives the rows found since the previous call, every kArchiveChunkSize entries, with the
// number of entries found so far. Returning false stops the parse.
using ArchiveChunkSink = std::function<bool(HeadlineRows &&chunk, qsizetype found)>;

// Receives the entries found since the previous call as views into the page text (valid for
// the call only): every kArchiveChunkSize entries, and once more with the remaining entries at
// the end, with the number of entries found so far. Returning false stops the scan.
using ArchiveEntrySink = std::function<bool(std::span<const HeadlineRef> chunk, qsizetype found)>;

struct ArchiveScanResult
{
    qsizetype found = 0;  // entries found (all of them handed to the sink unless stopped)
    bool stopped = false; // the sink asked to stop
};

// Scans the lower-cased page text without copying any text out of it. `baseAddress` (scheme and
// host, no trailing slash) goes in front of addresses that are not absolute. Addresses are taken
// as they stand in `originalText`, the page text not lower-cased, unit for unit beside
// `lowerText` (GbkDecoder::decodeLoweredWithOriginal); without it (or when its length differs)
// they come from the lower-cased text.
ArchiveScanResult scanArchiveEntries(QStringView lowerText, const QString &baseAddress,
                                     const ArchiveEntrySink &sink, QStringView originalText = {});

// About how many entries scanArchiveEntries will find in the lower-cased page text: the entries
// of a sample after the start marker, scaled to the rest of the text. Meant for reserving room.
qsizetype estimateArchiveEntries(QStringView lowerText);

struct ArchiveParseResult
{
    HeadlineRows rows;    // the rows not yet handed to the sink (all rows without a sink)
    qsizetype found = 0;  // entries found, including those handed to the sink
    bool stopped = false; // the sink asked to stop; `rows` is then empty
};

// The same scan giving rows: full chunks go to `sink` (when given), the rest to the result.
ArchiveParseResult scanArchiveText(QStringView lowerText, const QString &baseAddress,
                                   const ArchiveChunkSink &sink = {},
                                   QStringView originalText = {});

// The decoded, lower-cased text of a page, and beside it the text as it stands in the page (for
// the addresses, whose case matters), in buffers that a long-lived owner keeps from parse to
// parse: decoding a large page then writes into memory already mapped instead of fresh
// page-sized allocations.
class ArchivePageText
{
public:
    // Decodes `pageBytes` from GBK and lower-cases it; valid until the next call.
    QStringView decodeLowered(QByteArrayView pageBytes);
    // The text as it stands in the page, unit for unit beside what decodeLowered() or
    // decodeLoweredFile() gave last.
    QStringView originalText() const { return QStringView(m_original).first(m_text.size()); }
    // The same for the file at `path`, read and decoded block by block, so that the page's bytes
    // are never held whole next to their text; nullopt when the file cannot be opened or read.
    std::optional<QStringView> decodeLoweredFile(const QString &path,
                                                 qsizetype blockBytes = qsizetype(1) << 16);
    // Scans the page file at `path` as scanArchiveEntries() scans its whole text, decoding it
    // block by block as the scan goes, so that only a small window of the text is held; a page
    // whose end marker is not seen in its last bytes is decoded whole first. `expect`, when
    // given, learns about how many entries there are before the first chunk goes to the sink.
    // nullopt when the file cannot be opened or read (when a read fails midway, some rows may
    // have gone to the sink already).
    std::optional<ArchiveScanResult> scanFile(const QString &path, const QString &baseAddress,
                                              const ArchiveEntrySink &sink,
                                              const std::function<void(qsizetype)> &expect = {},
                                              qsizetype blockBytes = qsizetype(1) << 16);
    // Units of text memory held for the next page (both texts).
    qsizetype textCapacity() const { return m_text.capacity() + m_original.capacity(); }
    // Gives the memory back (the next call allocates again).
    void release()
    {
        m_text = QString();
        m_original = QString();
        m_block = QByteArray();
    }

private:
    // Room for `units` units in both texts without copying the old ones.
    void reserveText(qsizetype units);

    QString m_text;
    QString m_original;
    QByteArray m_block; // the file's bytes, a block at a time (small: reused without new pages)
};

// The whole parse of a stored page: decode from GBK, lower-case, scan. `buffer`, when given,
// holds the page text and is reused; without it, a buffer lives for this call only.
ArchiveParseResult parseArchivePage(QByteArrayView pageBytes, const QString &baseAddress,
                                    const ArchiveChunkSink &sink = {},
                                    ArchivePageText *buffer = nullptr);

// parseArchivePage over the file at `path`, scanned while it is decoded (see scanFile); nullopt
// when the file cannot be opened or read.
std::optional<ArchiveParseResult> parseArchiveFile(const QString &path, const QString &baseAddress,
                                                   const ArchiveChunkSink &sink = {},
                                                   ArchivePageText *buffer = nullptr,
                                                   qsizetype blockBytes = qsizetype(1) << 16);

} // namespace mz
