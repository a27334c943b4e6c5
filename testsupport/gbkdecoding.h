#pragma once
// What the GBK decoder must give on any bytes, checked the same way by the unit test and the
// fuzz target.

#include "platform/gbkdecoder.h"

#include <QString>

namespace mz::test {

// Whether decodeLoweredWithOriginal() on `bytes` gives `lowered` (what decodeLowered() gave)
// and, unit for unit beside it, `expected` (Qt's decoding) with U+0307 after each U+0130 (the
// one character whose lower case is two units, the second being that dot).
inline bool twinMatches(QByteArrayView bytes, const QString &expected, const QString &lowered)
{
    QString twinLowered(GbkDecoder::requiredSpace(bytes.size()), Qt::Uninitialized);
    QString twin(twinLowered.size(), Qt::Uninitialized);
    const qsizetype units =
        GbkDecoder::decodeLoweredWithOriginal(bytes, twinLowered.data(), twin.data()) -
        twinLowered.constData();
    QString aligned = expected;
    aligned.replace(QChar(0x130), QStringLiteral("\u0130\u0307"));
    return twinLowered.first(units) == lowered && twin.first(units) == aligned;
}

} // namespace mz::test
