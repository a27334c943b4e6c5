#include "lists/archiveparser.h"

#include "lists/characterreferences.h"
#include "lists/pagescan.h"
#include "lists/pagestream.h"
#include "platform/gbkdecoder.h"
#include "platform/largepages.h"
#include "platform/lowercase.h"
#include "platform/shell.h"
#include "platform/textfile.h"

#include <QFile>
#include <QUrl>

#include <cstring>
#include <limits>

namespace mz {

namespace {

constexpr QStringView kStartMarker = u"新闻开始";
constexpr QStringView kEndMarker = u"新闻结束";
constexpr QStringView kEntry = u"<li>";
constexpr QStringView kHref = u"href=";
constexpr QStringView kAnchorEnd = u"</a>";
constexpr QStringView kFont = u"<font";
constexpr QStringView kFontEnd = u"</font>";
constexpr QStringView kHttp = u"http://";
constexpr QStringView kHttps = u"https://";
constexpr QStringView kNoCategory = u"考试";

bool isAbsolute(QStringView address)
{
    return findFrom(address, kHttp) != 0 || findFrom(address, kHttps) != 0;
}

// The authority ("host[:port]", with user info if any) an address names, the way a browser reads
// it (tabs and line breaks dropped, "\\" taken as "/") and the way QUrl reads it as it stands;
// an address without a scheme is read as if it had "http://" in front. Null when either reading
// fails or the two disagree.
QString authorityOf(QString address, bool addScheme)
{
    if (addScheme)
        address.prepend(u"http://");
    const QUrl plain(address);
    const QUrl browser(browserAddress(address).replace(u'\\', u'/'));
    if (!plain.isValid() || !browser.isValid() || plain.authority() != browser.authority())
        return {};
    return plain.authority();
}

// Tells whether the base address followed by a relative value still names the base's host: a
// value such as "@evil.example/" or ".evil.example/" would turn the base into user info or into
// a longer host name.
class HostGuard
{
public:
    explicit HostGuard(const QString &base)
        : m_addScheme(!base.contains(u"://")), m_authority(authorityOf(base, m_addScheme))
    {
    }

    // `base` is the base address the guard was made for.
    bool keepsHost(QStringView value, const QString &base) const
    {
        if (m_authority.isEmpty())
            return false;
        // A value starting with "/" ends the authority (the common case, answered at once).
        if (value.startsWith(u'/'))
            return true;
        return authorityOf(QString(base).append(value), m_addScheme) == m_authority;
    }

private:
    bool m_addScheme;
    QString m_authority;
};

// The categories seen so far with their icons, in a small direct-mapped table: a day's page has
// a few dozen distinct categories, and every row with the same category shares one string.
// Rows handed out refer to these strings, so a name pushed out of its slot is kept until
// release() says the rows that may refer to it are gone.
class CategoryCache
{
public:
    struct Entry
    {
        QString name;
        int icon = 0;
        bool used = false;
    };

    const Entry &lookup(QStringView name)
    {
        const size_t key = name.isEmpty()
                               ? 0
                               : size_t(name.front().unicode()) * 7 +
                                     size_t(name.back().unicode()) * 13 + size_t(name.size());
        Entry &e = m_slots[key % std::size(m_slots)];
        if (!e.used || e.name != name) {
            if (e.used)
                m_retired.push_back(std::move(e.name));
            e = {name.toString(), categoryIcon(name), true};
        }
        return e;
    }

    void release() { m_retired.clear(); }

private:
    Entry m_slots[251];
    std::vector<QString> m_retired;
};

// The page text as the scan reads it, held whole.
class WholeText
{
public:
    WholeText(QStringView text, QStringView original)
        : m_text(text), m_original(original.size() == text.size() ? original : QStringView()),
          m_start(findFrom(text, kStartMarker)), m_end(findFrom(text, kEndMarker))
    {
    }

    class Finder
    {
    public:
        Finder(WholeText &text, QStringView needle) : m_finder(text.m_text, needle) {}
        qsizetype find(qsizetype from) { return m_finder.find(from); }

    private:
        ForwardFinder m_finder;
    };

    qsizetype startMarker() const { return m_start; }
    // Whether the first end marker stands before `pos` (no end marker: every position is after).
    bool endsBefore(qsizetype pos) const { return pos > m_end; }
    std::optional<QStringView> cut(qsizetype start, qsizetype length) const
    {
        return cutText(m_text, start, length);
    }
    // A view into the text, as it stands in the page.
    QStringView original(QStringView view) const
    {
        if (m_original.isEmpty() || view.isEmpty())
            return view;
        return m_original.sliced(view.utf16() - m_text.utf16(), view.size());
    }
    template <typename Views> void follow(Views &&) {}
    void chunkDone(qsizetype) {}

private:
    QStringView m_text;
    QStringView m_original; // beside m_text, or empty
    qsizetype m_start;
    qsizetype m_end;
};

// The page text as the scan reads it, decoded block by block from the file. The page's end
// marker is known to exist (see tailHoldsEndMarker), so an entry stands before the end until
// the marker's first occurrence has been seen.
class StreamedText
{
public:
    explicit StreamedText(PageTextStream &stream) : m_stream(stream)
    {
        for (QStringView needle :
             {kEntry, QStringView(u"["), QStringView(u"]"), kHref, QStringView(u">"), kAnchorEnd})
            m_stream.registerNeedle(needle);
        m_endMarker = m_stream.registerNeedle(kEndMarker);
        // Nothing is dropped before the start marker is found: without one the entries are
        // looked for from the start of the text.
        m_start = m_stream.find(kStartMarker, 1);
        m_stream.raiseFloor(m_start);
    }

    class Finder
    {
    public:
        Finder(StreamedText &text, QStringView needle) : m_stream(text.m_stream), m_needle(needle)
        {
        }
        qsizetype find(qsizetype from)
        {
            return m_memo.find(from,
                               [this](qsizetype start) { return m_stream.find(m_needle, start); });
        }

    private:
        PageTextStream &m_stream;
        QStringView m_needle;
        ForwardMemo m_memo;
    };

    qsizetype startMarker() const { return m_start; }
    bool endsBefore(qsizetype pos) const
    {
        const qsizetype end = m_stream.firstSoFar(m_endMarker);
        return end != 0 && pos > end;
    }
    std::optional<QStringView> cut(qsizetype start, qsizetype length)
    {
        return m_stream.cut(start, length);
    }
    QStringView original(QStringView view) const { return m_stream.original(view); }
    // `views` is called with a function to apply to every view into the text the scan holds.
    template <typename Views> void follow(Views &&views)
    {
        m_stream.onMove([views](const char16_t *oldBegin, const char16_t *oldEnd,
                                const char16_t *newBegin) {
            views([&](QStringView &v) { PageTextStream::follow(v, oldBegin, oldEnd, newBegin); });
        });
    }
    // The entry at `pos` has been handed over with its chunk: the text before it is not needed
    // again (the values carried over to later entries have been copied out by then).
    void chunkDone(qsizetype pos) { m_stream.raiseFloor(pos); }
    ~StreamedText() { m_stream.onMove({}); }

private:
    PageTextStream &m_stream;
    int m_endMarker = 0;
    qsizetype m_start = 0;
};

template <typename Text>
ArchiveScanResult scanEntries(Text &s, const QString &baseAddress, const ArchiveEntrySink &sink)
{
    const qsizetype start = s.startMarker();

    // One finder per search site; each site's start position only moves forward.
    typename Text::Finder entryFinder(s, kEntry);
    typename Text::Finder openBracket(s, u"[");
    typename Text::Finder closeBracket(s, u"]");
    typename Text::Finder hrefFinder(s, kHref);
    typename Text::Finder tagEnd(s, u">");
    typename Text::Finder anchorEnd(s, kAnchorEnd);
    CategoryCache categories;
    const HostGuard hostGuard(baseAddress);

    // The values live across entries: a part whose cut fails keeps the previous entry's value.
    // They are views into the page text, the base address and the category names.
    QString category;
    int icon = 0;
    QStringView addressHead = baseAddress; // the empty address with the base in front
    QStringView addressTail;
    QStringView title;
    // The carried values' own copies, once the text they came from may be dropped.
    QString keptTitle;
    QString keptAddress;
    // Titles and addresses whose character references were decoded, for the rows of the current
    // chunk (a value without "&" is a view into the page, as it stands). A title carried over
    // to the next entry is decoded once.
    std::vector<QString> decoded;
    QStringView decodedFrom;
    QStringView decodedTitle;

    std::vector<HeadlineRef> chunk;
    chunk.reserve(size_t(kArchiveChunkSize));
    s.follow([&](const auto &move) {
        move(addressHead);
        move(addressTail);
        move(title);
        move(decodedFrom);
        for (HeadlineRef &ref : chunk) {
            move(ref.title);
            move(ref.tagHead);
            move(ref.tagTail);
        }
    });

    qsizetype pos = start;
    qsizetype n = 0;
    RowTextAllowance titleText;
    RowTextAllowance addressText; // past the base
    for (;;) {
        ++n;
        pos = entryFinder.find(pos + 1);
        if (pos == 0 || s.endsBefore(pos))
            break;

        const qsizetype b1 = openBracket.find(pos + 1);
        const qsizetype b2 = closeBracket.find(b1 + 1);
        // An empty category becomes 考试; so does a failed cut before the first category.
        const auto cut = s.cut(b1 + 1, b2 - b1 - 1);
        if (cut || category.isEmpty()) {
            const auto &known = categories.lookup(cut && !cut->isEmpty() ? *cut : kNoCategory);
            category = known.name;
            icon = known.icon;
        }

        const qsizetype h = hrefFinder.find(pos + 1);
        const qsizetype g = tagEnd.find(h + 1);
        if (auto cut = s.cut(h + 5, g - h - 5)) {
            // Found in the lower-cased text, taken as written: a path's case may matter.
            QStringView value = hrefValue(*cut);
            QStringView written = s.original(value);
            // "?id=1&amp;page=2" is read as a browser reads the attribute, before it is judged.
            QString lowered;
            if (value.contains(u'&')) {
                decoded.push_back(decodeAttributeReferences(written));
                written = decoded.back();
                lowered = lowerCased(written);
                value = lowered;
            }
            if (isAbsolute(value)) {
                addressHead = written;
                addressTail = {};
            } else if (hostGuard.keepsHost(value, baseAddress)) {
                addressHead = baseAddress;
                addressTail = written;
            } else {
                addressHead = addressTail = {}; // no address rather than another site's
            }
        }
        // A failed cut keeps the previous entry's address as it is: it already carries the base
        // (putting the base in front again would make it grow with every such entry).

        const qsizetype a = anchorEnd.find(g + 1);
        if (auto cut = s.cut(g + 1, a - g - 1))
            title = *cut;
        if (findFrom(title, kFont) != 0) {
            const qsizetype f1 = findFrom(title, u">");
            const qsizetype f2 = findFrom(title, kFontEnd);
            if (auto cut = cutText(title, f1 + 1, f2 - f1 - 1))
                title = *cut;
        }

        // Titles and addresses within an allowance of the page read so far (kRowTextSlack).
        const bool titleFits = titleText.take(title.size(), pos);
        const bool addressFits = addressText.take(
            (addressHead.data() == baseAddress.constData() ? 0 : addressHead.size()) +
                addressTail.size(),
            pos);
        // "AT&amp;T" reads "at&t": the references decoded as a browser shows the text, and
        // lower-cased as the rest of the title (a name such as "&Dagger;" is looked up
        // lower-cased too, as "&dagger;").
        QStringView shownTitle = title;
        if (titleFits && title.contains(u'&')) {
            if (decodedFrom.utf16() != title.utf16() || decodedFrom.size() != title.size()) {
                decoded.push_back(decodeTextReferences(title));
                lowerCaseInPlace(decoded.back());
                decodedFrom = title;
                decodedTitle = decoded.back();
            }
            shownTitle = decodedTitle;
        }
        chunk.push_back({titleFits ? shownTitle : QStringView(), category,
                         addressFits ? addressHead : QStringView(),
                         addressFits ? addressTail : QStringView(), icon});

        if (n % kArchiveChunkSize == 0) {
            const bool go = sink(chunk, n);
            chunk.clear();
            categories.release();
            if (!go)
                return {n, true};
            // The carried values are copied out of the text, which may now move on.
            keptTitle = title.toString();
            title = keptTitle;
            if (addressHead.data() != baseAddress.constData()) {
                keptAddress = addressHead.toString();
                addressHead = keptAddress;
            } else {
                keptAddress = addressTail.toString();
                addressTail = keptAddress;
            }
            decoded.clear();
            decodedFrom = decodedTitle = {};
            s.chunkDone(pos);
        }
    }
    if (!chunk.empty() && !sink(chunk, n - 1))
        return {n - 1, true};
    return {n - 1, false};
}

} // namespace

ArchiveScanResult scanArchiveEntries(QStringView s, const QString &baseAddress,
                                     const ArchiveEntrySink &sink, QStringView originalText)
{
    WholeText text(s, originalText);
    return scanEntries(text, baseAddress, sink);
}

namespace {

// The entries that begin in `sample`.
qsizetype entriesIn(QStringView sample)
{
    qsizetype entries = 0;
    for (qsizetype at = findFrom(sample, kEntry); at != 0; at = findFrom(sample, kEntry, at + 1))
        ++entries;
    return entries;
}

} // namespace

qsizetype estimateArchiveEntries(QStringView s)
{
    const qsizetype start = findFrom(s, kStartMarker);
    if (start == 0)
        return 0;
    const QStringView rest = s.sliced(start - 1);
    constexpr qsizetype kSample = qsizetype(1) << 17;
    const QStringView sample = rest.first(std::min(rest.size(), kSample));
    const qsizetype entries = entriesIn(sample);
    return entries * (rest.size() / sample.size()) +
           entries * (rest.size() % sample.size()) / sample.size();
}

namespace {

// The rows of a scan (`scan` runs it with the entry sink it is given): full chunks go to
// `sink` when given, the rest to the result. nullopt when the scan gives nullopt.
std::optional<ArchiveParseResult>
collectRows(const std::function<std::optional<ArchiveScanResult>(const ArchiveEntrySink &)> &scan,
            const ArchiveChunkSink &sink)
{
    ArchiveParseResult result;
    QString category; // rows of one category share one string
    const auto toRows = [&category](std::span<const HeadlineRef> refs) {
        HeadlineRows rows;
        rows.reserve(qsizetype(refs.size()));
        for (const HeadlineRef &ref : refs) {
            if (category != ref.sub1)
                category = ref.sub1.toString();
            QString tag;
            tag.reserve(ref.tagHead.size() + ref.tagTail.size());
            tag.append(ref.tagHead).append(ref.tagTail);
            rows.append(HeadlineRow{ref.title.toString(), category, {}, tag, ref.icon, false});
        }
        return rows;
    };
    const auto scanned = scan([&](std::span<const HeadlineRef> refs, qsizetype found) {
        // Full chunks go to the sink; the last, shorter one stays in the result.
        if (sink && qsizetype(refs.size()) == kArchiveChunkSize)
            return sink(toRows(refs), found);
        result.rows.append(toRows(refs));
        return true;
    });
    if (!scanned)
        return std::nullopt;
    result.found = scanned->found;
    result.stopped = scanned->stopped;
    if (result.stopped)
        result.rows.clear();
    return result;
}

} // namespace

ArchiveParseResult scanArchiveText(QStringView lowerText, const QString &baseAddress,
                                   const ArchiveChunkSink &sink, QStringView originalText)
{
    return *collectRows(
        [&](const ArchiveEntrySink &entries) {
            return std::optional(scanArchiveEntries(lowerText, baseAddress, entries, originalText));
        },
        sink);
}

void ArchivePageText::reserveText(qsizetype units)
{
    for (QString *text : {&m_text, &m_original}) {
        if (text->capacity() >= units)
            continue;
        *text = QString(); // no copy of the old text on growth
        text->reserve(units);
        preferLargePages(text->constData(), size_t(text->capacity()) * sizeof(QChar));
    }
}

QStringView ArchivePageText::decodeLowered(QByteArrayView pageBytes)
{
    const qsizetype room = GbkDecoder::requiredSpace(pageBytes.size());
    reserveText(room);
    m_text.resize(room);
    m_original.resize(room);
    QChar *begin = m_text.data();
    m_text.resize(GbkDecoder::decodeLoweredWithOriginal(pageBytes, begin, m_original.data()) -
                  begin);
    return m_text;
}

std::optional<QStringView> ArchivePageText::decodeLoweredFile(const QString &path,
                                                              qsizetype blockBytes)
{
    QFile file;
    if (!openRegularFile(file, path))
        return std::nullopt;
    // Room for the whole text at once; nothing is dropped, as nothing raises the floor.
    reserveText(GbkDecoder::requiredSpace(qMax<qint64>(file.size(), 0)));
    PageTextStream stream(file, m_text, m_block, blockBytes, &m_original);
    stream.decodeUpTo(std::numeric_limits<qsizetype>::max());
    if (stream.failed())
        return std::nullopt; // unreadable, as a whole-file read would report it
    const QStringView text = stream.heldFrom(1);
    m_text.truncate(text.size()); // originalText() is as long
    return m_text;
}

namespace {

// Whether the file's last bytes hold the end marker where a character starts, so that its text
// certainly holds one. The marker's GB18030 bytes are looked for from the end; a match is taken
// when the bytes from the last byte below 0x30 before it (no sequence holds one, so decoding
// starts afresh after it) decode to text that ends with the marker, which a match starting in
// the middle of a character cannot give.
bool tailHoldsEndMarker(QFile &file, qint64 tailBytes)
{
    static constexpr char kEncoded[] = "\xd0\xc2\xce\xc5\xbd\xe1\xca\xf8"; // 新闻结束
    const qint64 size = file.size();
    const qint64 from = std::max<qint64>(0, size - tailBytes);
    if (!file.seek(from))
        return false;
    const QByteArray tail = file.read(size - from);
    if (!file.seek(0))
        return false;
    const QByteArrayView marker(kEncoded, sizeof kEncoded - 1);
    for (qsizetype m = tail.lastIndexOf(marker); m >= 0;
         m = m > 0 ? tail.lastIndexOf(marker, m - 1) : -1) {
        qsizetype k = m - 1;
        while (k >= 0 && uchar(tail[k]) >= 0x30)
            --k;
        if (k < 0 && from > 0)
            return false; // no fresh start within the tail: not known here
        const QByteArrayView piece = QByteArrayView(tail).sliced(k + 1, m + marker.size() - k - 1);
        if (GbkDecoder::decode(piece).endsWith(kEndMarker))
            return true;
    }
    return false;
}

// estimateArchiveEntries() for a page being decoded: the entries of a sample after the start
// marker, scaled to the text the whole file will give at the rate decoded so far.
qsizetype estimateStreamedEntries(PageTextStream &stream, qsizetype start, qint64 fileBytes)
{
    if (start == 0)
        return 0;
    constexpr qsizetype kSample = qsizetype(1) << 15; // a few hundred entries
    stream.decodeUpTo(start - 1 + kSample);
    const QStringView sample =
        stream.heldFrom(start).first(std::min(kSample, stream.heldFrom(start).size()));
    if (sample.isEmpty() || stream.decodedBytes() <= 0)
        return 0;
    const qsizetype entries = entriesIn(sample);
    const double unitsPerByte = double(stream.decodedUnits()) / double(stream.decodedBytes());
    const double rest = std::max(0.0, double(fileBytes) * unitsPerByte - double(start - 1));
    return qsizetype(double(entries) * rest / double(sample.size()));
}

} // namespace

std::optional<ArchiveScanResult>
ArchivePageText::scanFile(const QString &path, const QString &baseAddress,
                          const ArchiveEntrySink &sink,
                          const std::function<void(qsizetype)> &expect, qsizetype blockBytes)
{
    QFile file;
    if (!openRegularFile(file, path))
        return std::nullopt;
    if (!tailHoldsEndMarker(file, std::max<qsizetype>(blockBytes, qsizetype(1) << 16))) {
        // Whether the text holds the end marker at all decides every entry; such a page is
        // decoded whole before the scan (an unusual page, or none).
        file.close();
        const std::optional<QStringView> text = decodeLoweredFile(path, blockBytes);
        if (!text)
            return std::nullopt;
        if (expect)
            expect(estimateArchiveEntries(*text));
        return scanArchiveEntries(*text, baseAddress, sink, originalText());
    }
    PageTextStream stream(file, m_text, m_block, blockBytes, &m_original);
    ArchiveScanResult result;
    {
        StreamedText text(stream);
        if (expect)
            expect(estimateStreamedEntries(stream, text.startMarker(), file.size()));
        result = scanEntries(text, baseAddress, sink);
    }
    if (stream.failed())
        return std::nullopt;
    // The end marker stood at the end of the file when it was opened. A scan that read to the end
    // without meeting it read a file cut short meanwhile (a sync tool or an editor rewriting it in
    // place): the rows so far are not the page's list, as a page cut before its end gives none.
    if (!result.stopped && stream.firstSoFar(kEndMarker) == 0)
        return std::nullopt;
    return result;
}

std::optional<ArchiveParseResult> parseArchiveFile(const QString &path, const QString &baseAddress,
                                                   const ArchiveChunkSink &sink,
                                                   ArchivePageText *buffer, qsizetype blockBytes)
{
    ArchivePageText local;
    ArchivePageText &text = buffer ? *buffer : local;
    return collectRows(
        [&](const ArchiveEntrySink &entries) {
            return text.scanFile(path, baseAddress, entries, {}, blockBytes);
        },
        sink);
}

ArchiveParseResult parseArchivePage(QByteArrayView pageBytes, const QString &baseAddress,
                                    const ArchiveChunkSink &sink, ArchivePageText *buffer)
{
    ArchivePageText local;
    ArchivePageText &text = buffer ? *buffer : local;
    const QStringView lowered = text.decodeLowered(pageBytes);
    return scanArchiveText(lowered, baseAddress, sink, text.originalText());
}

} // namespace mz
