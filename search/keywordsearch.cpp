#include "search/keywordsearch.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace mz {

namespace {

// One bit per block row: bit r of element r / 64 is row r.
using RowBits = std::vector<std::uint64_t>;

void setBit(RowBits &bits, int row)
{
    bits[size_t(row) / 64] |= std::uint64_t(1) << (row % 64);
}

// One bit per block unit: bit p of element p / 64 is unit p. A spare element at the end lets a
// row's first 64 places always be read from two neighbouring elements.
using UnitBits = std::vector<std::uint64_t>;

#ifdef __SSE2__
// Marks 64 places at a time where the word's first unit, the unit `second` places further and
// its last unit (`last` places further) all stand: one mask bit per place, no branch per match.
template <bool CompareSecond>
void sweepPlaces(const char16_t *s, qsizetype n, const char16_t *w, qsizetype second,
                 qsizetype last, std::uint64_t *places, qsizetype &p)
{
    const __m128i firstUnit = _mm_set1_epi16(short(w[0]));
    const __m128i secondUnit = _mm_set1_epi16(short(w[second]));
    const __m128i lastUnit = _mm_set1_epi16(short(w[last]));
    auto load = [s](qsizetype at) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i *>(s + at));
    };
    auto eight = [&](qsizetype at) {
        __m128i hit = _mm_and_si128(_mm_cmpeq_epi16(load(at), firstUnit),
                                    _mm_cmpeq_epi16(load(at + last), lastUnit));
        if constexpr (CompareSecond)
            hit = _mm_and_si128(hit, _mm_cmpeq_epi16(load(at + second), secondUnit));
        return hit;
    };
    // Packing two compared halves leaves one byte, so one mask bit, per place.
    auto sixteen = [&](qsizetype at) {
        return std::uint64_t(
            unsigned(_mm_movemask_epi8(_mm_packs_epi16(eight(at), eight(at + 8)))));
    };
    for (; p + last + 64 <= n; p += 64)
        places[p / 64] =
            sixteen(p) | sixteen(p + 16) << 16 | sixteen(p + 32) << 32 | sixteen(p + 48) << 48;
}
#endif

// Sets in `places` (cleared beforehand) the places where `word` (not empty) stands in the block,
// matches across a separator included. With SSE2 the sweep compares the word's first, second and
// last units at 64 places at a time; words of four or more units are then compared in full at
// the places found.
void findPlaces(const TitleBlock &block, QStringView word, UnitBits &places)
{
    const char16_t *s = block.units();
    const qsizetype n = block.size();
    const char16_t *w = word.utf16();
    const qsizetype m = word.size();
    auto standsAt = [&](qsizetype at) { return std::equal(w, w + m, s + at); };

    qsizetype p = 0;
#ifdef __SSE2__
    if (m >= 3)
        sweepPlaces<true>(s, n, w, 1, m - 1, places.data(), p);
    else
        sweepPlaces<false>(s, n, w, 0, m - 1, places.data(), p);
    if (m > 3) {
        for (qsizetype e = 0; e < p / 64; ++e) {
            for (std::uint64_t candidates = places[e]; candidates != 0;
                 candidates &= candidates - 1) {
                const int bit = std::countr_zero(candidates);
                if (!standsAt(e * 64 + bit))
                    places[e] &= ~(std::uint64_t(1) << bit);
            }
        }
    }
#endif
    for (; p + m <= n; ++p) {
        if (s[p] == w[0] && standsAt(p))
            places[size_t(p) / 64] |= std::uint64_t(1) << (p % 64);
    }
}

// Sets the bit of every block row whose title holds a place of `places` at least `length` units
// before its end, i.e. a match of that length inside the title.
void rowsWithPlaces(const TitleBlock &block, const UnitBits &places, qsizetype length,
                    RowBits &rows)
{
    // A row's first 64 places are read from the two elements that hold them (places has a
    // spare element at its end).
    constexpr qsizetype kWindow = 64;
    const std::uint64_t *bits = places.data();
    auto placeAt = [&](qsizetype p) { return (bits[size_t(p) / 64] >> (p % 64)) & 1; };

    std::uint64_t row64 = 0;
    const int count = block.rowCount();
    for (int row = 0; row < count; ++row) {
        const qsizetype from = block.start(row);
        const qsizetype span = block.end(row) - length + 1 - from; // the places that fit
        const size_t at = size_t(from) / 64;
        const int shift = int(from % 64);
        const std::uint64_t window = bits[at] >> shift | (bits[at + 1] << 1) << (63 - shift);
        const qsizetype kept = std::clamp<qsizetype>(span, 0, kWindow);
        const std::uint64_t keep = kept == 0 ? 0 : ~std::uint64_t(0) >> (kWindow - kept);
        bool found = (window & keep) != 0;
        if (span > kWindow && !found) {
            for (qsizetype p = from + kWindow; p < from + span && !found; ++p)
                found = placeAt(p);
        }
        row64 |= std::uint64_t(found) << (row % 64);
        if (row % 64 == 63) {
            rows[size_t(row) / 64] = row64;
            row64 = 0;
        }
    }
    if (count % 64 != 0)
        rows[size_t(count) / 64] = row64;
}

// Sets the bit of every block row whose title contains `word` (not empty).
void markTitlesContaining(const TitleBlock &block, QStringView word, UnitBits &places,
                          RowBits &rows)
{
    places.assign(size_t(block.size()) / 64 + 2, 0);
    findPlaces(block, word, places);
    rowsWithPlaces(block, places, word.size(), rows);
}

// Whether a title unit shows as a blank in the lists without being one: the line breaks the
// lists show as one blank (oneLine) and the no-break space a page writes as "&nbsp;".
bool showsAsBlank(char16_t unit)
{
    return unit == u'\r' || unit == u'\n' || unit == u'\u00a0' || unit == u'\u2028' ||
           unit == u'\u2029';
}

// The titles of `block` row for row as the lists show them, when any of them shows otherwise
// than it is kept. A blank typed in a query is searched there: no keyboard types the line break
// or the no-break space a title shown "股票 上涨" may hold, so it could never be found otherwise.
std::optional<TitleBlock> shownTitles(const TitleBlock &block)
{
    if (std::none_of(block.units(), block.units() + block.size(), showsAsBlank))
        return std::nullopt;
    TitleBlock shown;
    shown.reserveMore(block.rowCount(), block.size());
    for (int row = 0; row < block.rowCount(); ++row) {
        QString title = oneLine(block.title(row).toString());
        title.replace(u'\u00a0', u' ');
        shown.append(title);
    }
    return shown;
}

// The words a group needs, as indexes into the search's word list. A group matches a title when
// the title is non-empty and holds every needed word; empty words are not listed, since a
// non-empty title contains the empty text.
struct Group
{
    std::vector<qsizetype> needed;
};

// The rows of every group, one bit per block row. The words are looked up first, each in one
// sweep over the titles, and each group's rows are the rows of all its words.
std::vector<RowBits> groupRows(const TitleBlock &block, const QList<QStringView> &words,
                               const std::vector<Group> &groups)
{
    const size_t elements = size_t(block.rowCount() + 63) / 64;
    std::vector<RowBits> found(size_t(words.size()), RowBits(elements));
    UnitBits places;
    bool lookedAtShown = false; // the shown titles are made for the first word with a blank
    std::optional<TitleBlock> shown;
    for (qsizetype k = 0; k < words.size(); ++k) {
        const TitleBlock *searched = &block;
        if (words.at(k).contains(u' ')) {
            if (!std::exchange(lookedAtShown, true))
                shown = shownTitles(block);
            if (shown)
                searched = &*shown;
        }
        markTitlesContaining(*searched, words.at(k), places, found[size_t(k)]);
    }

    RowBits nonEmpty;
    std::vector<RowBits> matched;
    matched.reserve(groups.size());
    for (const Group &group : groups) {
        if (group.needed.empty()) {
            if (nonEmpty.empty()) {
                nonEmpty.resize(elements);
                for (int row = 0; row < block.rowCount(); ++row) {
                    if (block.start(row) != block.end(row))
                        setBit(nonEmpty, row);
                }
            }
            matched.push_back(nonEmpty);
            continue;
        }
        RowBits rowsOfGroup = found[size_t(group.needed.front())];
        for (qsizetype k : group.needed) {
            for (size_t e = 0; e < elements; ++e)
                rowsOfGroup[e] &= found[size_t(k)][e];
        }
        matched.push_back(std::move(rowsOfGroup));
    }
    return matched;
}

// One hit per row and matching group, the row loop outside and the group loop inside; the row
// loop only reads the bits of groupRows().
QList<int> searchGroups(const RowSource &rows, const QList<QStringView> &words,
                        const std::vector<Group> &groups)
{
    TitleBlock built;
    const TitleBlock *block = rows.titles;
    if (!block) {
        const int n = rows.count;
        for (int i = 0; i < n; ++i)
            built.append(rows.row(i).title);
        block = &built;
    }
    const bool inBlockOrder = block == &built || rows.order.isEmpty();
    Q_ASSERT(rows.count <= (inBlockOrder ? block->rowCount() : rows.order.size()));
    const std::vector<RowBits> matched = groupRows(*block, words, groups);

    // A row's hits all hold the row, so each row writes itself once per group and keeps as many
    // copies as groups match: no branch to mispredict on hits that come and go at random.
    // `room` holds the hits when the shown rows are distinct block rows, plus the discarded
    // copies of the last row.
    const qsizetype groupCount = qsizetype(matched.size());
    std::vector<const std::uint64_t *> groupBits;
    qsizetype room = groupCount;
    for (const RowBits &bits : matched) {
        groupBits.push_back(bits.data());
        for (std::uint64_t element : bits)
            room += std::popcount(element);
    }
    QList<int> hits(room);
    int *out = hits.data();
    qsizetype kept = 0;
    const int *order = inBlockOrder ? nullptr : rows.order.constData();
    for (int i = 0; i < rows.count; ++i) {
        const int row = order ? order[i] : i;
        if (kept + groupCount > room) {
            room = std::max(room * 2, kept + groupCount);
            hits.resize(room);
            out = hits.data();
        }
        const size_t element = size_t(row) / 64;
        const int bit = row % 64;
        for (qsizetype g = 0; g < groupCount; ++g) {
            out[kept] = i;
            kept += qsizetype((groupBits[size_t(g)][element] >> bit) & 1);
        }
    }
    hits.resize(kept);
    return hits;
}

// Adds the group of `parts` to `groups`, each distinct non-empty word once in `words`.
void addGroup(const QList<QStringView> &parts, QList<QStringView> &words,
              std::vector<Group> &groups)
{
    Group group;
    for (QStringView part : parts) {
        if (part.isEmpty())
            continue;
        qsizetype k = words.indexOf(part);
        if (k < 0) {
            k = words.size();
            words.append(part);
        }
        if (std::find(group.needed.begin(), group.needed.end(), k) == group.needed.end())
            group.needed.push_back(k);
    }
    groups.push_back(std::move(group));
}

// Adds the groups of `query` (see the header for its language) and returns the terms the
// search reports for it.
QStringList addQuery(QStringView query, QList<QStringView> &words, std::vector<Group> &groups)
{
    if (!query.contains(u'+') && !query.contains(u'*')) {
        addGroup({query}, words, groups);
        return QStringList{QString()};
    }
    QStringList terms;
    for (QStringView alternative : query.split(u'+', Qt::KeepEmptyParts)) {
        terms.append(alternative.toString());
        addGroup(alternative.split(u'*', Qt::KeepEmptyParts), words, groups);
    }
    return terms;
}

} // namespace

QStringList splitTerms(QStringView query, QChar separator)
{
    QStringList terms;
    for (QStringView part : query.split(separator, Qt::KeepEmptyParts))
        terms.append(part.toString());
    return terms;
}

bool contains(QStringView title, QStringView text)
{
    if (title.isEmpty())
        return false;
    // A plain search: short texts (titles, categories) are the common case, where it beats the
    // set-up of QStringView::indexOf.
    const char16_t *begin = title.utf16();
    const char16_t *end = begin + title.size();
    return std::search(begin, end, text.utf16(), text.utf16() + text.size()) != end;
}

int keywordHitIcon(QStringView category)
{
    // The category table with its names' lengths measured once: a search may ask for the icons
    // of many thousands of hits.
    struct NamedIcon
    {
        QStringView name;
        int icon;
    };
    static const std::vector<NamedIcon> table = [] {
        std::vector<NamedIcon> entries;
        for (const CategoryIcon &entry : kCategoryIcons)
            entries.push_back({QStringView(entry.name), entry.icon});
        return entries;
    }();
    if (category.isEmpty())
        category = u"考试";
    for (const NamedIcon &entry : table) {
        if (entry.name == category)
            return entry.icon;
    }
    return 0;
}

KeywordHits keywordHits(const RowSource &rows, QStringView query)
{
    KeywordHits result;
    QList<QStringView> words;
    std::vector<Group> groups;
    result.terms = addQuery(query, words, groups);
    result.rows = searchGroups(rows, words, groups);
    return result;
}

QList<int> keywordCounts(const TitleBlock &titles, const QStringList &keywords)
{
    // All keywords' words are swept once each, however many keywords share them.
    QList<QStringView> words;
    std::vector<Group> groups;
    std::vector<size_t> firstGroup; // keyword k's groups are [firstGroup[k], firstGroup[k + 1])
    for (const QString &keyword : keywords) {
        firstGroup.push_back(groups.size());
        addQuery(keyword, words, groups);
    }
    firstGroup.push_back(groups.size());
    const std::vector<RowBits> matched = groupRows(titles, words, groups);

    QList<int> counts;
    counts.reserve(keywords.size());
    const size_t elements = size_t(titles.rowCount() + 63) / 64;
    for (qsizetype k = 0; k < keywords.size(); ++k) {
        int count = 0;
        for (size_t e = 0; e < elements; ++e) {
            std::uint64_t any = 0;
            for (size_t g = firstGroup[size_t(k)]; g < firstGroup[size_t(k) + 1]; ++g)
                any |= matched[g][e];
            count += std::popcount(any);
        }
        counts.append(count);
    }
    return counts;
}

QList<int> singleTermHits(const RowSource &rows, QStringView text)
{
    QList<QStringView> words;
    std::vector<Group> groups;
    addGroup({text}, words, groups);
    return searchGroups(rows, words, groups);
}

HeadlineRows keywordResultRows(const RowSource &rows, const QList<int> &hits)
{
    HeadlineRows result;
    result.reserve(hits.size());
    for (int i : hits) {
        const HeadlineRow source = rows.row(i);
        result.append(resultRow(source, keywordHitIcon(source.sub1)));
    }
    return result;
}

} // namespace mz
