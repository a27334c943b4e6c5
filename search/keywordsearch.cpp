#include "search/keywordsearch.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <vector>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace mz {

namespace {

// The words found in one title, one bit per word.
using WordBits = std::vector<std::uint64_t>;

// Finds, in one pass over a title, which words of a fixed set it contains. The pass looks for
// the code units that begin a word: eight units at a time with SSE2 when the words begin with at
// most kMaxVectorUnits different units, otherwise (and for the tail of a title) through a table
// indexed by a unit's low byte. Only at such a position are the words compared.
class WordScanner
{
public:
    explicit WordScanner(const QList<QStringView> &words) : m_words(words)
    {
        m_first.fill(0);
        for (QStringView word : words) {
            const char16_t c = word.utf16()[0];
            m_first[c & 0xff] = 1;
            if (std::find(m_firstUnits.begin(), m_firstUnits.end(), c) == m_firstUnits.end())
                m_firstUnits.push_back(c);
        }
#ifdef __SSE2__
        m_vector = m_firstUnits.size() <= kMaxVectorUnits;
        if (m_vector) {
            for (size_t f = 0; f < m_firstUnits.size(); ++f)
                m_firstVectors[f] = _mm_set1_epi16(short(m_firstUnits[f]));
        }
#endif
    }

    WordBits emptyBits() const
    {
        return WordBits(size_t(m_words.size() + 63) / 64, 0);
    }

    // Sets the bit of every word that occurs in title and clears the others.
    void scan(QStringView title, WordBits &found) const
    {
        std::fill(found.begin(), found.end(), 0);
        qsizetype missing = m_words.size();
        const char16_t *s = title.utf16();
        const qsizetype n = title.size();
        qsizetype j = 0;
#ifdef __SSE2__
        if (m_vector) {
            for (; j + 8 <= n && missing > 0; j += 8) {
                const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i *>(s + j));
                __m128i hit = _mm_setzero_si128();
                for (size_t f = 0; f < m_firstUnits.size(); ++f)
                    hit = _mm_or_si128(hit, _mm_cmpeq_epi16(units, m_firstVectors[f]));
                // Two mask bits per 16-bit unit.
                for (unsigned mask = unsigned(_mm_movemask_epi8(hit)); mask != 0;
                     mask &= mask - 1, mask &= mask - 1)
                    compareAt(s, n, j + std::countr_zero(mask) / 2, found, missing);
            }
        }
#endif
        for (; j < n && missing > 0; ++j) {
            if (m_first[s[j] & 0xff])
                compareAt(s, n, j, found, missing);
        }
    }

private:
    static constexpr size_t kMaxVectorUnits = 8;

    void compareAt(const char16_t *s, qsizetype n, qsizetype j, WordBits &found,
                   qsizetype &missing) const
    {
        for (qsizetype k = 0; k < m_words.size(); ++k) {
            const QStringView word = m_words.at(k);
            const char16_t *w = word.utf16();
            const std::uint64_t bit = std::uint64_t(1) << (k % 64);
            if (w[0] != s[j] || word.size() > n - j || (found[k / 64] & bit))
                continue;
            if (std::equal(w + 1, w + word.size(), s + j + 1)) {
                found[k / 64] |= bit;
                --missing;
            }
        }
    }

    QList<QStringView> m_words;
    std::array<unsigned char, 256> m_first;
    std::vector<char16_t> m_firstUnits;
#ifdef __SSE2__
    bool m_vector = false;
    __m128i m_firstVectors[kMaxVectorUnits];
#endif
};

// The words a group needs, as bits of WordBits (word k is bit k % 64 of element k / 64). A group
// matches a title when the title is non-empty and holds every needed word; empty words are not
// listed, since a non-empty title contains the empty text.
struct Group
{
    std::vector<std::pair<size_t, std::uint64_t>> needed;

    void need(qsizetype k)
    {
        const size_t element = size_t(k / 64);
        const std::uint64_t bit = std::uint64_t(1) << (k % 64);
        for (auto &[at, bits] : needed) {
            if (at == element) {
                bits |= bit;
                return;
            }
        }
        needed.emplace_back(element, bit);
    }
    bool matches(const WordBits &found) const
    {
        for (const auto &[at, bits] : needed) {
            if ((found[at] & bits) != bits)
                return false;
        }
        return true;
    }
};

// One hit per row and matching group, the row loop outside and the group loop inside.
QList<int> searchGroups(const RowSource &rows, const QList<QStringView> &words,
                        const std::vector<Group> &groups)
{
    QList<int> hits;
    const WordScanner scanner(words);
    WordBits found = scanner.emptyBits();
    const int n = rows.count;
    for (int i = 0; i < n; ++i) {
        if (i + kPrefetchRows < n)
            prefetch(rows.row(i + kPrefetchRows).title.constData());
        const QString &title = rows.row(i).title;
        if (title.isEmpty())
            continue;
        scanner.scan(title, found);
        for (const Group &group : groups) {
            if (group.matches(found))
                hits.append(i);
        }
    }
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
        group.need(k);
    }
    groups.push_back(std::move(group));
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
    result.terms = QStringList{QString()};

    const bool anyOf = query.contains(u'+');
    const bool allOf = query.contains(u'*');
    QList<QStringView> words;
    std::vector<Group> groups;
    if (!anyOf && !allOf) {
        addGroup({query}, words, groups);
    } else {
        const QList<QStringView> alternatives = query.split(u'+', Qt::KeepEmptyParts);
        result.terms.clear();
        for (QStringView alternative : alternatives) {
            result.terms.append(alternative.toString());
            addGroup(alternative.split(u'*', Qt::KeepEmptyParts), words, groups);
        }
    }
    result.rows = searchGroups(rows, words, groups);
    return result;
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
        const HeadlineRow &source = rows.row(i);
        result.append(resultRow(source, keywordHitIcon(source.sub1)));
    }
    return result;
}

} // namespace mz
