// The fast GBK decoder gives exactly what QStringDecoder("GB18030") gives, invalid and cut-off
// sequences included, and lower-cased exactly as QString::toLower() does, also with the text as
// it is beside it.

#include "platform/gbkdecoder.h"
#include "testsupport/gbkdecoding.h"

#include <QRandomGenerator>
#include <QStringDecoder>
#include <QTest>

using namespace mz;

namespace {

QString reference(QByteArrayView bytes)
{
    QStringDecoder decoder("GB18030");
    return decoder.decode(bytes);
}

// Empty when both decodings give Qt's text (lower-cased as QString::toLower() does for
// decodeLowered), else which one differs.
QString differs(const QByteArray &bytes)
{
    const QString expected = reference(bytes);
    if (GbkDecoder::decode(bytes) != expected)
        return QStringLiteral("decode");
    QString lowered(GbkDecoder::requiredSpace(bytes.size()), Qt::Uninitialized);
    lowered.truncate(GbkDecoder::decodeLowered(bytes, lowered.data()) - lowered.constData());
    if (lowered != expected.toLower())
        return QStringLiteral("decodeLowered");
    if (!mz::test::twinMatches(bytes, expected, lowered))
        return QStringLiteral("decodeLoweredWithOriginal");
    return {};
}

QByteArray bytesOf(std::initializer_list<int> values)
{
    QByteArray b;
    for (int v : values)
        b.append(char(v));
    return b;
}

} // namespace

class TestGbkDecoder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sameAsQt_data();
    void sameAsQt();
    void everyPairInContext();
    void randomMixtures();
};

void TestGbkDecoder::sameAsQt_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty") << QByteArray();
    QByteArray ascii;
    for (int b = 0; b < 0x80; ++b)
        ascii.append(char(b));
    QTest::newRow("every-ascii-byte") << ascii;
    QTest::newRow("gbk-text") << QByteArray(
        "<li>[\xb9\xfa\xc4\xda]<a href=/a>\xc4\xab\xd6\xdb</a>");
    QTest::newRow("four-byte-bmp") << bytesOf({0x81, 0x30, 0x81, 0x30, 'x'});
    QTest::newRow("four-byte-supplementary") << bytesOf({'a', 0x90, 0x30, 0x81, 0x30, 'b'});
    QTest::newRow("four-byte-beyond-unicode") << bytesOf({0xe3, 0x32, 0x9a, 0x36, 'z'});
    QTest::newRow("four-byte-bad-third") << bytesOf({0x81, 0x30, 0x20, 0x30, 0xc4, 0xab});
    QTest::newRow("four-byte-bad-fourth") << bytesOf({0x81, 0x30, 0x81, 0x7f, 0xc4, 0xab});
    QTest::newRow("cut-four-byte-at-end") << bytesOf({'a', 0x81, 0x30, 0x81});
    QTest::newRow("cut-pair-at-end") << bytesOf({'a', 0xc4});
    QTest::newRow("lone-0x80") << bytesOf({'a', 0x80, 'b', 0x80});
    QTest::newRow("lone-0xff") << bytesOf({0xff, 'a', 0xff, 0xc4, 0xab});
    QTest::newRow("lead-then-space") << bytesOf({0xc4, ' ', 0xc4, 0xab});
    QTest::newRow("lead-then-0x7f") << bytesOf({0xc4, 0x7f, 0xc4, 0xab});
    QTest::newRow("lead-then-0xff") << bytesOf({0xc4, 0xff, 0xab, 0xc4});
    QTest::newRow("lead-then-digit") << bytesOf({0xc4, '5', 'a', 0xc4, 0xab});
    QTest::newRow("lead-then-lt") << bytesOf({0xc4, '<', '/', 'a', '>'});
    QTest::newRow("user-defined-area") << bytesOf({0xaa, 0xa1, 0xfe, 0xfe, 0xa1, 0x40});
    QTest::newRow("euro-and-0x80-pairs") << bytesOf({0xa2, 0xe3, 0x81, 0x80, 0xfe, 0x80});
    QTest::newRow("nul-between") << bytesOf({0xc4, 0, 0xab, 0});
    QByteArray longAscii(100, 'A');
    longAscii.append(bytesOf({0xc4, 0xab})).append(QByteArray(37, 'b'));
    QTest::newRow("ascii-runs-past-sixteen") << longAscii;
    // Capitals of ASCII, full-width Latin, Greek and Cyrillic; U+0130 (four bytes), whose lower
    // case is two units; a supplementary capital.
    QTest::newRow("capitals") << bytesOf({'A', 'Z', '@', '[', 0xa3, 0xc1, 0xa6, 0xa1, 0xa7, 0xa1,
                                          0x81, 0x30, 0x90, 0x32, 'Q', 0x90, 0x30, 0xe7, 0x34});
}

void TestGbkDecoder::sameAsQt()
{
    QFETCH(QByteArray, bytes);
    QCOMPARE(differs(bytes), QString());
}

// Every two-byte combination behind a lead byte range, between ASCII and between characters.
void TestGbkDecoder::everyPairInContext()
{
    QByteArray all;
    for (int lead = 0x80; lead <= 0xff; ++lead) {
        for (int trail = 0; trail <= 0xff; ++trail) {
            const QByteArray pair = bytesOf({lead, trail});
            const QByteArray framed = QByteArray("a") + pair + bytesOf({0xc4, 0xab});
            if (const QString which = differs(framed); !which.isEmpty())
                QFAIL(qPrintable(QStringLiteral("%1 differs at %2 %3")
                                     .arg(which)
                                     .arg(lead, 0, 16)
                                     .arg(trail, 0, 16)));
            all += pair;
        }
    }
    QCOMPARE(differs(all), QString());
}

// Random mixtures of bytes that start, continue or break sequences.
void TestGbkDecoder::randomMixtures()
{
    static const int alphabet[] = {0x00, 0x20, 0x2f, 0x30, 0x35, 0x39, 0x3a, 0x40, 0x41, 0x5a, 0x7e,
                                   0x7f, 0x80, 0x81, 0x84, 0x90, 0xa1, 0xc4, 0xe3, 0xfe, 0xff};
    QRandomGenerator random(20070302);
    for (int round = 0; round < 3000; ++round) {
        QByteArray bytes;
        const int length = random.bounded(1, 40);
        for (int i = 0; i < length; ++i)
            bytes.append(char(alphabet[random.bounded(int(std::size(alphabet)))]));
        if (const QString which = differs(bytes); !which.isEmpty())
            QFAIL(qPrintable(QStringLiteral("%1 differs on %2")
                                 .arg(which, QString::fromLatin1(bytes.toHex(' ')))));
    }
}

QTEST_GUILESS_MAIN(TestGbkDecoder)
#include "tst_gbkdecoder.moc"
