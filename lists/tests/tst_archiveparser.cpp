// The archive page parser on pages built in the test: entries, markers, damaged entries.

#include "lists/archiveparser.h"
#include "lists/characterreferences.h"
#include "lists/headlinemodel.h"
#include "platform/lowercase.h"
#include "lists/pagescan.h"
#include "lists/pagestream.h"
#include "platform/textfile.h"

#include "testsupport/rows.h"

#include <QFile>
#include <QTest>

using namespace mz;

namespace {

const QString kBase = QStringLiteral("http://portal.test");

QString entry(const QString &category, const QString &href, const QString &title)
{
    return QStringLiteral("<li>[%1]<a href=%2>%3</a></li>\r\n").arg(category, href, title);
}

// The rows of a page as the archive list takes them: the scan's views of the page text,
// appended to a model chunk by chunk.
HeadlineRows rowsThroughModel(const QString &text, const QString &base)
{
    HeadlineModel model(HeadlineModel::Kind::Archive);
    QString lowered = text;
    lowerCaseInPlace(lowered);
    QString original = text; // beside the lower-cased text unit for unit, as the decoder keeps it
    original.replace(QChar(0x130), u"\u0130\u0307"_qs);
    scanArchiveEntries(
        lowered, base,
        [&model](std::span<const HeadlineRef> chunk, qsizetype) {
            model.append(chunk);
            return true;
        },
        original);
    return model.rows();
}

QString page(const QString &entries)
{
    return QStringLiteral(
               "<html><head><title>滚动新闻</title></head><body>\r\n<!-- 新闻开始 -->\r\n<ul>") +
           entries + QStringLiteral("</ul>\r\n<!-- 新闻结束 -->\r\n</body></html>");
}

// Scans the page's whole decoded text into `model`, as a page held in memory is scanned;
// `units`, when given, receives the length of that text.
ArchiveScanResult scanWholePage(const QByteArray &bytes, HeadlineModel &model,
                                qsizetype *units = nullptr)
{
    ArchivePageText text;
    const QStringView lowered = text.decodeLowered(bytes);
    if (units)
        *units = lowered.size();
    return scanArchiveEntries(
        lowered, kBase,
        [&](std::span<const HeadlineRef> chunk, qsizetype) {
            model.append(chunk);
            return true;
        },
        text.originalText());
}

// Damaged pages whose rows, taken as the parse's rules say, would hold hundreds of times the
// page's text: thousands of bare entries that cut the page's first anchor again, or whose
// anchor never closes so that each keeps the long title before them.
QByteArray damagedPage(bool carried, int entries)
{
    const QString longTitle = QStringLiteral("T").repeated(990);
    const QString page =
        carried ? u"新闻开始<li>[国内]<a href=/a.shtml>"_qs + longTitle + u"</a>"_qs +
                      u"<li>[国内]<a href=/b>"_qs.repeated(entries) + u"新闻结束</html>"_qs
                : u"<li>[国内]<a href=/a.shtml>"_qs + longTitle + u"</a>新闻开始"_qs +
                      u"<li>"_qs.repeated(entries) + u"新闻结束</html>"_qs;
    return encodeAnsi(page);
}

} // namespace

class TestArchiveParser : public QObject
{
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void joinedAddresses_data();
    void joinedAddresses();
    void failedCutsKeepTheAddress_data();
    void failedCutsKeepTheAddress();
    void rowsHaveNoCommentAndNoTick();
    void chunksOfHundred();
    void sinkStopsTheParse();
    void manyCategoriesWithinAChunk();
    void missingMarkerStaysLinear();
    void hrefValue_data();
    void hrefValue();
    void characterReferences_data();
    void characterReferences();
    void lowerCaseMatchesQt_data();
    void lowerCaseMatchesQt();
    void fileDecodedInBlocks_data();
    void fileDecodedInBlocks();
    void streamedScanMatchesWholeText_data();
    void streamedScanMatchesWholeText();
    void damagedPageHoldsBoundedText_data();
    void damagedPageHoldsBoundedText();
    void originalViewsMoveWithTheText_data();
    void originalViewsMoveWithTheText();
};

void TestArchiveParser::parse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");

    const QString b = kBase;
    QTest::newRow("empty-page") << QString() << QStringList();
    QTest::newRow("no-end-marker")
        << QStringLiteral("新闻开始<ul>") + entry(u"国内"_qs, u"/a.shtml"_qs, u"a"_qs)
        << QStringList();
    QTest::newRow("no-start-marker")
        << entry(u"国内"_qs, u"/a.shtml"_qs, u"甲"_qs) +
               entry(u"国际"_qs, u"/b.shtml"_qs, u"乙"_qs) + u"新闻结束"_qs
        << QStringList{u"甲|国内|%1/a.shtml|6"_qs.arg(b), u"乙|国际|%1/b.shtml|5"_qs.arg(b)};
    QTest::newRow("entries-outside-the-markers-ignored")
        << entry(u"国内"_qs, u"/before.shtml"_qs, u"before"_qs) +
               page(entry(u"体育"_qs, u"/in.shtml"_qs, u"in"_qs)) +
               entry(u"国内"_qs, u"/after.shtml"_qs, u"after"_qs)
        << QStringList{u"in|体育|%1/in.shtml|10"_qs.arg(b)};
    QTest::newRow("empty-brackets") << page(entry(QString(), u"/x.shtml"_qs, u"t"_qs))
                                    << QStringList{u"t|考试|%1/x.shtml|23"_qs.arg(b)};
    QTest::newRow("every-category-icon")
        << page(entry(u"国内"_qs, u"/1"_qs, u"1"_qs) + entry(u"国际"_qs, u"/2"_qs, u"2"_qs) +
                entry(u"文化"_qs, u"/3"_qs, u"3"_qs) + entry(u"环保"_qs, u"/4"_qs, u"4"_qs))
        << QStringList{u"1|国内|%1/1|6"_qs.arg(b), u"2|国际|%1/2|5"_qs.arg(b),
                       u"3|文化|%1/3|21"_qs.arg(b), u"4|环保|%1/4|24"_qs.arg(b)};
    QTest::newRow("unknown-category-no-icon") << page(entry(u"杂谈 "_qs, u"/x.shtml"_qs, u"t"_qs))
                                              << QStringList{u"t|杂谈 |%1/x.shtml|0"_qs.arg(b)};
    QTest::newRow("absolute-http")
        << page(entry(u"财经"_qs, u"http://other.test/a.shtml"_qs, u"t"_qs))
        << QStringList{u"t|财经|http://other.test/a.shtml|8"_qs};
    QTest::newRow("absolute-https")
        << page(entry(u"财经"_qs, u"https://other.test/a.shtml"_qs, u"t"_qs))
        << QStringList{u"t|财经|https://other.test/a.shtml|8"_qs};
    QTest::newRow("quoted-href-with-attributes")
        << page(entry(u"科技"_qs, u"\"/c/x.shtml\" target=_blank"_qs, u"t"_qs) +
                entry(u"科技"_qs, u"'/c/y.shtml' class=k"_qs, u"u"_qs) +
                entry(u"科技"_qs, u"/c/z.shtml target=_blank"_qs, u"v"_qs))
        << QStringList{u"t|科技|%1/c/x.shtml|7"_qs.arg(b), u"u|科技|%1/c/y.shtml|7"_qs.arg(b),
                       u"v|科技|%1/c/z.shtml|7"_qs.arg(b)};
    QTest::newRow("font-title") << page(entry(u"影音"_qs, u"/f.shtml"_qs,
                                              u"<font color=#FF0000>Big NEWS</font>"_qs))
                                << QStringList{u"big news|影音|%1/f.shtml|11"_qs.arg(b)};
    QTest::newRow("font-without-close-keeps-title")
        << page(entry(u"影音"_qs, u"/f.shtml"_qs, u"<font color=red>标题"_qs))
        << QStringList{u"<font color=red>标题|影音|%1/f.shtml|11"_qs.arg(b)};
    // The page is matched lower-cased, so titles come out so; addresses are taken as written
    // (a path's case may matter to the server), also after a character whose lower case is
    // longer than itself.
    QTest::newRow("lower-cased-title-address-as-written")
        << page(entry(u"汽车"_qs, u"/News/A.SHTML"_qs, u"New CAR 新车"_qs) +
                entry(u"国际"_qs, u"HTTP://Other.Test/X/Y.SHTML"_qs, u"Z"_qs) +
                entry(u"\u0130汽车"_qs, u"/\u0130/B.shtml"_qs, u"\u0130 T"_qs) +
                entry(u"国际"_qs, u"/After/C.shtml"_qs, u"c"_qs))
        << QStringList{u"new car 新车|汽车|%1/News/A.SHTML|12"_qs.arg(b),
                       u"z|国际|HTTP://Other.Test/X/Y.SHTML|5"_qs,
                       u"i\u0307 t|i\u0307汽车|%1/\u0130\u0307/B.shtml|0"_qs.arg(b),
                       u"c|国际|%1/After/C.shtml|5"_qs.arg(b)};
    QTest::newRow("duplicates") << page(entry(u"社会"_qs, u"/d.shtml"_qs, u"同"_qs) +
                                        entry(u"社会"_qs, u"/d.shtml"_qs, u"同"_qs))
                                << QStringList{u"同|社会|%1/d.shtml|13"_qs.arg(b),
                                               u"同|社会|%1/d.shtml|13"_qs.arg(b)};
    QTest::newRow("category-borrowed-from-next-entry")
        << page(u"<li><a href=/a.shtml>a</a>"_qs + entry(u"体育"_qs, u"/b.shtml"_qs, u"b"_qs))
        << QStringList{u"a|体育|%1/a.shtml|10"_qs.arg(b), u"b|体育|%1/b.shtml|10"_qs.arg(b)};
    QTest::newRow("title-runs-into-next-entry")
        << page(u"<li>[国内]<a href=/a.shtml>a"_qs + entry(u"国际"_qs, u"/b.shtml"_qs, u"b"_qs))
        << QStringList{u"a<li>[国际]<a href=/b.shtml>b|国内|%1/a.shtml|6"_qs.arg(b),
                       u"b|国际|%1/b.shtml|5"_qs.arg(b)};
    // "[" without a "]" after it: the category cut fails and keeps the previous entry's value;
    // before the first entry that value is empty, which becomes 考试.
    QTest::newRow("unclosed-bracket-keeps-previous")
        << u"新闻开始"_qs + entry(u"国际"_qs, u"/a"_qs, u"a"_qs) +
               u"<li>[<a href=/b>b</a>新闻结束"_qs
        << QStringList{u"a|国际|%1/a|5"_qs.arg(b), u"b|国际|%1/b|5"_qs.arg(b)};
    QTest::newRow("unclosed-bracket-first-entry")
        << u"新闻开始<li>[<a href=/b>b</a>新闻结束"_qs << QStringList{u"b|考试|%1/b|23"_qs.arg(b)};
    // No "</a>" after the last entry's anchor: the title keeps the previous entry's.
    QTest::newRow("missing-anchor-end-keeps-previous-title")
        << u"新闻开始"_qs + entry(u"国内"_qs, u"/a"_qs, u"a"_qs) +
               u"<li>[国际]<a href=/b>b新闻结束"_qs
        << QStringList{u"a|国内|%1/a|6"_qs.arg(b), u"a|国际|%1/b|5"_qs.arg(b)};
    // No ">" after the last "href=": the address keeps the previous entry's; the title's search
    // for "</a>" then starts at the top of the page.
    QTest::newRow("missing-tag-end-keeps-previous-address")
        << u"新闻开始"_qs + entry(u"国内"_qs, u"/a"_qs, u"a"_qs) +
               u"<li>[国际]<a href=/b 新闻结束"_qs
        << QStringList{u"a|国内|%1/a|6"_qs.arg(b),
                       u"新闻开始<li>[国内]<a href=/a>a|国际|%1/a|5"_qs.arg(b)};
    // Titles read as a browser shows them, then lower-cased; addresses as a browser reads an
    // attribute (a name without ";" before "=" stays), in their own case.
    QTest::newRow("character-references")
        << page(entry(u"国内"_qs, u"\"/a.php?id=1&amp;page=2\""_qs,
                      u"AT&amp;T 与 &quot;两会&quot; &#8220;新&#8221;&nbsp;闻&middot;一"_qs) +
                entry(u"国际"_qs, u"/News/B.php?x=1&copy=2&AMP;Y=3"_qs,
                      u"版权&copy 2007 &#65;&#x42;"_qs) +
                entry(u"影音"_qs, u"/f"_qs, u"<font color=red>Q&amp;A</font>"_qs) +
                entry(u"体育"_qs, u"/g"_qs, u"&lt;font&gt;x"_qs))
        << QStringList{
               u"at&t 与 \"两会\" \u201c新\u201d\u00a0闻\u00b7一|国内|%1/a.php?id=1&page=2|6"_qs
                   .arg(b),
               u"版权\u00a9 2007 ab|国际|%1/News/B.php?x=1&copy=2&Y=3|5"_qs.arg(b),
               u"q&a|影音|%1/f|11"_qs.arg(b), u"<font>x|体育|%1/g|10"_qs.arg(b)};
    // The address is judged as it reads: absolute, or leaving the portal's host.
    QTest::newRow("references-decide-the-address")
        << page(entry(u"国内"_qs, u"http&#58;//Other.test/x"_qs, u"a"_qs) +
                entry(u"国内"_qs, u"&commat;evil.test/"_qs, u"b"_qs))
        << QStringList{u"a|国内|http://Other.test/x|6"_qs, u"b|国内||6"_qs};
    {
        // A title carried past the end of a chunk (the later anchors never close).
        QString entries;
        QStringList rows;
        for (int i = 1; i < kArchiveChunkSize; ++i) {
            entries += entry(u"国内"_qs, u"/%1"_qs.arg(i), u"%1"_qs.arg(i));
            rows << u"%1|国内|%2/%1|6"_qs.arg(i).arg(b);
        }
        entries += entry(u"国内"_qs, u"/c"_qs, u"C&amp;D"_qs);
        rows << u"c&d|国内|%1/c|6"_qs.arg(b);
        for (int i = 0; i < 5; ++i) {
            entries += u"<li>[国际]<a href=/e>e"_qs;
            rows << u"c&d|国际|%1/e|5"_qs.arg(b);
        }
        QTest::newRow("decoded-title-carried-past-a-chunk")
            << u"新闻开始"_qs + entries + u"新闻结束"_qs << rows;
    }
    // A cut longer than any real value (here: "[" whose "]" lies in an entry far below) counts
    // as a cut that cannot be carried out.
    QTest::newRow("overlong-cut-keeps-previous")
        << u"新闻开始<li>[<a href=/a>a</a>"_qs + QString(1100, u'x') +
               entry(u"国内"_qs, u"/b"_qs, u"b"_qs) + u"新闻结束"_qs
        << QStringList{u"a|考试|%1/a|23"_qs.arg(b), u"b|国内|%1/b|6"_qs.arg(b)};
    // No "[" after an entry: the closing bracket is searched from the top of the page, so the
    // category is everything before the page's first "]".
    QTest::newRow("no-bracket-left")
        << u"新闻开始"_qs + entry(u"国内"_qs, u"/a"_qs, u"a"_qs) +
               u"<li><a href=/b>b</a>新闻结束"_qs
        << QStringList{u"a|国内|%1/a|6"_qs.arg(b), u"b|新闻开始<li>[国内|%1/b|0"_qs.arg(b)};
}

void TestArchiveParser::parse()
{
    QFETCH(QString, text);
    QFETCH(QStringList, expected);

    const ArchiveParseResult result = parseArchivePage(encodeAnsi(text), kBase);
    QCOMPARE(mz::test::describe(result.rows), expected);
    QCOMPARE(result.found, expected.size());
    QVERIFY(!result.stopped);

    // A buffer kept from row to row (pages longer and shorter than the last) parses the same.
    static ArchivePageText shared;
    QCOMPARE(mz::test::describe(parseArchivePage(encodeAnsi(text), kBase, {}, &shared).rows),
             expected);
    QCOMPARE(mz::test::describe(rowsThroughModel(text, kBase)), expected);
}

// A relative address is joined to the base only when the result still names the portal's host;
// otherwise the row has no address.
void TestArchiveParser::joinedAddresses_data()
{
    QTest::addColumn<QString>("base");
    QTest::addColumn<QStringList>("hrefs");
    QTest::addColumn<QStringList>("expected");
    const QString b = kBase;
    QTest::newRow("path") << b << QStringList{u"/a.shtml"_qs} << QStringList{b + u"/a.shtml"_qs};
    QTest::newRow("query") << b << QStringList{u"?id=1"_qs} << QStringList{b + u"?id=1"_qs};
    QTest::newRow("chinese-path") << b << QStringList{u"/新闻/甲乙.shtml"_qs}
                                  << QStringList{b + u"/新闻/甲乙.shtml"_qs};
    QTest::newRow("user-info") << b << QStringList{u"@evil.example/"_qs} << QStringList{QString()};
    QTest::newRow("port-and-user-info")
        << b << QStringList{u":80@evil.example/"_qs} << QStringList{QString()};
    QTest::newRow("other-port") << b << QStringList{u":9999/a"_qs} << QStringList{QString()};
    QTest::newRow("longer-host") << b << QStringList{u".evil.example/x"_qs}
                                 << QStringList{QString()};
    QTest::newRow("no-leading-slash") << b << QStringList{u"a.shtml"_qs} << QStringList{QString()};
    QTest::newRow("backslash") << b << QStringList{u"\\evil.example"_qs} << QStringList{QString()};
    QTest::newRow("tab-before-user-info")
        << b << QStringList{u"'\t@evil.example/'"_qs} << QStringList{QString()};
    // The authority ends at the base's end: the second slash starts the path on the portal.
    QTest::newRow("double-slash-stays-on-portal")
        << b << QStringList{u"//evil.example/x"_qs} << QStringList{b + u"//evil.example/x"_qs};
    QTest::newRow("absolute-other-host-kept")
        << b << QStringList{u"http://other.test/a"_qs} << QStringList{u"http://other.test/a"_qs};
    QTest::newRow("refused-row-does-not-spill")
        << b << QStringList{u"@evil.example/"_qs, u"/b"_qs} << QStringList{QString(), b + u"/b"_qs};
    QTest::newRow("base-without-scheme")
        << u"portal.test"_qs << QStringList{u"/a"_qs, u"@evil.example/"_qs}
        << QStringList{u"portal.test/a"_qs, QString()};
}

void TestArchiveParser::joinedAddresses()
{
    QFETCH(QString, base);
    QFETCH(QStringList, hrefs);
    QFETCH(QStringList, expected);
    QString entries;
    for (const QString &href : hrefs)
        entries += entry(u"国内"_qs, href, u"t"_qs);
    const auto result = parseArchivePage(encodeAnsi(page(entries)), base);
    QStringList addresses;
    for (const HeadlineRow &row : result.rows)
        addresses << row.tag;
    QCOMPARE(addresses, expected);
    QCOMPARE(rowsThroughModel(page(entries), base), result.rows);
}

// Entries whose address cut fails (the ">" after "href=" lies beyond any real value) keep the
// previous address as it is, whether or not the base starts with "http://".
void TestArchiveParser::failedCutsKeepTheAddress_data()
{
    QTest::addColumn<QString>("base");
    QTest::newRow("http-base") << kBase;
    QTest::newRow("base-without-scheme") << u"portal.test"_qs;
}

void TestArchiveParser::failedCutsKeepTheAddress()
{
    QFETCH(QString, base);
    QString text = u"新闻开始"_qs + entry(u"国内"_qs, u"/first"_qs, u"a"_qs);
    for (int i = 0; i < 200; ++i)
        text += u"<li>[国内]<a href=/x "_qs + QString(kMaxCutLength, u'x');
    text += u"新闻结束"_qs;
    const auto result = scanArchiveText(text, base);
    QCOMPARE(result.rows.size(), 201);
    for (const HeadlineRow &row : result.rows)
        QCOMPARE(row.tag, base + u"/first"_qs);

    // Before any address was cut, the address is the base itself.
    const auto first = scanArchiveText(u"新闻开始<li>[国内]<a href=/x 新闻结束"_qs, base);
    QCOMPARE(first.rows.size(), 1);
    QCOMPARE(first.rows[0].tag, base);
}

void TestArchiveParser::rowsHaveNoCommentAndNoTick()
{
    const auto result =
        parseArchivePage(encodeAnsi(page(entry(u"国内"_qs, u"/a"_qs, u"a"_qs))), kBase);
    QCOMPARE(result.rows.size(), 1);
    QVERIFY(result.rows[0].sub2.isEmpty());
    QVERIFY(!result.rows[0].checked);
}

void TestArchiveParser::chunksOfHundred()
{
    QString entries;
    for (int i = 1; i <= 250; ++i)
        entries +=
            entry(i % 2 ? u"军事"_qs : u"教育"_qs, u"/n/%1.shtml"_qs.arg(i), u"标题%1"_qs.arg(i));
    const QByteArray bytes = encodeAnsi(page(entries));

    HeadlineRows all;
    QList<qsizetype> counts;
    const auto result = parseArchivePage(bytes, kBase, [&](HeadlineRows &&chunk, qsizetype found) {
        counts << found << chunk.size();
        all += chunk;
        return true;
    });
    QCOMPARE(counts, (QList<qsizetype>{100, 100, 200, 100}));
    QCOMPARE(result.found, 250);
    QCOMPARE(result.rows.size(), 50);
    all += result.rows;

    const auto whole = parseArchivePage(bytes, kBase);
    QCOMPARE(whole.rows.size(), 250);
    QCOMPARE(all, whole.rows);
    QCOMPARE(all[249].title, u"标题250"_qs);
    QCOMPARE(all[249].sub1, u"教育"_qs);
    QCOMPARE(all[0].icon, 9);
    QCOMPARE(rowsThroughModel(page(entries), kBase), all);
}

// Rows handed over as views keep their category while more categories than the parser's cache
// holds pass by within one chunk.
void TestArchiveParser::manyCategoriesWithinAChunk()
{
    QString entries;
    for (int i = 0; i < 700; ++i)
        entries += entry(u"类%1"_qs.arg(i % 350), u"/%1/a.shtml"_qs.arg(i % 7), u"t%1"_qs.arg(i));
    const HeadlineRows expected = parseArchivePage(encodeAnsi(page(entries)), kBase).rows;
    QCOMPARE(expected.size(), 700);
    QCOMPARE(expected[699].sub1, u"类349"_qs);
    QCOMPARE(rowsThroughModel(page(entries), kBase), expected);
}

void TestArchiveParser::sinkStopsTheParse()
{
    QString entries;
    for (int i = 0; i < 350; ++i)
        entries += entry(u"国内"_qs, u"/a"_qs, u"a"_qs);
    int calls = 0;
    const auto result = parseArchivePage(encodeAnsi(page(entries)), kBase,
                                         [&](HeadlineRows &&, qsizetype) { return ++calls < 2; });
    QCOMPARE(calls, 2);
    QVERIFY(result.stopped);
    QCOMPARE(result.found, 200);
    QVERIFY(result.rows.isEmpty());
}

// A page whose entries all lack "]" and "</a>": every entry's searches for them fail. The
// searches must not run to the end of the page again for each entry.
void TestArchiveParser::missingMarkerStaysLinear()
{
    const int entries = 60000;
    QString text = u"新闻开始"_qs;
    text.reserve(entries * 24);
    for (int i = 0; i < entries; ++i)
        text += u"<li>[x<a href=/a>t\r\n"_qs;
    text += u"新闻结束"_qs;

    const auto result = scanArchiveText(text, kBase);
    QCOMPARE(result.found, entries);
    QCOMPARE(result.rows.first().sub1, u"考试"_qs);
    QCOMPARE(result.rows.last().tag, kBase + u"/a"_qs);

    // Every entry opens a bracket that closes only at the very end: no entry copies the rest
    // of the page as its category.
    QString open = u"新闻开始"_qs;
    for (int i = 0; i < entries; ++i)
        open += u"<li>[x<a href=/a>t</a>\r\n"_qs;
    open += u"]新闻结束"_qs;
    const auto opened = scanArchiveText(open, kBase);
    QCOMPARE(opened.found, entries);
    QCOMPARE(opened.rows.first().sub1, u"考试"_qs);
    QVERIFY(opened.rows.last().sub1.size() <= kMaxCutLength);

    // The finder behind it: increasing start positions cost one pass over the text in total.
    ForwardFinder finder(text, u"]");
    for (qsizetype from = 1; from < text.size(); from += 7)
        QCOMPARE(finder.find(from), 0);
    QVERIFY2(finder.searchedLength() <= text.size(),
             qPrintable(QString::number(finder.searchedLength())));

    ForwardFinder entriesFinder(text, u"<li>");
    qsizetype pos = 0, count = 0;
    while ((pos = entriesFinder.find(pos + 1)) != 0)
        ++count;
    QCOMPARE(count, entries);
    // Each hit is read again only for the needle's length.
    QVERIFY(entriesFinder.searchedLength() <= text.size() + count * 3);
}

void TestArchiveParser::hrefValue_data()
{
    QTest::addColumn<QString>("raw");
    QTest::addColumn<QString>("value");
    QTest::newRow("plain") << u"/a/b.shtml"_qs << u"/a/b.shtml"_qs;
    QTest::newRow("double-quoted") << u"\"/a b.shtml\" target=_blank"_qs << u"/a b.shtml"_qs;
    QTest::newRow("single-quoted") << u"'/a.shtml'"_qs << u"/a.shtml"_qs;
    QTest::newRow("unclosed-quote") << u"\"/a.shtml"_qs << u"/a.shtml"_qs;
    QTest::newRow("attributes") << u"/a.shtml target=_blank"_qs << u"/a.shtml"_qs;
    QTest::newRow("leading-blank") << u" /a.shtml"_qs << u"/a.shtml"_qs;
    QTest::newRow("empty") << QString() << QString();
}

void TestArchiveParser::hrefValue()
{
    QFETCH(QString, raw);
    QFETCH(QString, value);
    QCOMPARE(mz::hrefValue(raw).toString(), value);
}

// Character references are decoded as a browser decodes them, in text and in an attribute;
// everything else stays as it stands.
void TestArchiveParser::characterReferences_data()
{
    QTest::addColumn<QString>("raw");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("attribute");
    QTest::newRow("named") << u"AT&amp;T &quot;&middot;&nbsp;"_qs << u"AT&T \"\u00b7\u00a0"_qs
                           << u"AT&T \"\u00b7\u00a0"_qs;
    QTest::newRow("old-name-without-semicolon")
        << u"?a=1&copy=2&amp&ampx"_qs << u"?a=1\u00a9=2&&x"_qs << u"?a=1&copy=2&&ampx"_qs;
    QTest::newRow("longest-known-prefix") << u"&notit;"_qs << u"\u00acit;"_qs << u"&notit;"_qs;
    QTest::newRow("numeric") << u"&#8220;&#x201D;&#128;&#x1F600;"_qs
                             << u"\u201c\u201d\u20ac\U0001F600"_qs
                             << u"\u201c\u201d\u20ac\U0001F600"_qs;
    QTest::newRow("numbers-without-a-character")
        << u"&#0;&#xD800;&#99999999;"_qs << u"\ufffd\ufffd\ufffd"_qs << u"\ufffd\ufffd\ufffd"_qs;
    QTest::newRow("two-characters") << u"&nGt;"_qs << u"\u226b\u20d2"_qs << u"\u226b\u20d2"_qs;
    QTest::newRow("not-references")
        << u"& && &#; &#x; &Amp; &zz;"_qs << u"& && &#; &#x; &Amp; &zz;"_qs
        << u"& && &#; &#x; &Amp; &zz;"_qs;
    QTest::newRow("tags-quotes-breaks-stay")
        << u"<b>a&amp;b</b>\r\n\"&lt;i&gt;\"\r\0&amp\0\u0001\u007f\u0085\ufdd0&amp;"_qs
        << u"<b>a&b</b>\r\n\"<i>\"\r\0&\0\u0001\u007f\u0085\ufdd0&"_qs
        << u"<b>a&b</b>\r\n\"<i>\"\r\0&\0\u0001\u007f\u0085\ufdd0&"_qs;
    QTest::newRow("no-reference") << u"标题 title"_qs << u"标题 title"_qs << u"标题 title"_qs;
}

void TestArchiveParser::characterReferences()
{
    QFETCH(QString, raw);
    QFETCH(QString, text);
    QFETCH(QString, attribute);
    QCOMPARE(decodeTextReferences(raw), text);
    QCOMPARE(decodeAttributeReferences(raw), attribute);
}

void TestArchiveParser::lowerCaseMatchesQt_data()
{
    QTest::addColumn<QString>("text");
    QString all;
    QString besideChinese;
    for (int c = 1; c < 0x10000; ++c) {
        // Characters with a longer lower case come last, so that all the others are lower-cased
        // on the fast paths too.
        if (QChar::isSurrogate(char16_t(c)) || QString(QChar(char16_t(c))).toLower().size() != 1)
            continue;
        all += QChar(char16_t(c));
        // Beside a Chinese character, ASCII too is looked up in the table instead of taking the
        // eight-at-a-time path, so every entry of the table is compared.
        besideChinese += QChar(char16_t(c));
        besideChinese += u'中';
    }
    // Surrogate pairs with and without a lower case, a lone surrogate, and the dotted capital I
    // whose lower case is two units long, after everything else.
    all += QString::fromUcs4(U"\U00010400\U00010428\U0001F600") + QChar(0xD800) + u"x\u0130y"_qs;
    QTest::newRow("every-bmp-character-then-surrogates") << all;
    QTest::newRow("every-bmp-character-beside-chinese") << besideChinese;
    QTest::newRow("short-mixed") << u"ABC 新闻 ÀÉ"_qs;
    QTest::newRow("empty") << QString();
}

void TestArchiveParser::lowerCaseMatchesQt()
{
    QFETCH(QString, text);
    const QString expected = text.toLower();
    const QString lower = lowerCased(text);
    QCOMPARE(lower.size(), expected.size());
    QVERIFY(lower == expected);
    // In place, on a string that shares its data: the other copy keeps the text.
    const QString original(text.constData(), text.size());
    QString inPlace = text;
    lowerCaseInPlace(inPlace);
    QVERIFY(inPlace == expected);
    QVERIFY(text == original);
}

void TestArchiveParser::streamedScanMatchesWholeText_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("streamed"); // the end marker is seen in the file's last bytes
    const auto regular = [](int from, int to) {
        QString s;
        for (int i = from; i < to; ++i)
            s += entry(i % 7 ? u"国内"_qs : u"体育"_qs, u"/News/%1.SHTML"_qs.arg(i),
                       i % 5 ? u"Title 标题 %1"_qs.arg(i) : u"<font c=1>红 %1</font>"_qs.arg(i));
        return s;
    };
    const QString head = u"<html><head><title>滚动</title></head>\r\n<!-- 新闻开始 -->\r\n"_qs;
    const QString tail = u"\r\n<!-- 新闻结束 -->\r\n</html>"_qs;
    const auto bytes = [](const QString &text) { return encodeAnsi(text); };

    QTest::newRow("regular") << bytes(head + regular(0, 6000) + tail) << true;
    // Entries whose anchors never close: the window grows to the end marker and beyond.
    QTest::newRow("anchors-unclosed-late")
        << bytes(head + regular(0, 300) + u"<li>[国内]<a href=/x>no end"_qs.repeated(150) + tail)
        << true;
    // Entries without brackets or tags: the cuts start from the first units of the page.
    QTest::newRow("brackets-and-tags-missing-late")
        << bytes(u"]>"_qs + head + regular(0, 250) + u"<li>text href=only "_qs.repeated(200) + tail)
        << true;
    QTest::newRow("no-start-marker") << bytes(regular(0, 300) + tail) << true;
    QTest::newRow("end-marker-twice")
        << bytes(head + regular(0, 200) + tail + regular(200, 400) + tail) << true;
    QTest::newRow("end-before-start") << bytes(tail + head + regular(0, 200) + tail) << true;
    QTest::newRow("long-lower-case-midway")
        << bytes(head + regular(0, 200) + entry(u"国际"_qs, u"/İ"_qs, u"İSTANBUL ΣΑ"_qs) +
                 regular(200, 400) + tail)
        << true;
    QByteArray invalid = bytes(head + regular(0, 150));
    invalid.append("\x81\x30 \xff\xfe\x80 <li>[x]<a href=/c>t</a>\x81\x30\x81");
    QTest::newRow("invalid-bytes") << invalid + bytes(regular(150, 300) + tail) << true;
    // A run of characters without a byte below 0x30, longer than the buffer: it is decoded in
    // one piece in the middle of the scan, and the buffer grows under the held views.
    QTest::newRow("long-run-without-a-block-end")
        << bytes(u"<li>"_qs.repeated(150) + u"啊"_qs.repeated(200) + u"]"_qs +
                 u"啊"_qs.repeated(6000) + u" <li>x href=/a>t</a>"_qs + tail)
        << true;
    // Pages where the tail decides nothing: decoded whole, with the same rows.
    QTest::newRow("no-end-marker") << bytes(head + regular(0, 300)) << false;
    QTest::newRow("end-marker-far-from-the-end")
        << bytes(head + regular(0, 100) + tail + u"<p>x</p>\r\n"_qs.repeated(60000)) << false;
    // The marker's bytes starting in the middle of a character (after the lead byte 0xB0).
    QByteArray shifted = bytes(head + regular(0, 300));
    shifted.append("\xb0\xd0\xc2\xce\xc5\xbd\xe1\xca\xf8\xa1");
    QTest::newRow("marker-bytes-inside-characters") << shifted << false;
    QString references;
    for (int i = 0; i < 3000; ++i)
        references += entry(u"国内"_qs, u"\"/N.php?id=%1&amp;p=2\""_qs.arg(i),
                            i % 3 ? u"AT&amp;T &#8220;%1&#8221;"_qs.arg(i) : u"标题 %1"_qs.arg(i));
    QTest::newRow("character-references") << bytes(head + references + tail) << true;
    QTest::newRow("damaged-recut-title") << damagedPage(false, 3000) << true;
    QTest::newRow("damaged-carried-title") << damagedPage(true, 3000) << true;
}

// Scanning the file while it is decoded block by block gives the rows of scanning its whole
// text, whatever the blocks, and holds only a window of the text when the page has its end.
void TestArchiveParser::streamedScanMatchesWholeText()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, streamed);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"news.shtml"_qs);
    QVERIFY(writeFileBytes(path, bytes));

    HeadlineModel expected(HeadlineModel::Kind::Archive);
    qsizetype textUnits = 0;
    const ArchiveScanResult reference = scanWholePage(bytes, expected, &textUnits);
    for (int blockBytes : {5, 64, 4096}) {
        ArchivePageText stream;
        HeadlineModel model(HeadlineModel::Kind::Archive);
        qsizetype estimate = -1;
        const auto result = stream.scanFile(
            path, kBase,
            [&](std::span<const HeadlineRef> chunk, qsizetype) {
                model.append(chunk);
                return true;
            },
            [&](qsizetype n) { estimate = n; }, blockBytes);
        QVERIFY(result);
        QCOMPARE(result->found, reference.found);
        QCOMPARE(mz::test::describe(model.rows()), mz::test::describe(expected.rows()));
        QVERIFY(estimate >= 0);
        if (streamed && textUnits > 200000)
            QVERIFY2(
                stream.textCapacity() < textUnits / 2,
                qPrintable(u"%1 units held for %2"_qs.arg(stream.textCapacity()).arg(textUnits)));
    }
    ArchivePageText stopped;
    int chunks = 0;
    const auto result = stopped.scanFile(
        path, kBase, [&](std::span<const HeadlineRef>, qsizetype) { return ++chunks < 2; });
    QVERIFY(result);
    QCOMPARE(result->stopped, reference.found > kArchiveChunkSize);
    QVERIFY(!stopped.scanFile(dir.filePath(u"missing.shtml"_qs), kBase, {}));

    // Emptied while it is read (a sync tool rewriting it in place): never a list of its first
    // part. A page read up to its end marker before (the start marker looked for to the end, or
    // a second end marker) keeps its whole list.
    if (streamed && reference.found > kArchiveChunkSize) {
        ArchivePageText cut;
        HeadlineModel model(HeadlineModel::Kind::Archive);
        bool emptied = false;
        const auto result = cut.scanFile(
            path, kBase,
            [&](std::span<const HeadlineRef> chunk, qsizetype) {
                model.append(chunk);
                emptied = emptied || QFile::resize(path, 0);
                return true;
            },
            {}, 64);
        QVERIFY(emptied);
        if (result)
            QCOMPARE(mz::test::describe(model.rows()), mz::test::describe(expected.rows()));
    }
}

void TestArchiveParser::damagedPageHoldsBoundedText_data()
{
    QTest::addColumn<bool>("carried");
    QTest::newRow("recut-title") << false;
    QTest::newRow("carried-title") << true;
}

// Every entry of such a page keeps its row, the first ones their text; the rows hold at most a
// few times the page's text.
void TestArchiveParser::damagedPageHoldsBoundedText()
{
    QFETCH(bool, carried);
    const int entries = 3000;
    const QByteArray bytes = damagedPage(carried, entries);
    HeadlineModel model(HeadlineModel::Kind::Archive);
    qsizetype pageUnits = 0;
    const ArchiveScanResult result = scanWholePage(bytes, model, &pageUnits);
    QVERIFY(result.found >= entries);
    QCOMPARE(model.rowCount(), int(result.found));
    const HeadlineRows rows = model.rows();
    QVERIFY(rows.at(1).title.contains(QStringLiteral("t").repeated(990)));
    qsizetype held = 0;
    for (const HeadlineRow &r : rows)
        held += r.title.size() + r.tag.size();
    QVERIFY2(held < 4 * pageUnits + 4 * 65536,
             qPrintable(u"%1 units held for a page of %2"_qs.arg(held).arg(pageUnits)));
}

void TestArchiveParser::originalViewsMoveWithTheText_data()
{
    QTest::addColumn<int>("blockBytes");
    QTest::newRow("5") << 5;
    QTest::newRow("64") << 64;
    QTest::newRow("4096") << 4096;
}

// Views the scan holds into the text as written move along with the lower-cased ones whenever
// the stream moves its text (dropping what lies before the floor, or growing), as the scan
// holds them: a chunk at a time, the floor raised after each chunk.
void TestArchiveParser::originalViewsMoveWithTheText()
{
    QFETCH(int, blockBytes);
    QString page;
    for (int i = 0; i < 300; ++i)
        page += u"<P>Piece%1 %2</P>"_qs.arg(i).arg(QString(i % 41, u'Q'));
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"news.shtml"_qs);
    QVERIFY(writeFileBytes(path, encodeAnsi(page)));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QString text, original;
    QByteArray block;
    PageTextStream stream(file, text, block, blockBytes, &original);
    std::vector<std::pair<QStringView, QStringView>> held; // lower-cased, as written
    stream.onMove([&held](const char16_t *from, const char16_t *to, const char16_t *now) {
        for (auto &[lowered, written] : held) {
            PageTextStream::follow(lowered, from, to, now);
            PageTextStream::follow(written, from, to, now);
        }
    });
    qsizetype pos = 1;
    for (int i = 0; i < 300; ++i) {
        pos = stream.find(u"piece%1 "_qs.arg(i), pos);
        QVERIFY(pos != 0);
        const auto cut = stream.cut(pos, 12);
        QVERIFY(cut);
        held.emplace_back(*cut, stream.original(*cut));
        if (i % 20 != 19)
            continue;
        for (const auto &[lowered, written] : held) {
            QCOMPARE(written.utf16(), stream.original(lowered).utf16());
            QVERIFY(written.startsWith(u"Piece"));
            QCOMPARE(written.toString().toLower(), lowered.toString());
        }
        held.clear();
        stream.raiseFloor(pos);
    }
}

QTEST_GUILESS_MAIN(TestArchiveParser)
#include "tst_archiveparser.moc"

void TestArchiveParser::fileDecodedInBlocks_data()
{
    QTest::addColumn<int>("blockBytes");
    QTest::newRow("1") << 1;
    QTest::newRow("2") << 2;
    QTest::newRow("3") << 3;
    QTest::newRow("7") << 7;
    QTest::newRow("4096") << 4096;
    QTest::newRow("default") << 0;
}

// Decoding the file block by block gives the text of decoding its bytes at once, whatever
// block boundary splits a two- or four-byte character, an invalid byte or the cut last one.
void TestArchiveParser::fileDecodedInBlocks()
{
    QFETCH(int, blockBytes);
    QByteArray bytes =
        encodeAnsi(page(entry(u"国内"_qs, u"/A.shtml"_qs, u"Big 新闻 \U0001F600 €"_qs) +
                        entry(u"国际"_qs, u"http://x/B"_qs, u"ÄÖ ΣΑ 中文 İSTANBUL"_qs)));
    bytes.append("\x81\x30 \xff\xfe\x80 <li>[x]<a href=/c>t</a>\x81\x30\x81");
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"news.shtml"_qs);
    QFile out(path);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(bytes);
    out.close();

    ArchivePageText whole;
    const QString expected = whole.decodeLowered(bytes).toString();
    ArchivePageText blocks;
    const auto text = blockBytes > 0 ? blocks.decodeLoweredFile(path, blockBytes)
                                     : blocks.decodeLoweredFile(path);
    QVERIFY(text);
    QCOMPARE(text->toString(), expected);
    QCOMPARE(blocks.originalText().toString(), whole.originalText().toString());

    const auto parsed = parseArchiveFile(path, kBase);
    QVERIFY(parsed);
    QCOMPARE(mz::test::describe(parsed->rows),
             mz::test::describe(parseArchivePage(bytes, kBase).rows));
    QCOMPARE(parsed->found, 2);
    QVERIFY(!parseArchiveFile(dir.filePath(u"missing.shtml"_qs), kBase));
}
