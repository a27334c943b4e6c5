// Computes the lookup tables of the GBK decoder (platform/gbkdecoder.cpp) and of lower-casing
// (platform/lowercase.cpp) from the Qt this program is built against, and writes them as C++ source
// that those files include:
//   mozhou-gentables GBK_PAIRS_FILE LOWER_CASE_FILE
// The build runs it, so the program carries the tables as constant data and does no work to have
// them. The tests of both files compare the results with Qt at run time.

#include <QByteArray>
#include <QList>
#include <QSaveFile>
#include <QString>
#include <QStringDecoder>

#include <cstdio>
#include <vector>

namespace {

constexpr int kLeadFirst = 0x81;
constexpr int kLeadLast = 0xFE;
constexpr int kLeads = kLeadLast - kLeadFirst + 1;
constexpr int kTrailFirst = 0x40;
constexpr int kTrailLast = 0xFE;
constexpr int kTrails = kTrailLast - kTrailFirst + 1;

// units[(lead - 0x81) * kTrails + trail - 0x40] is the character the two bytes stand for, or 0
// when the pair needs the converter (it is not one valid sequence giving one unit of the BMP).
std::vector<char16_t> gbkPairUnits()
{
    std::vector<char16_t> units(kLeads * kTrails);
    // All pairs in one call, each followed by a space: no sequence holds a space, so the text
    // between two spaces is what that pair alone decodes to.
    QByteArray pairs;
    pairs.reserve(kLeads * kTrails * 3);
    for (int lead = kLeadFirst; lead <= kLeadLast; ++lead) {
        for (int trail = kTrailFirst; trail <= kTrailLast; ++trail)
            pairs.append(char(lead)).append(char(trail)).append(' ');
    }
    QStringDecoder decoder("GB18030");
    const QString decoded = decoder.decode(pairs);
    const QList<QStringView> pieces = QStringView(decoded).split(u' ');
    const bool inStep = pieces.size() == kLeads * kTrails + 1;
    char pair[2];
    qsizetype next = 0;
    for (int lead = kLeadFirst; lead <= kLeadLast; ++lead) {
        for (int trail = kTrailFirst; trail <= kTrailLast; ++trail) {
            QString alone;
            if (!inStep) {
                pair[0] = char(lead);
                pair[1] = char(trail);
                QStringDecoder one("GB18030");
                alone = one.decode(QByteArrayView(pair, 2));
            }
            const QStringView text = inStep ? pieces[next++] : QStringView(alone);
            // A pair stands for one character outside ASCII, or it needs the converter.
            const bool single = text.size() == 1 && text[0].unicode() >= 0x80 &&
                                text[0] != QChar::ReplacementCharacter && !text[0].isSurrogate();
            units[(lead - kLeadFirst) * kTrails + trail - kTrailFirst] =
                single ? text[0].unicode() : 0;
        }
    }
    return units;
}

// Whether every byte below 0x80 decodes to itself.
bool gbkAsciiAsIs()
{
    QByteArray ascii(0x80, Qt::Uninitialized);
    for (int b = 0; b < 0x80; ++b)
        ascii[b] = char(b);
    const QString text = QStringDecoder("GB18030").decode(ascii);
    bool asIs = text.size() == 0x80;
    for (int b = 0; asIs && b < 0x80; ++b)
        asIs = text[b].unicode() == b;
    return asIs;
}

// map[c] is the lower case of c, or 0 when c needs the slow path (surrogates and characters whose
// lower case is not a single unit). 0 itself maps to 0 and needs no special handling.
std::vector<char16_t> lowerCaseMap()
{
    std::vector<char16_t> map(0x10000);
    // Blocks of 256 characters are lower-cased as one string; a block whose length changes holds
    // a special case and is resolved character by character.
    QString block(256, Qt::Uninitialized);
    for (int base = 0; base < 0x10000; base += 256) {
        for (int i = 0; i < 256; ++i)
            block[i] = QChar(char16_t(base + i));
        const QString lower = block.toLower();
        const bool surrogates = base >= 0xD800 && base < 0xE000;
        if (!surrogates && lower.size() == block.size()) {
            for (int i = 0; i < 256; ++i)
                map[base + i] = lower[i].unicode();
            continue;
        }
        for (int i = 0; i < 256; ++i) {
            const char16_t c = char16_t(base + i);
            if (QChar::isSurrogate(c)) {
                map[c] = 0;
                continue;
            }
            const QString one = QString(QChar(c)).toLower();
            map[c] = one.size() == 1 ? one[0].unicode() : 0;
        }
    }
    map[0] = 0;
    return map;
}

// Lines of sixteen hex numbers; a row of `rowLength` values (when given) gets its own braces.
QByteArray initializer(const std::vector<char16_t> &values, size_t rowLength = 0)
{
    QByteArray out;
    out.reserve(qsizetype(values.size()) * 7);
    for (size_t i = 0; i < values.size(); ++i) {
        const size_t inRow = rowLength ? i % rowLength : i;
        if (rowLength && inRow == 0)
            out += "{\n";
        out += values[i] ? "0x" + QByteArray::number(values[i], 16) : QByteArray("0");
        out += ',';
        const bool rowEnds = rowLength && inRow + 1 == rowLength;
        if (inRow % 16 == 15 || rowEnds || i + 1 == values.size())
            out += '\n';
        if (rowEnds)
            out += "},\n";
    }
    return out;
}

QByteArray header()
{
    return "// Generated by mozhou-gentables (tools/gentables/gentables.cpp) with Qt " +
           QByteArray(qVersion()) + "; do not edit.\n";
}

bool write(const char *path, const QByteArray &text)
{
    QSaveFile file(QString::fromLocal8Bit(path));
    if (file.open(QIODevice::WriteOnly) && file.write(text) == text.size() && file.commit())
        return true;
    std::fprintf(stderr, "mozhou-gentables: cannot write %s: %s\n", path,
                 qPrintable(file.errorString()));
    return false;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: mozhou-gentables GBK_PAIRS_FILE LOWER_CASE_FILE\n");
        return 2;
    }
    const std::vector<char16_t> pairs = gbkPairUnits();
    const std::vector<char16_t> map = lowerCaseMap();
    // The pairs' lower case, for decoding and lower-casing in one step (0 where either needs
    // the general path).
    std::vector<char16_t> loweredPairs(pairs.size());
    for (size_t i = 0; i < pairs.size(); ++i)
        loweredPairs[i] = pairs[i] ? map[pairs[i]] : 0;
    const QByteArray shape =
        "[" + QByteArray::number(kLeads) + "][" + QByteArray::number(kTrails) + "]";
    const QByteArray gbk =
        header() + "constexpr bool kGbkAsciiAsIs = " + (gbkAsciiAsIs() ? "true" : "false") + ";\n" +
        "constexpr char16_t kGbkPairUnits" + shape + " = {\n" + initializer(pairs, kTrails) +
        "};\nconstexpr char16_t kGbkPairUnitsLowered" + shape + " = {\n" +
        initializer(loweredPairs, kTrails) + "};\n";
    const QByteArray lower =
        header() + "constexpr char16_t kLowerCaseMap[0x10000] = {\n" + initializer(map) + "};\n";
    return write(argv[1], gbk) && write(argv[2], lower) ? 0 : 1;
}
