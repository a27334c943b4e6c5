#include "platform/gbkdecoder.h"

#include "platform/lowercase.h"

#include <QStringDecoder>

#include <algorithm>
#include <type_traits>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace mz {

namespace {

constexpr int kLeadFirst = 0x81;
constexpr int kLeadLast = 0xFE;
constexpr int kTrailFirst = 0x40;
constexpr int kTrailLast = 0xFE;
constexpr int kTrails = kTrailLast - kTrailFirst + 1;

// Bytes below this value end whatever sequence the converter may be in the middle of.
constexpr uchar kNeverInSequence = 0x30;

// kGbkPairUnits[lead - 0x81][trail - 0x40] is the character the two bytes stand for, or 0 when
// the pair needs the converter (it is not one valid sequence giving one unit of the BMP), and
// kGbkPairUnitsLowered the same character lower-cased (0 also where its lower case is longer);
// kGbkAsciiAsIs tells whether every byte below 0x80 decodes to itself. Both are computed from
// QStringDecoder("GB18030") when the program is built (tools/gentables).
#include "gbkpairs.inc"

static_assert(std::extent_v<decltype(kGbkPairUnits), 0> == kLeadLast - kLeadFirst + 1);
static_assert(std::extent_v<decltype(kGbkPairUnits), 1> == kTrails);

// Decodes [from, to) through the converter on a fresh decoder; returns the end of the output.
QChar *convert(const uchar *from, const uchar *to, QChar *out)
{
    QStringDecoder decoder("GB18030");
    return decoder.appendToBuffer(out,
                                  QByteArrayView(reinterpret_cast<const char *>(from), to - from));
}

// Lower-cases the units [from, to) in place (what the converter gave); returns the new end. A
// lower case longer than its character (U+0130) still fits: a piece's units, lower-cased, are
// never more than the bytes they came from.
char16_t *lowerPiece(char16_t *from, char16_t *to)
{
    const qsizetype n = to - from;
    const qsizetype simple = lowerCaseSimpleInPlace(from, n);
    if (simple == n)
        return to;
    const QString rest = lowerCased(QStringView(from + simple, n - simple));
    std::copy_n(reinterpret_cast<const char16_t *>(rest.constData()), rest.size(), from + simple);
    return from + simple + rest.size();
}

// Lays the converter's piece [from, from + units) out again beside its lower-cased form of
// `loweredUnits` units, in place (there is room for `loweredUnits`): a character whose lower case
// is two units (U+0130) is followed by U+0307, which its lower case ends with. Should the forms
// still not line up, the piece takes the lower-cased units instead.
void alignPiece(char16_t *from, qsizetype units, const char16_t *lowered, qsizetype loweredUnits)
{
    if (units == loweredUnits)
        return;
    constexpr char16_t kCapitalIWithDot = 0x130;
    const qsizetype longer = std::count(from, from + units, kCapitalIWithDot);
    if (units + longer != loweredUnits) {
        std::copy_n(lowered, loweredUnits, from);
        return;
    }
    char16_t *out = from + loweredUnits;
    for (qsizetype i = units; i-- > 0;) {
        if (from[i] == kCapitalIWithDot)
            *--out = 0x307;
        *--out = from[i];
    }
}

// Decodes [from, to) through the converter into `dst`, lower-cased when Lower, and with Twin the
// text as written into `twinDst`, laid out beside it; returns the end of what `dst` received.
template <bool Lower, bool Twin>
char16_t *convertPiece(const uchar *from, const uchar *to, char16_t *dst, char16_t *twinDst)
{
    char16_t *const end =
        reinterpret_cast<char16_t *>(convert(from, to, reinterpret_cast<QChar *>(dst)));
    if constexpr (Twin)
        std::copy(dst, end, twinDst);
    char16_t *const lowEnd = Lower ? lowerPiece(dst, end) : end;
    if constexpr (Twin)
        alignPiece(twinDst, end - dst, dst, lowEnd - dst);
    return lowEnd;
}

// Decodes `bytes` into `out`, lower-cased when Lower; with Twin also, unit for unit beside the
// lower-cased text, the text as decoded into `twin` (see decodeLoweredWithOriginal).
template <bool Lower, bool Twin = false>
QChar *decodeBytes(QByteArrayView bytes, QChar *out, QChar *twin = nullptr)
{
    static_assert(Lower || !Twin);
    const uchar *p = reinterpret_cast<const uchar *>(bytes.data());
    const uchar *const end = p + bytes.size();
    char16_t *dst = reinterpret_cast<char16_t *>(out);
    // The twin's units stand at the same offsets as the lower-cased ones.
    char16_t *const base = dst;
    const auto beside = [base, twin](const char16_t *at) {
        return reinterpret_cast<char16_t *>(twin) + (at - base);
    };
    if (!kGbkAsciiAsIs) // a converter unlike any known one: take it as it is
        return reinterpret_cast<QChar *>(
            convertPiece<Lower, Twin>(p, end, dst, Twin ? beside(dst) : nullptr));
    const auto &pairUnits = Lower ? kGbkPairUnitsLowered : kGbkPairUnits;
    while (p < end) {
#ifdef __SSE2__
        // Sixteen bytes at a time while they are ASCII (A-Z gain 0x20 when lower-casing). A block
        // that holds other bytes is widened all the same and its ASCII beginning kept: the units
        // written past it are overwritten next, and never reach beyond the room decode() asks
        // for, since no byte gives more than one unit here.
        while (end - p >= 16) {
            __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
            const unsigned high = unsigned(_mm_movemask_epi8(v));
            const __m128i zero = _mm_setzero_si128();
            if constexpr (Twin) {
                _mm_storeu_si128(reinterpret_cast<__m128i *>(beside(dst)),
                                 _mm_unpacklo_epi8(v, zero));
                _mm_storeu_si128(reinterpret_cast<__m128i *>(beside(dst) + 8),
                                 _mm_unpackhi_epi8(v, zero));
            }
            if constexpr (Lower) {
                const __m128i upper = _mm_and_si128(_mm_cmpgt_epi8(v, _mm_set1_epi8('A' - 1)),
                                                    _mm_cmplt_epi8(v, _mm_set1_epi8('Z' + 1)));
                v = _mm_or_si128(v, _mm_and_si128(upper, _mm_set1_epi8(0x20)));
            }
            _mm_storeu_si128(reinterpret_cast<__m128i *>(dst), _mm_unpacklo_epi8(v, zero));
            _mm_storeu_si128(reinterpret_cast<__m128i *>(dst + 8), _mm_unpackhi_epi8(v, zero));
            const int ascii = high ? __builtin_ctz(high) : 16;
            p += ascii;
            dst += ascii;
            if (high)
                break;
        }
        if (p == end)
            break;
#endif
        // A run of two-byte sequences (a title, a category) through the table.
        while (end - p >= 2 && p[0] >= kLeadFirst && p[0] <= kLeadLast && p[1] >= kTrailFirst &&
               p[1] <= kTrailLast) {
            const char16_t u = pairUnits[p[0] - kLeadFirst][p[1] - kTrailFirst];
            if (u == 0)
                break;
            if constexpr (Twin)
                *beside(dst) = kGbkPairUnits[p[0] - kLeadFirst][p[1] - kTrailFirst];
            *dst++ = u;
            p += 2;
        }
        if (p == end)
            break;
        const uchar b = *p;
        if (b < 0x80) {
            if constexpr (Twin)
                *beside(dst) = b;
            *dst++ = Lower && b >= 'A' && b <= 'Z' ? char16_t(b + 0x20) : b;
            ++p;
            continue;
        }
        // Anything else goes to the converter, up to and including the next byte that no
        // sequence holds (or to the end).
        const uchar *stop = p + 1;
        while (stop < end && *stop >= kNeverInSequence)
            ++stop;
        if (stop < end)
            ++stop;
        dst = convertPiece<Lower, Twin>(p, stop, dst, Twin ? beside(dst) : nullptr);
        p = stop;
    }
    return reinterpret_cast<QChar *>(dst);
}

} // namespace

QChar *GbkDecoder::decode(QByteArrayView bytes, QChar *out)
{
    return decodeBytes<false>(bytes, out);
}

QChar *GbkDecoder::decodeLowered(QByteArrayView bytes, QChar *out)
{
    return decodeBytes<true>(bytes, out);
}

QChar *GbkDecoder::decodeLoweredWithOriginal(QByteArrayView bytes, QChar *lowered, QChar *original)
{
    return decodeBytes<true, true>(bytes, lowered, original);
}

QString GbkDecoder::decode(QByteArrayView bytes)
{
    QString text(requiredSpace(bytes.size()), Qt::Uninitialized);
    QChar *const begin = text.data();
    text.truncate(decode(bytes, begin) - begin);
    return text;
}

} // namespace mz
