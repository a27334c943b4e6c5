// Article extraction without a window: reading fenli.ini, cutting title and body out of a page,
// removing the advertisement, filling the template, and the file name of a saved article.

#include "fetch/articles.h"
#include "fetch/readability.h"
#include "platform/textfile.h"
#include "portal/pagegenerator.h"

#include <QDir>
#include <QFileInfo>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

using Status = mz::Extraction::Status;
Q_DECLARE_METATYPE(mz::Extraction::Status)

namespace {

mz::ArticleMarkers simpleMarkers()
{
    return {QStringLiteral("<h1>"),          QStringLiteral("</h1>"),
            QStringLiteral("<!-- body -->"), QStringLiteral("<!-- /body -->"),
            QStringLiteral("<!-- ad -->"),   QStringLiteral("<!-- /ad -->")};
}

const QString kTemplate =
    QStringLiteral("<title>[新闻名字]</title><h2>[新闻名字]</h2><div>[新闻内容]</div>");

} // namespace

class TestArticles : public QObject
{
    Q_OBJECT

private slots:
    void parseDeliveredFile();
    void parseMarkers_data();
    void parseMarkers();
    void extract_data();
    void extract();
    void extractPortalPage();
    void templateFilledInOnePass();
    void keptAsArrived_data();
    void keptAsArrived();
    void fallback_data();
    void fallback();
    void fallbackOnPortalPages();
    void decodePage_data();
    void decodePage();
    void templateEncoding_data();
    void templateEncoding();
    void uniqueName_data();
    void uniqueName();
    void fileName_data();
    void fileName();
    void filePathStaysInNewsSave_data();
    void filePathStaysInNewsSave();
};

void TestArticles::parseDeliveredFile()
{
    const auto text = mz::readTextFile(QStringLiteral(MOZHOU_SOURCE_DIR "/data/fenli.ini"));
    QVERIFY(text);
    const mz::MarkerFile file = mz::parseMarkers(*text);
    QVERIFY2(file.markers, qPrintable(file.missingKeys.join(u',')));
    // Lower-cased as read.
    QCOMPARE(file.markers->titleStart, QStringLiteral("<h1 id=\"artibodytitle\">"));
    QCOMPARE(file.markers->titleEnd, QStringLiteral("</h1>"));
    QCOMPARE(file.markers->adEnd, QStringLiteral("<!-- 广告结束 -->"));
}

void TestArticles::parseMarkers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("values"); // six values, or empty when keys are missing
    QTest::addColumn<QStringList>("missing");

    const QStringList abc{"a", "b", "c", "d", "e", "f"};
    QTest::newRow("plain") << QStringLiteral(
                                  "[新闻名字start]=a\r\n[新闻名字end]=b\r\n[新闻内容start]=c\r\n"
                                  "[新闻内容end]=d\r\n[中间广告start]=e\r\n[中间广告end]=f\r\n")
                           << abc << QStringList();
    QTest::newRow("other-order-and-lines")
        << QStringLiteral(
               "; comment\r\n[中间广告end]=f\r\n[新闻内容end]=d\r\nxx\r\n[新闻名字start]=a\r\n"
               "[中间广告start]=e\r\n[新闻名字end]=b\r\n[新闻内容start]=c\r\n")
        << abc << QStringList();
    QTest::newRow("upper-case-lowered")
        << QStringLiteral(
               "[新闻名字START]=<H1 Class=X>\r\n[新闻名字END]=</H1>\r\n[新闻内容Start]=<DIV>\r\n"
               "[新闻内容end]=</Div>\r\n[中间广告start]=<!--AD-->\r\n[中间广告end]=<!--/AD-->\r\n")
        << QStringList{"<h1 class=x>", "</h1>", "<div>", "</div>", "<!--ad-->", "<!--/ad-->"}
        << QStringList();
    QTest::newRow("spaces-kept-empty-values")
        << QStringLiteral("[新闻名字start]= a \r\n[新闻名字end]=b\r\n[新闻内容start]=c\r\n"
                          "[新闻内容end]=d\r\n[中间广告start]=\r\n[中间广告end]=\r\n")
        << QStringList{" a ", "b", "c", "d", "", ""} << QStringList();
    QTest::newRow("first-occurrence-wins")
        << QStringLiteral(
               "[新闻名字start]=a\r\n[新闻名字end]=b\r\n[新闻内容start]=c\r\n[新闻内容end]=d\r\n"
               "[中间广告start]=e\r\n[中间广告end]=f\r\n[新闻名字start]=zzz\r\n")
        << abc << QStringList();
    QTest::newRow("last-line-without-break")
        << QStringLiteral("[新闻名字start]=a\r\n[新闻名字end]=b\r\n[新闻内容start]=c\r\n"
                          "[新闻内容end]=d\r\n[中间广告start]=e\r\n[中间广告end]=f")
        << abc << QStringList();
    QTest::newRow("bare-line-feeds")
        << QStringLiteral("[新闻名字start]=a\n[新闻名字end]=b\n[新闻内容start]=c\n"
                          "[新闻内容end]=d\n[中间广告start]=e\n[中间广告end]=f\n")
        << abc << QStringList();
    QTest::newRow("two-keys-missing")
        << QStringLiteral(
               "[新闻名字start]=a\r\n[新闻内容start]=c\r\n[新闻内容end]=d\r\n[中间广告start]=e\r\n")
        << QStringList() << QStringList{"[新闻名字end]=", "[中间广告end]="};
    QTest::newRow("empty-file") << QString() << QStringList() << mz::markerKeys();
}

void TestArticles::parseMarkers()
{
    QFETCH(QString, text);
    QFETCH(QStringList, values);
    QFETCH(QStringList, missing);
    const mz::MarkerFile file = mz::parseMarkers(text);
    QCOMPARE(file.missingKeys, missing);
    QCOMPARE(bool(file.markers), values.size() == 6);
    if (file.markers) {
        const mz::ArticleMarkers &m = *file.markers;
        QCOMPARE(
            (QStringList{m.titleStart, m.titleEnd, m.bodyStart, m.bodyEnd, m.adStart, m.adEnd}),
            values);
    }
}

void TestArticles::extract_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<mz::ArticleMarkers>("markers");
    QTest::addColumn<Status>("status");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("body");

    const mz::ArticleMarkers m = simpleMarkers();
    QTest::newRow("plain-with-ad")
        << QStringLiteral(
               "<p>x</p><h1>Title</h1><!-- body -->one<!-- ad -->BUY<!-- /ad -->two<!-- /body -->")
        << m << Status::Ok << QStringLiteral("Title") << QStringLiteral("onetwo");
    QTest::newRow("markers-in-other-case-keep-page-case")
        << QStringLiteral("<H1>NBA Finals</H1><!-- BODY --><P>Game 7</P><!-- AD -->x<!-- /Ad "
                          "--><!-- /BODY -->")
        << m << Status::Ok << QStringLiteral("NBA Finals") << QStringLiteral("<P>Game 7</P>");
    mz::ArticleMarkers noAd = m;
    noAd.adStart.clear();
    noAd.adEnd.clear();
    QTest::newRow("empty-ad-values-remove-nothing")
        << QStringLiteral("<h1>T</h1><!-- body -->one<!-- ad -->BUY<!-- /ad -->two<!-- /body -->")
        << noAd << Status::Ok << QStringLiteral("T")
        << QStringLiteral("one<!-- ad -->BUY<!-- /ad -->two");
    mz::ArticleMarkers halfAd = m;
    halfAd.adStart.clear();
    QTest::newRow("empty-ad-start-removes-nothing")
        << QStringLiteral("<h1>T</h1><!-- body -->one<!-- /ad -->two<!-- /body -->") << halfAd
        << Status::Ok << QStringLiteral("T") << QStringLiteral("one<!-- /ad -->two");
    QTest::newRow("ad-end-missing")
        << QStringLiteral("<h1>T</h1><!-- body -->one<!-- ad -->BUY two<!-- /body -->") << m
        << Status::Ok << QStringLiteral("T") << QStringLiteral("one<!-- ad -->BUY two");
    QTest::newRow("ad-end-before-ad-start")
        << QStringLiteral("<h1>T</h1><!-- body -->one<!-- /ad -->two<!-- ad -->three<!-- /body -->")
        << m << Status::Ok << QStringLiteral("T")
        << QStringLiteral("one<!-- /ad -->two<!-- ad -->three");
    QTest::newRow("ad-start-missing")
        << QStringLiteral("<h1>T</h1><!-- body -->one<!-- /ad -->two<!-- /body -->") << m
        << Status::Ok << QStringLiteral("T") << QStringLiteral("one<!-- /ad -->two");
    QTest::newRow("only-first-ad-block-removed")
        << QStringLiteral("<h1>T</h1><!-- body -->a<!-- ad -->1<!-- /ad -->b<!-- ad -->2<!-- /ad "
                          "-->c<!-- /body -->")
        << m << Status::Ok << QStringLiteral("T") << QStringLiteral("ab<!-- ad -->2<!-- /ad -->c");
    QTest::newRow("ad-before-title-kept")
        << QStringLiteral("<!-- ad -->top<!-- /ad --><h1>T</h1><!-- body -->b<!-- /body -->") << m
        << Status::Ok << QStringLiteral("T") << QStringLiteral("b");
    QTest::newRow("empty-title-and-body-still-ok")
        << QStringLiteral("<h1></h1><!-- body --><!-- /body -->") << m << Status::Ok << QString()
        << QString();
    mz::ArticleMarkers overlapping = m;
    overlapping.titleStart = QStringLiteral("<h1><");
    overlapping.titleEnd = QStringLiteral("<");
    QTest::newRow("title-end-inside-title-start")
        << QStringLiteral("<h1><b>T</b></h1><!-- body -->b<!-- /body -->") << overlapping
        << Status::Ok << QStringLiteral("b>T") << QStringLiteral("b");
    QTest::newRow("title-start-missing")
        << QStringLiteral("<h2>T</h2><!-- body -->b<!-- /body -->") << m
        << Status::TitleStartMissing << QString() << QString();
    QTest::newRow("title-end-missing") << QStringLiteral("<h1>T<!-- body -->b<!-- /body -->") << m
                                       << Status::TitleEndMissing << QString() << QString();
    QTest::newRow("body-start-missing") << QStringLiteral("<h1>T</h1>b<!-- /body -->") << m
                                        << Status::BodyStartMissing << QString() << QString();
    QTest::newRow("body-end-missing") << QStringLiteral("<h1>T</h1><!-- body -->b") << m
                                      << Status::BodyEndMissing << QString() << QString();
    // Every placeholder in the title stays as it is: the page grows by one title per "[新闻名字]"
    // of the template, never by a body per placeholder of the title.
    QTest::newRow("hostile-title")
        << QStringLiteral("<h1>") + QStringLiteral("[新闻内容]").repeated(20000) +
               QStringLiteral("</h1><!-- body -->") + QString(5000, u'B') +
               QStringLiteral("<!-- /body -->")
        << m << Status::Ok << QStringLiteral("[新闻内容]").repeated(20000) << QString(5000, u'B');
    QTest::newRow("body-start-before-title-not-used")
        << QStringLiteral("<!-- body -->x<!-- /body --><h1>T</h1>") << m << Status::BodyStartMissing
        << QString() << QString();
}

void TestArticles::extract()
{
    QFETCH(QString, page);
    QFETCH(mz::ArticleMarkers, markers);
    QFETCH(Status, status);
    QFETCH(QString, title);
    QFETCH(QString, body);
    const mz::Extraction x = mz::extractArticle(page, markers, kTemplate);
    QCOMPARE(x.status, status);
    if (status != Status::Ok) {
        QVERIFY(x.page.isEmpty());
        QVERIFY(!mz::extractionProblem(status).isEmpty());
        return;
    }
    QCOMPARE(x.title, title);
    QCOMPARE(x.body, body);
    QCOMPARE(x.page, QStringLiteral("<title>%1</title><h2>%1</h2><div>%2</div>").arg(title, body));
}

// The delivered markers against a page of the demo portal.
void TestArticles::extractPortalPage()
{
    const auto fenli = mz::readTextFile(QStringLiteral(MOZHOU_SOURCE_DIR "/data/fenli.ini"));
    const auto templ = mz::readTextFile(QStringLiteral(MOZHOU_SOURCE_DIR "/data/template.ini"));
    QVERIFY(fenli && templ);
    const mz::MarkerFile file = mz::parseMarkers(*fenli);
    QVERIFY(file.markers);

    const mz::PortalGenerator portal(QStringLiteral("http://127.0.0.1:1"));
    const QDate day(2007, 3, 2);
    for (int number : {1, 2, 17}) {
        const mz::PortalHeadline h = portal.headline(day, number);
        const QString page = mz::decodeAnsi(portal.articlePage(day, number));
        const mz::Extraction x = mz::extractArticle(page, *file.markers, *templ);
        QVERIFY2(x.ok(), qPrintable(mz::extractionProblem(x.status)));
        QCOMPARE(x.title, h.title);
        for (const QString &paragraph : portal.articleParagraphs(day, number))
            QVERIFY2(x.body.contains(paragraph), qPrintable(paragraph));
        QVERIFY(!x.page.contains(mz::PortalGenerator::advertisementText()));
        QVERIFY(x.page.contains(QStringLiteral("<h1>") + h.title + QStringLiteral("</h1>")));
        QVERIFY(!x.page.contains(QStringLiteral("[新闻名字]")));
        QVERIFY(!x.page.contains(QStringLiteral("[新闻内容]")));
    }
}

// Placeholders that arrive inside the title or the body are text of the article, not of the
// template.
void TestArticles::templateFilledInOnePass()
{
    const mz::Extraction x = mz::extractArticle(
        QStringLiteral("<h1>A[新闻内容]</h1><!-- body -->B[新闻名字]<!-- /body -->"),
        simpleMarkers(), QStringLiteral("[新闻名字]|[新闻内容]|[新闻名字]|[新闻內容][新闻内容"));
    QVERIFY(x.ok());
    QCOMPARE(x.page, QStringLiteral("A[新闻内容]|B[新闻名字]|A[新闻内容]|[新闻內容][新闻内容"));
}

// Templates and markers that would turn a saved article into a page without it keep the page
// as it arrived, with a reason; so does a page without markers and without any text.
void TestArticles::keptAsArrived_data()
{
    QTest::addColumn<QString>("templ");
    QTest::addColumn<mz::ArticleMarkers>("markers");
    QTest::addColumn<QString>("page");
    QTest::addColumn<Status>("status");

    const QString page = QStringLiteral("<h1>T</h1><!-- body --><p>正文</p><!-- /body -->");
    QTest::newRow("empty-template")
        << QString() << simpleMarkers() << page << Status::TemplateWithoutBody;
    QTest::newRow("template-without-body")
        << QStringLiteral("<h1>[新闻名字]</h1>") << simpleMarkers() << page
        << Status::TemplateWithoutBody;
    QTest::newRow("all-markers-empty")
        << kTemplate << mz::ArticleMarkers{} << page << Status::EmptyBodyMarkers;
    mz::ArticleMarkers noBody = simpleMarkers();
    noBody.bodyStart.clear();
    noBody.bodyEnd.clear();
    QTest::newRow("body-markers-empty") << kTemplate << noBody << page << Status::EmptyBodyMarkers;
    QTest::newRow("no-markers-no-text")
        << kTemplate << simpleMarkers()
        << QStringLiteral(
               "<html><head><title>空</title><script>var a = '很长的脚本文字';</script></head>"
               "<body><div><a href=/>首页</a> <a href=/x>新闻</a></div><img "
               "src=a.png></body></html>")
        << Status::NoText;
    QTest::newRow("empty-page") << kTemplate << simpleMarkers() << QString() << Status::NoText;
    // The start of a PNG image: decoded, its bytes would pass for a page of Chinese text.
    const QByteArray image = QByteArray::fromHex("89504e470d0a1a0a0000000d49484452000001e0") +
                             QByteArray::fromHex("c4e3bac3cac0bde7d0c2cec5").repeated(300);
    QTest::newRow("image") << kTemplate << simpleMarkers() << mz::decodeAnsi(image)
                           << Status::NotText;
    // The parser needs time in the square of the nesting depth (and deep trees overflow the
    // stack when it frees them): such a page is not parsed, however it nests: open tags, tags
    // written as closed that the parser keeps open, end tags of elements that are not open, end
    // tags that cannot reach beyond a table.
    const QString shallow = QStringLiteral("<h1>N</h1><div><p>浅处的正文</p></div>");
    const QString deep = QStringLiteral("<p>正文</p>");
    const std::pair<const char *, const char *> nestings[] = {
        {"hostile-nesting", "<span>"},
        {"hostile-nesting-self-closed", "<div/>"},
        {"hostile-nesting-stray-end-tags", "<div></i>"},
        {"hostile-nesting-end-tag-of-other-element", "<span></form>"},
        {"hostile-nesting-end-tag-beyond-table", "<div><table></div>"},
    };
    for (const auto &[row, unit] : nestings)
        QTest::newRow(row) << kTemplate << simpleMarkers()
                           << shallow + QString::fromLatin1(unit).repeated(30000) + deep
                           << Status::NoText;
}

void TestArticles::keptAsArrived()
{
    QFETCH(QString, templ);
    QFETCH(mz::ArticleMarkers, markers);
    QFETCH(QString, page);
    QFETCH(Status, status);
    const mz::Extraction x = mz::cleanArticle(page, markers, templ);
    QCOMPARE(x.status, status);
    QVERIFY(!x.ok());
    QVERIFY(x.page.isEmpty());
    QVERIFY(!mz::extractionProblem(status).isEmpty());
}

// Pages without markers: the block with the most paragraph text and the fewest links.
void TestArticles::fallback_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("kept");
    QTest::addColumn<QStringList>("dropped");

    const QString nav =
        QStringLiteral("<ul>") +
        QStringLiteral("<li><a href=/n>导航栏目链接很长很长</a></li>").repeated(40) +
        QStringLiteral("</ul>");
    QTest::newRow("article-beside-link-sidebar")
        << QStringLiteral(
               "<html><head><title>标题 - 网站</title><style>p{color:red}</style></head><body>") +
               nav +
               QStringLiteral(
                   "<div class=main><h1>标题</h1><p>第一段正文，共有二十多个汉字在这里。</p>"
                   "<p>第二段有<a href=/k>一个链接</a>和<b>粗体</b>。</p>"
                   "<div class=ad><a href=/buy>广告：快来买</a></div><p>第三段 &lt;结束&gt;</p>"
                   "<script>document.write('脚本')</script></div>"
                   "<div class=foot>版权所有</div></body></html>")
        << QStringLiteral("标题")
        << QStringList{QStringLiteral("<p>第一段正文，共有二十多个汉字在这里。</p>"),
                       QStringLiteral("<a href=\"/k\">一个链接</a>和<b>粗体</b>"),
                       QStringLiteral("第三段 &lt;结束&gt;")}
        << QStringList{QStringLiteral("导航"), QStringLiteral("广告"), QStringLiteral("脚本"),
                       QStringLiteral("版权"), QStringLiteral("<h1>"), QStringLiteral("color")};
    QTest::newRow("text-with-breaks-no-heading")
        << QStringLiteral("<title>T &amp; U</title><nav>菜单菜单菜单菜单菜单菜单</nav>"
                          "<td>一行文字<br>又一行文字<br>第三行</td>")
        << QStringLiteral("T & U")
        << QStringList{QStringLiteral("一行文字<br>又一行文字<br>第三行")}
        << QStringList{QStringLiteral("菜单")};
    // Script addresses go however they are written (a browser drops tabs and line breaks in
    // them, and blanks before them); fetching ones stay.
    QTest::newRow("hostile-attributes")
        << QStringLiteral("<h1>H</h1><div><p onclick=\"steal()\" style=x>正文正文</p>"
                          "<p><a href=\"javascript:steal()\">点</a>此处是正文</p>"
                          "<p><a href=\"java&#9;script:steal()\">一</a><a href=\"java\nscript:"
                          "steal()\">二</a><a href=\" &#1;VBScript:steal()\">三</a>"
                          "<img src=\"data:text/html,steal\"><a href=\"HTTP://x.test/a:b\">四</a>"
                          "<img src=\"img/a:b.png\">又是正文</p></div>")
        << QStringLiteral("H")
        << QStringList{QStringLiteral("<p>正文正文</p>"), QStringLiteral("<a>点</a>"),
                       QStringLiteral("<a>一</a><a>二</a><a>三</a><img>"),
                       QStringLiteral("<a href=\"HTTP://x.test/a:b\">四</a>"),
                       QStringLiteral("<img src=\"img/a:b.png\">")}
        << QStringList{QStringLiteral("steal"), QStringLiteral("style")};
    QTest::newRow("deep-but-parsed")
        << QStringLiteral("<h1>D</h1>") + QStringLiteral("<div>").repeated(900) +
               QStringLiteral("<p>深处的正文</p>")
        << QStringLiteral("D") << QStringList{QStringLiteral("深处的正文")} << QStringList();
}

void TestArticles::fallback()
{
    QFETCH(QString, page);
    QFETCH(QString, title);
    QFETCH(QStringList, kept);
    QFETCH(QStringList, dropped);
    const mz::Extraction x = mz::cleanArticle(page, simpleMarkers(), kTemplate);
    QCOMPARE(x.status, Status::Readability);
    QVERIFY(!mz::extractionProblem(x.status).isEmpty());
    QCOMPARE(x.title, title);
    QVERIFY(x.page.startsWith(QStringLiteral("<title>") + title.toHtmlEscaped() +
                              QStringLiteral("</title>")));
    for (const QString &text : kept)
        QVERIFY2(x.body.contains(text), qPrintable(text + QStringLiteral(" not in ") + x.body));
    for (const QString &text : dropped)
        QVERIFY2(!x.body.contains(text), qPrintable(text + QStringLiteral(" in ") + x.body));
}

// The demo portal's articles after a redesign that dropped the markers: the fallback must keep
// at least 90% of the characters the markers cut out, add little else, and keep none of the
// advertisement.
void TestArticles::fallbackOnPortalPages()
{
    const auto fenli = mz::readTextFile(QStringLiteral(MOZHOU_SOURCE_DIR "/data/fenli.ini"));
    const auto templ = mz::readTextFile(QStringLiteral(MOZHOU_SOURCE_DIR "/data/template.ini"));
    QVERIFY(fenli && templ);
    const mz::ArticleMarkers markers = *mz::parseMarkers(*fenli).markers;

    const mz::PortalGenerator portal(QStringLiteral("http://127.0.0.1:1"));
    qsizetype markedChars = 0, keptChars = 0, fallbackChars = 0;
    double worst = 1.0;
    int pages = 0;
    for (const QDate day : {QDate(2007, 3, 2), QDate(2008, 8, 8), QDate(2011, 12, 31)}) {
        for (int number = 1; number <= 120; ++number) {
            const QString page = mz::decodeAnsi(portal.articlePage(day, number));
            const mz::Extraction marked = mz::extractArticle(page, markers, *templ);
            QVERIFY(marked.ok());

            QString redesigned = page;
            for (const QString &marker :
                 {markers.bodyStart, markers.bodyEnd, markers.adStart, markers.adEnd})
                redesigned.remove(marker, Qt::CaseInsensitive);
            redesigned.replace(markers.titleStart, QStringLiteral("<h1 class=\"headline\">"),
                               Qt::CaseInsensitive);
            const mz::Extraction x = mz::cleanArticle(redesigned, markers, *templ);
            QCOMPARE(x.status, Status::Readability);
            QCOMPARE(x.title, portal.headline(day, number).title);

            const QString fallbackText = mz::visibleText(x.body);
            qsizetype kept = 0;
            for (const QString &paragraph : portal.articleParagraphs(day, number)) {
                const QString text = mz::visibleText(paragraph);
                if (fallbackText.contains(text))
                    kept += text.size();
            }
            const qsizetype total = mz::visibleText(marked.body).size();
            QVERIFY(total > 0);
            worst = qMin(worst, double(kept) / double(total));
            markedChars += total;
            keptChars += kept;
            fallbackChars += fallbackText.size();
            QVERIFY(!x.page.contains(mz::PortalGenerator::advertisementText()));
            ++pages;
        }
    }
    const double share = double(keptChars) / double(markedChars);
    const double extra = double(fallbackChars) / double(markedChars);
    qInfo("readability fallback on %d portal articles: %.1f%% of the marked body kept (worst "
          "%.1f%%), "
          "fallback text %.2f times the marked body",
          pages, 100 * share, 100 * worst, extra);
    QVERIFY(worst >= 0.9);
    QVERIFY(extra <= 1.25);
}

void TestArticles::decodePage_data()
{
    QTest::addColumn<QByteArray>("page");
    QTest::addColumn<QString>("expected");
    const QString text = QStringLiteral("<h1>新闻标题</h1>正文");
    const QByteArray utf8 = text.toUtf8(), gbk = mz::encodeAnsi(text);
    QTest::newRow("gbk-declared") << QByteArray("<meta charset=gbk>") + gbk
                                  << QStringLiteral("<meta charset=gbk>") + text;
    QTest::newRow("gbk-without-charset") << gbk << text;
    QTest::newRow("utf8-meta-charset") << QByteArray("<head><meta charset=\"utf-8\">") + utf8
                                       << QStringLiteral("<head><meta charset=\"utf-8\">") + text;
    const QByteArray equiv(
        "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; CharSet = UTF-8\">");
    QTest::newRow("utf8-http-equiv") << equiv + utf8 << QString::fromLatin1(equiv) + text;
    // The byte order mark stays, and outweighs the declaration as it does in a browser.
    QTest::newRow("utf8-byte-order-mark") << QByteArray("\xEF\xBB\xBF") + utf8 << text;
    QTest::newRow("utf8-without-charset") << utf8 << text;
    // A declaration that does not fit the bytes, or a charset of the GBK family, leaves the page
    // to GBK.
    QTest::newRow("utf8-declared-gbk-bytes") << QByteArray("<meta charset=utf-8>") + gbk
                                             << QStringLiteral("<meta charset=utf-8>") + text;
    QTest::newRow("gb2312-declared-utf8-bytes")
        << QByteArray("<meta charset=gb2312>") + utf8
        << mz::decodeAnsi(QByteArray("<meta charset=gb2312>") + utf8);
    // A page declaring a charset of another family reads as it declares, as a browser shows it.
    const QString traditional = QStringLiteral("<h1>新聞標題</h1>臺灣報導");
    QStringEncoder big5("Big5");
    QVERIFY(big5.isValid());
    QTest::newRow("big5-declared")
        << QByteArray("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=big5\">") +
               big5.encode(traditional)
        << QStringLiteral(
               "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=big5\">") +
               traditional;
    // A Western label on a Chinese page (a copied template) leaves it to GBK as before.
    QTest::newRow("latin1-declared-gbk-bytes")
        << QByteArray("<meta charset=iso-8859-1>") + gbk
        << QStringLiteral("<meta charset=iso-8859-1>") + text;
    QTest::newRow("unknown-charset-gbk") << QByteArray("<meta charset=no-such-set>") + gbk
                                         << QStringLiteral("<meta charset=no-such-set>") + text;
    const QString beyondGbk = QStringLiteral("新闻😀\U00020000");
    QTest::newRow("gb18030-four-byte") << mz::encodeAnsi(beyondGbk) << beyondGbk;
    QTest::newRow("empty") << QByteArray() << QString();
}

// An article page in UTF-8 reads as the characters it holds, not as GBK taken for them.
void TestArticles::decodePage()
{
    QFETCH(QByteArray, page);
    QFETCH(QString, expected);
    QCOMPARE(mz::decodeArticlePage(page), expected);
}

void TestArticles::templateEncoding_data()
{
    QTest::addColumn<QByteArray>("templateBytes");
    QTest::addColumn<bool>("utf8"); // the template's text and its articles are UTF-8
    const QString gbkHead = QStringLiteral("<meta charset=gbk><p>墨舟</p>");
    const QString utf8Head = QStringLiteral("<meta charset=\"UTF-8\"><p>墨舟</p>");
    const QString plain = QStringLiteral("<title>[新闻名字]</title>[新闻内容]");
    QTest::newRow("gbk-declared") << mz::encodeAnsi(gbkHead + plain) << false;
    QTest::newRow("gbk-without-charset")
        << mz::encodeAnsi(QStringLiteral("<p>墨舟</p>") + plain) << false;
    QTest::newRow("ascii-only") << QByteArray("<div>x</div>") << false;
    QTest::newRow("utf8-declared") << (utf8Head + plain).toUtf8() << true;
    QTest::newRow("utf8-declared-placeholders-only")
        << QByteArray("<meta charset=utf-8>") + plain.toUtf8() << true;
    // The byte order mark stays, and outweighs the declaration as it does in a browser.
    QTest::newRow("utf8-byte-order-mark") << "\xEF\xBB\xBF" + (gbkHead + plain).toUtf8() << true;
    QTest::newRow("utf8-without-charset")
        << (QStringLiteral("<p>墨舟</p>") + plain).toUtf8() << true;
    QTest::newRow("utf8-declared-gbk-bytes")
        << mz::encodeAnsi(QStringLiteral("<meta charset=utf-8><p>墨舟</p>") + plain) << false;
}

// An article is saved in the encoding of its template, so that a template made in UTF-8 (and
// declaring it) gives pages that read as they declare, not GBK bytes under a UTF-8 declaration.
void TestArticles::templateEncoding()
{
    QFETCH(QByteArray, templateBytes);
    QFETCH(bool, utf8);
    const mz::PageTemplate templ = mz::decodeTemplate(templateBytes);
    QCOMPARE(templ.utf8, utf8);
    // Filled with its own placeholders, the template is written back byte for byte.
    QCOMPARE(mz::encodeArticle(mz::fillTemplate(templ.text, QStringLiteral("[新闻名字]"),
                                                QStringLiteral("[新闻内容]")),
                               templ),
             templateBytes);
    const QString page =
        mz::fillTemplate(templ.text, QStringLiteral("新闻标题"), QStringLiteral("<p>正文😀</p>"));
    QCOMPARE(mz::encodeArticle(page, templ), utf8 ? page.toUtf8() : mz::encodeAnsi(page));
}

void TestArticles::uniqueName_data()
{
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<QStringList>("taken");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected");
    QTest::newRow("free") << QStringList{QStringLiteral("别的.htm")} << QStringList()
                          << QStringLiteral("名字.htm") << QStringLiteral("名字.htm");
    QTest::newRow("exists") << QStringList{QStringLiteral("名字.htm")} << QStringList()
                            << QStringLiteral("名字.htm") << QStringLiteral("名字 (2).htm");
    QTest::newRow("taken-by-batch") << QStringList() << QStringList{QStringLiteral("名字.htm")}
                                    << QStringLiteral("名字.htm") << QStringLiteral("名字 (2).htm");
    QTest::newRow("exists-and-second-taken")
        << QStringList{QStringLiteral("名字.htm"), QStringLiteral("名字 (3).htm")}
        << QStringList{QStringLiteral("名字 (2).htm")} << QStringLiteral("名字.htm")
        << QStringLiteral("名字 (4).htm");
    QTest::newRow("percent-signs-kept")
        << QStringList{QStringLiteral("%1%2.htm")} << QStringList() << QStringLiteral("%1%2.htm")
        << QStringLiteral("%1%2 (2).htm");
    QTest::newRow("dots-inside") << QStringList{QStringLiteral("v1.2 发布.htm")} << QStringList()
                                 << QStringLiteral("v1.2 发布.htm")
                                 << QStringLiteral("v1.2 发布 (2).htm");
}

void TestArticles::uniqueName()
{
    QFETCH(QStringList, existing);
    QFETCH(QStringList, taken);
    QFETCH(QString, name);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    for (const QString &file : existing)
        QVERIFY(mz::writeTextFile(dir.filePath(file), QStringLiteral("old")));
    const QString unique =
        mz::uniqueArticleFileName(dir.path(), name, QSet<QString>(taken.begin(), taken.end()));
    QCOMPARE(unique, expected);
    for (const QString &file : existing)
        QCOMPARE(*mz::readTextFile(dir.filePath(file)), QStringLiteral("old"));
}

void TestArticles::fileName_data()
{
    QTest::addColumn<QString>("headline");
    QTest::addColumn<QString>("expected");
    QTest::newRow("plain") << QStringLiteral("ABC") << QStringLiteral("ABC.htm");
    QTest::newRow("chinese-with-spaces")
        << QStringLiteral("股市 今日 大涨") << QStringLiteral("股市 今日 大涨.htm");
    QTest::newRow("separators") << QStringLiteral("上证/深证\\港股")
                                << QStringLiteral("上证／深证＼港股.htm");
    QTest::newRow("reserved-characters")
        << QStringLiteral("A:B?C*D\"E<F>G|H") << QStringLiteral("A：B？C＊D＂E＜F＞G｜H.htm");
    QTest::newRow("control-characters")
        << QStringLiteral("a\tb\nc\x01") << QStringLiteral("a_b_c_.htm");
    QTest::newRow("traversal") << QStringLiteral("../../etc/passwd")
                               << QStringLiteral("／..／etc／passwd.htm");
    QTest::newRow("surrounding-spaces") << QStringLiteral("  标题  ") << QStringLiteral("标题.htm");
    QTest::newRow("trailing-dots") << QStringLiteral("完了...") << QStringLiteral("完了.htm");
    QTest::newRow("leading-dots") << QStringLiteral("...续") << QStringLiteral("续.htm");
    QTest::newRow("empty") << QString() << QStringLiteral("无标题.htm");
    QTest::newRow("blank") << QStringLiteral("   ") << QStringLiteral("无标题.htm");
    QTest::newRow("dot") << QStringLiteral(".") << QStringLiteral("无标题.htm");
    QTest::newRow("dot-dot") << QStringLiteral("..") << QStringLiteral("无标题.htm");
    QTest::newRow("device-name") << QStringLiteral("con") << QStringLiteral("_con.htm");
    QTest::newRow("device-name-with-dot")
        << QStringLiteral("LPT1.txt") << QStringLiteral("_LPT1.txt.htm");
    QTest::newRow("not-a-device") << QStringLiteral("CONTENT") << QStringLiteral("CONTENT.htm");
}

void TestArticles::fileName()
{
    QFETCH(QString, headline);
    QFETCH(QString, expected);
    QCOMPARE(mz::articleFileName(headline), expected);
}

void TestArticles::filePathStaysInNewsSave_data()
{
    QTest::addColumn<QString>("headline");
    QTest::newRow("parent") << QStringLiteral("..");
    QTest::newRow("parent-path") << QStringLiteral("../../x");
    QTest::newRow("absolute") << QStringLiteral("/etc/passwd");
    QTest::newRow("windows-absolute") << QStringLiteral("C:\\Windows\\x");
    QTest::newRow("over-long-chinese") << QString(300, QChar(u'新'));
    QTest::newRow("over-long-latin") << QString(400, QLatin1Char('a'));
    QTest::newRow("over-long-surrogates") << QString::fromUtf8("𠀀").repeated(120);
}

void TestArticles::filePathStaysInNewsSave()
{
    QFETCH(QString, headline);
    const QString folder = QStringLiteral("/tmp/prog");
    const QString path = mz::articleFilePath(folder, headline);
    const QFileInfo info(path);
    QCOMPARE(QDir::cleanPath(info.absolutePath()), QStringLiteral("/tmp/prog/News_save"));
    QVERIFY(info.fileName().endsWith(QLatin1String(".htm")));
    QVERIFY(info.fileName().toUtf8().size() <= 204);
    // No half of a surrogate pair is left behind.
    const QString name = info.fileName();
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (name.at(i).isHighSurrogate())
            QVERIFY(i + 1 < name.size() && name.at(++i).isLowSurrogate());
        else
            QVERIFY(!name.at(i).isLowSurrogate());
    }
}

QTEST_GUILESS_MAIN(TestArticles)
#include "tst_articles.moc"
