#include "platform/lowercase.h"

#include <algorithm>
#include <type_traits>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace mz {

namespace {

// kLowerCaseMap[c] is the lower case of c, or 0 when c needs the slow path (surrogates and
// characters whose lower case is not a single unit); 0 itself maps to 0 and needs no special
// handling. It is computed from QString::toLower() when the program is built (tools/gentables).
#include "lowercase.inc"

static_assert(std::extent_v<decltype(kLowerCaseMap)> == 0x10000);

// Lower-cases units from src to dst (which may be src) up to the first one that needs the slow
// path; returns its index, or n.
qsizetype lowerSimple(const char16_t *src, char16_t *dst, qsizetype n)
{
    const char16_t *const map = kLowerCaseMap;
    qsizetype i = 0;
    for (;;) {
#ifdef __SSE2__
        // Eight characters at a time while each is ASCII or between U+3000 and U+A63F (the
        // CJK punctuation, kana, ideographs and the scripts up to there, none of which has a
        // case): A-Z gain 0x20, everything else stays. A block with any other character goes
        // through the table below.
        const __m128i asciiTop = _mm_set1_epi16(0x7f);
        const __m128i upperLow = _mm_set1_epi16('A' - 1);
        const __m128i upperHigh = _mm_set1_epi16('Z' + 1);
        const __m128i caseBit = _mm_set1_epi16(0x20);
        const __m128i caselessFrom = _mm_set1_epi16(0x3000);
        const __m128i signBit = _mm_set1_epi16(short(0x8000));
        // Unsigned "v - 0x3000 < 0xA640 - 0x3000", as a signed comparison with the sign bit
        // flipped.
        const __m128i caselessSpan = _mm_set1_epi16(short((0xA640 - 0x3000) ^ 0x8000));
        for (; i + 8 <= n; i += 8) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(src + i));
            // Unsigned "v <= 0x7f" on 16-bit lanes: saturating subtraction leaves a zero lane.
            const __m128i ascii = _mm_cmpeq_epi16(_mm_subs_epu16(v, asciiTop), _mm_setzero_si128());
            const __m128i caseless = _mm_cmplt_epi16(
                _mm_xor_si128(_mm_sub_epi16(v, caselessFrom), signBit), caselessSpan);
            if (_mm_movemask_epi8(_mm_or_si128(ascii, caseless)) != 0xffff)
                break;
            const __m128i upper =
                _mm_and_si128(_mm_cmpgt_epi16(v, upperLow), _mm_cmplt_epi16(v, upperHigh));
            _mm_storeu_si128(reinterpret_cast<__m128i *>(dst + i),
                             _mm_or_si128(v, _mm_and_si128(upper, caseBit)));
        }
#endif
        if (i >= n)
            return n;
        // One block (or the tail) through the table.
        const qsizetype blockEnd = std::min(n, i + 8);
        bool slow = false;
        for (; i < blockEnd; ++i) {
            const char16_t c = src[i];
            const char16_t l = map[c];
            if (l == 0 && c != 0) {
                slow = true;
                break;
            }
            dst[i] = l;
        }
        if (slow)
            return i;
    }
}

// Lower-cases the n units at src into `out` (n units long, unshared), which may hold src itself.
QString lowerCaseUnits(const char16_t *src, qsizetype n, QString out)
{
    const char16_t *const map = kLowerCaseMap;
    char16_t *dst = reinterpret_cast<char16_t *>(out.data());
    for (qsizetype i = lowerSimple(src, dst, n); i < n; ++i) {
        const char16_t c = src[i];
        const char16_t l = map[c];
        if (l != 0 || c == 0) {
            dst[i] = l;
            continue;
        }
        // Slow path: a surrogate pair or a character with a longer lower case. The output may
        // grow, so finish the rest with a growing string.
        QString rest;
        rest.reserve(n - i + 16);
        rest.append(QStringView(dst, i));
        for (qsizetype j = i; j < n; ++j) {
            const char16_t d = src[j];
            const char16_t m = map[d];
            if (m != 0 || d == 0) {
                rest.append(QChar(m));
            } else if (QChar::isHighSurrogate(d) && j + 1 < n &&
                       QChar::isLowSurrogate(src[j + 1])) {
                rest.append(QStringView(src + j, 2).toString().toLower());
                ++j;
            } else if (QChar::isSurrogate(d)) {
                rest.append(QChar::ReplacementCharacter); // as QString::toLower() does
            } else {
                rest.append(QStringView(src + j, 1).toString().toLower());
            }
        }
        return rest;
    }
    return out;
}

} // namespace

QString lowerCased(QStringView text)
{
    return lowerCaseUnits(text.utf16(), text.size(), QString(text.size(), Qt::Uninitialized));
}

qsizetype lowerCaseSimpleInPlace(char16_t *units, qsizetype n)
{
    return lowerSimple(units, units, n);
}

void lowerCaseInPlace(QString &text)
{
    const qsizetype n = text.size();
    const char16_t *units = reinterpret_cast<const char16_t *>(text.data()); // unshares it
    text = lowerCaseUnits(units, n, std::move(text));
}

} // namespace mz
