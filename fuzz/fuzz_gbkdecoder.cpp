// The fast GBK decoder on any bytes gives exactly what QStringDecoder("GB18030") gives, also when
// the bytes are decoded in pieces cut after a byte below 0x30 (as a page file is read), and
// lower-cased while decoding as QString::toLower() lower-cases it, also with the text as it is
// beside it.

#include "fuzz/fuzzinput.h"
#include "platform/gbkdecoder.h"
#include "testsupport/gbkdecoding.h"

#include <QStringDecoder>

using namespace mz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QStringDecoder reference("GB18030");
    const QString expected = reference.decode(bytes);
    fuzz::require(GbkDecoder::decode(bytes) == expected, "the same text as QStringDecoder");

    QString pieces(GbkDecoder::requiredSpace(bytes.size()), Qt::Uninitialized);
    QChar *out = pieces.data();
    qsizetype from = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (uchar(bytes[i]) < 0x30 && (i * 7 + size) % 3 == 0) {
            out = GbkDecoder::decode(bytes.sliced(from, i + 1 - from), out);
            from = i + 1;
        }
    }
    out = GbkDecoder::decode(bytes.sliced(from), out);
    pieces.truncate(out - pieces.constData());
    fuzz::require(pieces == expected, "pieces join up to the whole");

    QString lowered(GbkDecoder::requiredSpace(bytes.size()), Qt::Uninitialized);
    lowered.truncate(GbkDecoder::decodeLowered(bytes, lowered.data()) - lowered.constData());
    fuzz::require(lowered == expected.toLower(), "lower-cased as QString::toLower()");

    fuzz::require(mz::test::twinMatches(bytes, expected, lowered),
                  "the text as it is, unit for unit beside the lower-cased text");
    return 0;
}
