#include "platform/gbkdecoder.h"

#include <QStringDecoder>

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
// the pair needs the converter (it is not one valid sequence giving one unit of the BMP);
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

} // namespace

QChar *GbkDecoder::decode(QByteArrayView bytes, QChar *out)
{
    const uchar *p = reinterpret_cast<const uchar *>(bytes.data());
    const uchar *const end = p + bytes.size();
    if (!kGbkAsciiAsIs)
        return convert(p, end, out); // a converter unlike any known one: take it as it is
    char16_t *dst = reinterpret_cast<char16_t *>(out);
    while (p < end) {
#ifdef __SSE2__
        // Sixteen ASCII bytes at a time.
        while (end - p >= 16) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
            if (_mm_movemask_epi8(v) != 0)
                break;
            const __m128i zero = _mm_setzero_si128();
            _mm_storeu_si128(reinterpret_cast<__m128i *>(dst), _mm_unpacklo_epi8(v, zero));
            _mm_storeu_si128(reinterpret_cast<__m128i *>(dst + 8), _mm_unpackhi_epi8(v, zero));
            p += 16;
            dst += 16;
        }
        if (p == end)
            break;
#endif
        const uchar b = *p;
        if (b < 0x80) {
            *dst++ = b;
            ++p;
            continue;
        }
        if (b >= kLeadFirst && b <= kLeadLast && end - p >= 2 && p[1] >= kTrailFirst &&
            p[1] <= kTrailLast) {
            const char16_t u = kGbkPairUnits[b - kLeadFirst][p[1] - kTrailFirst];
            if (u != 0) {
                *dst++ = u;
                p += 2;
                continue;
            }
        }
        // Anything else goes to the converter, up to and including the next byte that no
        // sequence holds (or to the end).
        const uchar *stop = p + 1;
        while (stop < end && *stop >= kNeverInSequence)
            ++stop;
        if (stop < end)
            ++stop;
        dst = reinterpret_cast<char16_t *>(convert(p, stop, reinterpret_cast<QChar *>(dst)));
        p = stop;
    }
    return reinterpret_cast<QChar *>(dst);
}

QString GbkDecoder::decode(QByteArrayView bytes)
{
    QString text(requiredSpace(bytes.size()), Qt::Uninitialized);
    QChar *const begin = text.data();
    text.truncate(decode(bytes, begin) - begin);
    return text;
}

} // namespace mz
