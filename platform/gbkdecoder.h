#pragma once
// Decoding GBK and GB18030 pages at memory speed, with exactly the result of
// QStringDecoder("GB18030").
//
// ASCII bytes are widened as they are; a two-byte sequence is looked up in a constant table that
// the build makes by decoding every two-byte sequence through QStringDecoder. Everything else
// (four-byte sequences, bytes that are not valid where they stand, a sequence cut off by the end)
// is handed to QStringDecoder, from where it starts up to and including the next byte below 0x30:
// such a byte is never part of a GB18030 sequence, so the converter has no sequence pending after
// it and the pieces join up to what one call over the whole input gives.

#include <QByteArrayView>
#include <QChar>
#include <QString>

namespace mz {

class GbkDecoder
{
public:
    // Room that decode() may need for `bytes` input bytes.
    static qsizetype requiredSpace(qsizetype bytes) { return bytes + 8; }

    // Decodes `bytes` as one complete call of QStringDecoder("GB18030").appendToBuffer() on a
    // fresh decoder would, into `out` (requiredSpace(bytes.size()) units of room); returns the end
    // of what was written.
    static QChar *decode(QByteArrayView bytes, QChar *out);

    // The same into a new string.
    static QString decode(QByteArrayView bytes);

    // decode() followed by lowerCased() (platform/lowercase.h), in one pass: the same text.
    static QChar *decodeLowered(QByteArrayView bytes, QChar *out);

    // decodeLowered() into `lowered` and, unit for unit beside it, the text as decode() gives it
    // into `original` (the same room), so that a position in the one is the same character in
    // the other. Where the lower case is longer than its character (U+0130 and its two units),
    // U+0307 follows the character in `original`. Returns the end of `lowered`; as many units
    // are written to `original`.
    static QChar *decodeLoweredWithOriginal(QByteArrayView bytes, QChar *lowered, QChar *original);
};

} // namespace mz
