#include "lists/pagescan.h"

#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace mz {

namespace {

// 0-based index of the first occurrence of needle in text at or after `from`, or -1.
// Looks for the needle's first and last character at once, eight positions at a time, and
// compares the middle only where both match: a page holds many "<" and ">" but few places
// where both ends of a marker line up.
qsizetype indexOf(QStringView text, QStringView needle, qsizetype from)
{
    const qsizetype n = text.size();
    const qsizetype m = needle.size();
    if (m == 0)
        return from <= n ? from : -1;
    if (m == 1)
        return text.indexOf(needle.front(), from);
    const char16_t *hay = text.utf16();
    const char16_t *pat = needle.utf16();
    const char16_t first = pat[0];
    const char16_t last = pat[m - 1];
    const size_t middleBytes = size_t(m - 2) * sizeof(char16_t);
    qsizetype i = from;
#ifdef __SSE2__
    const __m128i firstV = _mm_set1_epi16(short(first));
    const __m128i lastV = _mm_set1_epi16(short(last));
    for (; i + m - 1 + 8 <= n; i += 8) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i *>(hay + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i *>(hay + i + m - 1));
        unsigned mask = unsigned(_mm_movemask_epi8(
            _mm_and_si128(_mm_cmpeq_epi16(a, firstV), _mm_cmpeq_epi16(b, lastV))));
        while (mask) {
            const int bit = __builtin_ctz(mask);
            const qsizetype at = i + bit / 2;
            if (std::memcmp(hay + at + 1, pat + 1, middleBytes) == 0)
                return at;
            mask &= ~(3u << bit);
        }
    }
#endif
    for (; i + m <= n; ++i) {
        if (hay[i] == first && hay[i + m - 1] == last &&
            std::memcmp(hay + i + 1, pat + 1, middleBytes) == 0)
            return i;
    }
    return -1;
}

inline bool isBlank(char16_t c)
{
    return c == u' ' || (c >= u'\t' && c <= u'\r') || (c >= 0x80 && QChar::isSpace(c));
}

} // namespace

qsizetype findFrom(QStringView text, QStringView needle, qsizetype from)
{
    if (from < 1 || from > text.size())
        return 0;
    const qsizetype i = indexOf(text, needle, from - 1);
    return i < 0 ? 0 : i + 1;
}

qsizetype ForwardFinder::find(qsizetype from)
{
    return m_memo.find(from, [this](qsizetype start) {
        const qsizetype found = findFrom(m_text, m_needle, start);
        const qsizetype stop = found ? found + m_needle.size() - 1 : m_text.size();
        m_searched += std::max<qsizetype>(0, stop - start + 1);
        return found;
    });
}

std::optional<QStringView> cutText(QStringView text, qsizetype start, qsizetype length)
{
    if (start < 1 || length < 0 || length > kMaxCutLength)
        return std::nullopt;
    if (start > text.size())
        return QStringView();
    return text.sliced(start - 1, std::min(length, text.size() - (start - 1)));
}

QStringView hrefValue(QStringView raw)
{
    const char16_t *p = raw.utf16();
    qsizetype n = raw.size();
    while (n > 0 && isBlank(*p)) {
        ++p;
        --n;
    }
    if (n == 0)
        return {};
    if (*p == u'"' || *p == u'\'') {
        const QStringView rest(p + 1, n - 1);
        const qsizetype close = rest.indexOf(QChar(*p));
        return close < 0 ? rest : rest.first(close);
    }
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = p[i];
        if ((c <= u' ' || c >= 0x80) && isBlank(c))
            return QStringView(p, i);
    }
    return QStringView(p, n);
}

} // namespace mz
