#include "lists/archiveparser.h"

#include "lists/lowercase.h"
#include "lists/pagescan.h"
#include "platform/gbkdecoder.h"
#include "platform/largepages.h"
#include "platform/textfile.h"

#include <QFile>
#include <QUrl>

#include <cstring>

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
    address.remove(u'\t').remove(u'\r').remove(u'\n').replace(u'\\', u'/');
    const QUrl browser(address);
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

} // namespace

ArchiveScanResult scanArchiveEntries(QStringView s, const QString &baseAddress,
                                     const ArchiveEntrySink &sink)
{
    const qsizetype start = findFrom(s, kStartMarker);
    const qsizetype end = findFrom(s, kEndMarker);

    // One finder per search site; each site's start position only moves forward.
    ForwardFinder entryFinder(s, kEntry);
    ForwardFinder openBracket(s, u"[");
    ForwardFinder closeBracket(s, u"]");
    ForwardFinder hrefFinder(s, kHref);
    ForwardFinder tagEnd(s, u">");
    ForwardFinder anchorEnd(s, kAnchorEnd);
    CategoryCache categories;
    const HostGuard hostGuard(baseAddress);

    // The values live across entries: a part whose cut fails keeps the previous entry's value.
    // They are views into the page text, the base address and the category names.
    QString category;
    int icon = 0;
    QStringView addressHead = baseAddress; // the empty address with the base in front
    QStringView addressTail;
    QStringView title;

    std::vector<HeadlineRef> chunk;
    chunk.reserve(size_t(kArchiveChunkSize));

    qsizetype pos = start;
    qsizetype n = 0;
    for (;;) {
        ++n;
        pos = entryFinder.find(pos + 1);
        if (pos == 0 || pos > end)
            break;

        const qsizetype b1 = openBracket.find(pos + 1);
        const qsizetype b2 = closeBracket.find(b1 + 1);
        // An empty category becomes 考试; so does a failed cut before the first category.
        const auto cut = cutText(s, b1 + 1, b2 - b1 - 1);
        if (cut || category.isEmpty()) {
            const auto &known = categories.lookup(cut && !cut->isEmpty() ? *cut : kNoCategory);
            category = known.name;
            icon = known.icon;
        }

        const qsizetype h = hrefFinder.find(pos + 1);
        const qsizetype g = tagEnd.find(h + 1);
        if (auto cut = cutText(s, h + 5, g - h - 5)) {
            const QStringView value = hrefValue(*cut);
            if (isAbsolute(value)) {
                addressHead = value;
                addressTail = {};
            } else if (hostGuard.keepsHost(value, baseAddress)) {
                addressHead = baseAddress;
                addressTail = value;
            } else {
                addressHead = addressTail = {}; // no address rather than another site's
            }
        }
        // A failed cut keeps the previous entry's address as it is: it already carries the base
        // (putting the base in front again would make it grow with every such entry).

        const qsizetype a = anchorEnd.find(g + 1);
        if (auto cut = cutText(s, g + 1, a - g - 1))
            title = *cut;
        if (findFrom(title, kFont) != 0) {
            const qsizetype f1 = findFrom(title, u">");
            const qsizetype f2 = findFrom(title, kFontEnd);
            if (auto cut = cutText(title, f1 + 1, f2 - f1 - 1))
                title = *cut;
        }

        chunk.push_back({title, category, addressHead, addressTail, icon});

        if (n % kArchiveChunkSize == 0) {
            const bool go = sink(chunk, n);
            chunk.clear();
            categories.release();
            if (!go)
                return {n, true};
        }
    }
    if (!chunk.empty() && !sink(chunk, n - 1))
        return {n - 1, true};
    return {n - 1, false};
}

qsizetype estimateArchiveEntries(QStringView s)
{
    const qsizetype start = findFrom(s, kStartMarker);
    if (start == 0)
        return 0;
    const QStringView rest = s.sliced(start - 1);
    constexpr qsizetype kSample = qsizetype(1) << 17;
    const QStringView sample = rest.first(std::min(rest.size(), kSample));
    qsizetype entries = 0;
    for (qsizetype at = findFrom(sample, kEntry); at != 0; at = findFrom(sample, kEntry, at + 1))
        ++entries;
    return entries * (rest.size() / sample.size()) +
           entries * (rest.size() % sample.size()) / sample.size();
}

ArchiveParseResult scanArchiveText(QStringView lowerText, const QString &baseAddress,
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
    const ArchiveScanResult scan = scanArchiveEntries(
        lowerText, baseAddress, [&](std::span<const HeadlineRef> refs, qsizetype found) {
            // Full chunks go to the sink; the last, shorter one stays in the result.
            if (sink && qsizetype(refs.size()) == kArchiveChunkSize)
                return sink(toRows(refs), found);
            result.rows.append(toRows(refs));
            return true;
        });
    result.found = scan.found;
    result.stopped = scan.stopped;
    if (result.stopped)
        result.rows.clear();
    return result;
}

void ArchivePageText::reserveText(qsizetype units)
{
    if (m_text.capacity() >= units)
        return;
    m_text = QString(); // no copy of the old text on growth
    m_text.reserve(units);
    preferLargePages(m_text.constData(), size_t(m_text.capacity()) * sizeof(QChar));
}

QStringView ArchivePageText::decodeLowered(QByteArrayView pageBytes)
{
    const qsizetype room = GbkDecoder::requiredSpace(pageBytes.size());
    reserveText(room);
    m_text.resize(room);
    QChar *begin = m_text.data();
    QChar *end = GbkDecoder::decode(pageBytes, begin);
    m_text.resize(end - begin);
    lowerCaseInPlace(m_text);
    return m_text;
}

std::optional<QStringView> ArchivePageText::decodeLoweredFile(const QString &path,
                                                              qsizetype blockBytes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const qsizetype expected = GbkDecoder::requiredSpace(qMax<qint64>(file.size(), 0));
    reserveText(expected);
    m_text.resize(expected);
    qsizetype used = 0;
    // Each block's text is lower-cased while it is still in the cache, up to the first character
    // whose lower case is longer than one unit; from there on, once at the end.
    qsizetype lowered = 0;
    bool simple = true;
    const auto decode = [&](QByteArrayView bytes) {
        const qsizetype room = used + GbkDecoder::requiredSpace(bytes.size());
        if (m_text.size() < room)
            m_text.resize(qMax(room, m_text.size() * 2)); // the file grew while read
        QChar *begin = m_text.data();
        used = GbkDecoder::decode(bytes, begin + used) - begin;
        if (simple) {
            char16_t *units = reinterpret_cast<char16_t *>(begin);
            lowered += lowerCaseSimpleInPlace(units + lowered, used - lowered);
            simple = lowered == used;
        }
    };
    // Each block is decoded up to its last byte below 0x30, which no GB18030 sequence contains:
    // no sequence is then pending between blocks, and the blocks decode to what one call over
    // the whole file gives, invalid bytes included. The rest waits for the next block.
    QByteArray &block = m_block;
    qsizetype kept = 0;
    const qsizetype step = qMax<qsizetype>(blockBytes, 1);
    for (;;) {
        block.resize(kept + step);
        const qint64 got = file.read(block.data() + kept, step);
        if (got <= 0)
            break;
        const qsizetype filled = kept + qsizetype(got);
        qsizetype cut = filled;
        while (cut > 0 && uchar(block[cut - 1]) >= 0x30)
            --cut;
        decode(QByteArrayView(block.constData(), cut));
        kept = filled - cut;
        std::memmove(block.data(), block.constData() + cut, size_t(kept));
    }
    if (file.error() != QFileDevice::NoError)
        return std::nullopt; // unreadable, as a whole-file read would report it
    decode(QByteArrayView(block.constData(), kept));
    m_text.resize(used);
    if (lowered < used) {
        const QString rest = lowerCased(QStringView(m_text).sliced(lowered));
        m_text.truncate(lowered);
        m_text.append(rest);
    }
    return QStringView(m_text);
}

std::optional<ArchiveParseResult> parseArchiveFile(const QString &path, const QString &baseAddress,
                                                   const ArchiveChunkSink &sink,
                                                   ArchivePageText *buffer)
{
    ArchivePageText local;
    ArchivePageText &text = buffer ? *buffer : local;
    const std::optional<QStringView> lowered = text.decodeLoweredFile(path);
    if (!lowered)
        return std::nullopt;
    return scanArchiveText(*lowered, baseAddress, sink);
}

ArchiveParseResult parseArchivePage(QByteArrayView pageBytes, const QString &baseAddress,
                                    const ArchiveChunkSink &sink, ArchivePageText *buffer)
{
    ArchivePageText local;
    ArchivePageText &text = buffer ? *buffer : local;
    return scanArchiveText(text.decodeLowered(pageBytes), baseAddress, sink);
}

} // namespace mz
