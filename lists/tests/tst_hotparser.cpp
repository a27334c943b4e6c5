// The hot news page parser on pages built in the test: sections, markers, damaged entries.

#include "lists/hotparser.h"
#include "platform/textfile.h"

#include "testsupport/rows.h"

#include <QTest>

using namespace mz;

namespace {

QString entry(const QString &address, const QString &title, const QString &comment)
{
    return QStringLiteral(
               "<tr><td style='padding-top:2px' align=left class='linkBlue'>"
               "<span style='padding-left:6px'><a href=%1 target=_blank>%2</a></span></td>"
               "<td style='padding-top:2px' class='linkBlue'><a href=%3 target=_blank>"
               "评论</a></td></tr>\r\n")
        .arg(address, title, comment);
}

const QString kHead = QStringLiteral("<html><body><table><tr><td>国内新闻</td></tr>\r\n");
const QString kEnd = QStringLiteral("</table><p>新闻中心意见反馈留言板</p></body></html>");
// All six section markers after the entries: the entries are then domestic.
const QString kTail =
    QStringLiteral("<!-- 国际新闻 begin --><!-- 体育新闻 begin --><!-- 军事新闻 begin -->"
                   "<!-- 科技新闻 begin --><!-- 财经新闻 begin --><!-- 娱乐新闻 begin -->") +
    kEnd;

QString marker(const QString &section)
{
    return QStringLiteral("<!-- %1 begin -->\r\n").arg(section);
}

} // namespace

class TestHotParser : public QObject
{
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void sevenSectionsOfTen();
    void damagedPageHoldsBoundedText();
};

void TestHotParser::parse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");

    const QString e1 = entry(u"http://n.test/1.shtml"_qs, u"头条 One"_qs, u"http://c.test/1"_qs);
    const QString e2 = entry(u"http://n.test/2.shtml"_qs, u"二"_qs, u"http://c.test/2"_qs);
    const QString e3 = entry(u"http://n.test/3.shtml"_qs, u"三"_qs, u"http://c.test/3"_qs);

    QTest::newRow("empty-page") << QString() << QStringList();
    QTest::newRow("no-end-marker") << kHead + e1 << QStringList();
    QTest::newRow("domestic-keeps-capitals")
        << kHead + e1 + kTail
        << QStringList{u"头条 One|国内新闻|http://n.test/1.shtml|http://c.test/1|6"_qs};
    QTest::newRow("entries-before-start-skipped")
        << e2 + kHead + e1 + kTail
        << QStringList{u"头条 One|国内新闻|http://n.test/1.shtml|http://c.test/1|6"_qs};
    QTest::newRow("entries-after-end-skipped")
        << kHead + e1 + kTail + e2
        << QStringList{u"头条 One|国内新闻|http://n.test/1.shtml|http://c.test/1|6"_qs};
    QTest::newRow("sports-between-markers")
        << kHead + marker(u"国际新闻"_qs) + marker(u"体育新闻"_qs) + e2 + marker(u"军事新闻"_qs) +
               kEnd
        << QStringList{u"二|体育新闻|http://n.test/2.shtml|http://c.test/2|10"_qs};
    QTest::newRow("entertainment-last")
        << kHead + e1 + marker(u"国际新闻"_qs) + marker(u"体育新闻"_qs) + marker(u"军事新闻"_qs) +
               marker(u"科技新闻"_qs) + marker(u"财经新闻"_qs) + marker(u"娱乐新闻"_qs) + e3 + kEnd
        << QStringList{u"头条 One|国内新闻|http://n.test/1.shtml|http://c.test/1|6"_qs,
                       u"三|娱乐新闻|http://n.test/3.shtml|http://c.test/3|11"_qs};
    QTest::newRow("missing-international-marker")
        << kHead + e1 + e2 + marker(u"体育新闻"_qs) + e3 + marker(u"军事新闻"_qs) +
               marker(u"科技新闻"_qs) + marker(u"财经新闻"_qs) + marker(u"娱乐新闻"_qs) + kEnd
        << QStringList{u"头条 One|国际新闻|http://n.test/1.shtml|http://c.test/1|5"_qs,
                       u"二|国际新闻|http://n.test/2.shtml|http://c.test/2|5"_qs,
                       u"三|体育新闻|http://n.test/3.shtml|http://c.test/3|10"_qs};
    QTest::newRow("no-section-markers-all-entertainment")
        << kHead + e1 + e2 + kEnd
        << QStringList{u"头条 One|娱乐新闻|http://n.test/1.shtml|http://c.test/1|11"_qs,
                       u"二|娱乐新闻|http://n.test/2.shtml|http://c.test/2|11"_qs};
    QTest::newRow("markers-are-case-sensitive")
        << kHead + u"<!-- 国际新闻 BEGIN -->"_qs + e1 +
               u"<TD style='padding-top:2px' align=left class='linkBlue'>x"_qs + kTail
        << QStringList{u"头条 One|国内新闻|http://n.test/1.shtml|http://c.test/1|6"_qs};
    QTest::newRow("relative-address-unchanged")
        << kHead + entry(u"/n/1.shtml"_qs, u"t"_qs, u"/c/1"_qs) + kTail
        << QStringList{u"t|国内新闻|/n/1.shtml|/c/1|6"_qs};
    QTest::newRow("quoted-addresses")
        << kHead +
               entry(u"\"http://n.test/q.shtml\""_qs, u"t"_qs, u"'http://c.test/q' class=x"_qs) +
               kTail
        << QStringList{u"t|国内新闻|http://n.test/q.shtml|http://c.test/q|6"_qs};
    // Character references read as a browser reads them, the title keeping its capitals; in an
    // address a name without ";" before "=" stays as written.
    QTest::newRow("character-references")
        << kHead +
               entry(u"\"http://n.test/a.php?id=1&amp;page=2\""_qs,
                     u"AT&amp;T 与 &quot;两会&quot; &#8220;新&#8221;&nbsp;闻&middot;一"_qs,
                     u"\"http://c.test/c.php?id=1&amp;copy=2&copy=3\""_qs) +
               kTail
        << QStringList{u"AT&T 与 \"两会\" \u201c新\u201d\u00a0闻\u00b7一|国内新闻|"
                       u"http://n.test/a.php?id=1&page=2|"
                       u"http://c.test/c.php?id=1&copy=2&copy=3|6"_qs};
    QTest::newRow("duplicates") << kHead + e2 + e2 + kTail
                                << QStringList{
                                       u"二|国内新闻|http://n.test/2.shtml|http://c.test/2|6"_qs,
                                       u"二|国内新闻|http://n.test/2.shtml|http://c.test/2|6"_qs};
    // The second entry lacks its title end: the title keeps the first entry's, and the comment
    // is searched from the top of the page (the first comment cell).
    QTest::newRow("missing-title-end-keeps-previous")
        << kHead + e1 +
               u"<td style='padding-top:2px' align=left class='linkBlue'><span "
               u"style='padding-left:6px'>"
               "<a href=http://n.test/x.shtml target=_blank>x"_qs +
               kTail
        << QStringList{u"头条 One|国内新闻|http://n.test/1.shtml|http://c.test/1|6"_qs,
                       u"头条 One|国内新闻|http://n.test/x.shtml|http://c.test/1|6"_qs};
}

void TestHotParser::parse()
{
    QFETCH(QString, text);
    QFETCH(QStringList, expected);
    QCOMPARE(mz::test::describe(parseHotPage(encodeAnsi(text)), mz::test::RowFields::WithComment),
             expected);
}

void TestHotParser::sevenSectionsOfTen()
{
    QString text = kHead;
    for (size_t s = 0; s < std::size(kHotSections); ++s) {
        if (kHotSections[s].marker)
            text += u"<tr><td><!-- "_qs + QString::fromUtf16(kHotSections[s].marker) +
                    u" --></td></tr>"_qs;
        for (int i = 0; i < 10; ++i)
            text += entry(u"http://n.test/%1/%2.shtml"_qs.arg(s).arg(i),
                          u"S%1 第%2条"_qs.arg(s).arg(i), u"http://c.test/%1/%2"_qs.arg(s).arg(i));
    }
    text += kTail;

    const HeadlineRows rows = parseHotPage(encodeAnsi(text));
    QCOMPARE(rows.size(), 70);
    const int icons[] = {6, 5, 10, 9, 7, 8, 11};
    for (int r = 0; r < 70; ++r) {
        const int s = r / 10;
        QCOMPARE(rows[r].title, u"S%1 第%2条"_qs.arg(s).arg(r % 10));
        QCOMPARE(rows[r].sub1, QString::fromUtf16(kHotSections[s].name));
        QCOMPARE(rows[r].icon, icons[s]);
        QCOMPARE(rows[r].tag, u"http://n.test/%1/%2.shtml"_qs.arg(s).arg(r % 10));
        QCOMPARE(rows[r].sub2, u"http://c.test/%1/%2"_qs.arg(s).arg(r % 10));
        QVERIFY(!rows[r].checked);
    }
}

QTEST_GUILESS_MAIN(TestHotParser)
// A damaged page of thousands of bare entry cells, each keeping the long values of the entry
// before it: every cell keeps its row, the first ones their values, and the rows hold at most a
// few times the page's text instead of a hundred times.
void TestHotParser::damagedPageHoldsBoundedText()
{
    const QString longText = QStringLiteral("x").repeated(1000);
    const QString text =
        kHead +
        entry(u"http://n.test/"_qs + longText, u"T"_qs + longText,
              u"http://c.test/"_qs + longText) +
        u"<td style='padding-top:2px' align=left class='linkBlue'>"_qs.repeated(3000) + kTail;
    const HeadlineRows rows = parseHotPage(encodeAnsi(text));
    QCOMPARE(rows.size(), 3001);
    QCOMPARE(rows[1].title, u"T"_qs + longText);
    qsizetype held = 0;
    for (const HeadlineRow &r : rows)
        held += r.title.size() + r.sub2.size() + r.tag.size();
    QVERIFY2(held < 3 * text.size() + 65536,
             qPrintable(u"%1 units held for a page of %2"_qs.arg(held).arg(text.size())));
}

#include "tst_hotparser.moc"
