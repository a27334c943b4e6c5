// Article extraction without a window: reading fenli.ini, cutting title and body out of a page,
// removing the advertisement, filling the template, and the file name of a saved article.

#include "fetch/articles.h"
#include "platform/textfile.h"
#include "portal/pagegenerator.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>

using Status = mz::Extraction::Status;
Q_DECLARE_METATYPE(mz::Extraction::Status)

namespace {

mz::ArticleMarkers simpleMarkers()
{
    return {QStringLiteral("<h1>"), QStringLiteral("</h1>"), QStringLiteral("<!-- body -->"),
            QStringLiteral("<!-- /body -->"), QStringLiteral("<!-- ad -->"), QStringLiteral("<!-- /ad -->")};
}

const QString kTemplate = QStringLiteral("<title>[新闻名字]</title><h2>[新闻名字]</h2><div>[新闻内容]</div>");

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
    void templateFilledTitleFirst();
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
    QTest::newRow("plain") << QStringLiteral("[新闻名字start]=a\r\n[新闻名字end]=b\r\n[新闻内容start]=c\r\n"
                                             "[新闻内容end]=d\r\n[中间广告start]=e\r\n[中间广告end]=f\r\n")
                           << abc << QStringList();
    QTest::newRow("other-order-and-lines")
        << QStringLiteral("; comment\r\n[中间广告end]=f\r\n[新闻内容end]=d\r\nxx\r\n[新闻名字start]=a\r\n"
                          "[中间广告start]=e\r\n[新闻名字end]=b\r\n[新闻内容start]=c\r\n")
        << abc << QStringList();
    QTest::newRow("upper-case-lowered")
        << QStringLiteral("[新闻名字START]=<H1 Class=X>\r\n[新闻名字END]=</H1>\r\n[新闻内容Start]=<DIV>\r\n"
                          "[新闻内容end]=</Div>\r\n[中间广告start]=<!--AD-->\r\n[中间广告end]=<!--/AD-->\r\n")
        << QStringList{"<h1 class=x>", "</h1>", "<div>", "</div>", "<!--ad-->", "<!--/ad-->"} << QStringList();
    QTest::newRow("spaces-kept-empty-values")
        << QStringLiteral("[新闻名字start]= a \r\n[新闻名字end]=b\r\n[新闻内容start]=c\r\n"
                          "[新闻内容end]=d\r\n[中间广告start]=\r\n[中间广告end]=\r\n")
        << QStringList{" a ", "b", "c", "d", "", ""} << QStringList();
    QTest::newRow("first-occurrence-wins")
        << QStringLiteral("[新闻名字start]=a\r\n[新闻名字end]=b\r\n[新闻内容start]=c\r\n[新闻内容end]=d\r\n"
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
        << QStringLiteral("[新闻名字start]=a\r\n[新闻内容start]=c\r\n[新闻内容end]=d\r\n[中间广告start]=e\r\n")
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
        QCOMPARE((QStringList{m.titleStart, m.titleEnd, m.bodyStart, m.bodyEnd, m.adStart, m.adEnd}), values);
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
        << QStringLiteral("<p>x</p><h1>Title</h1><!-- body -->one<!-- ad -->BUY<!-- /ad -->two<!-- /body -->")
        << m << Status::Ok << QStringLiteral("Title") << QStringLiteral("onetwo");
    QTest::newRow("markers-in-other-case-keep-page-case")
        << QStringLiteral("<H1>NBA Finals</H1><!-- BODY --><P>Game 7</P><!-- AD -->x<!-- /Ad --><!-- /BODY -->")
        << m << Status::Ok << QStringLiteral("NBA Finals") << QStringLiteral("<P>Game 7</P>");
    mz::ArticleMarkers noAd = m;
    noAd.adStart.clear();
    noAd.adEnd.clear();
    QTest::newRow("empty-ad-values-remove-nothing")
        << QStringLiteral("<h1>T</h1><!-- body -->one<!-- ad -->BUY<!-- /ad -->two<!-- /body -->")
        << noAd << Status::Ok << QStringLiteral("T") << QStringLiteral("one<!-- ad -->BUY<!-- /ad -->two");
    mz::ArticleMarkers halfAd = m;
    halfAd.adStart.clear();
    QTest::newRow("empty-ad-start-removes-nothing")
        << QStringLiteral("<h1>T</h1><!-- body -->one<!-- /ad -->two<!-- /body -->")
        << halfAd << Status::Ok << QStringLiteral("T") << QStringLiteral("one<!-- /ad -->two");
    QTest::newRow("ad-end-missing")
        << QStringLiteral("<h1>T</h1><!-- body -->one<!-- ad -->BUY two<!-- /body -->")
        << m << Status::Ok << QStringLiteral("T") << QStringLiteral("one<!-- ad -->BUY two");
    QTest::newRow("ad-end-before-ad-start")
        << QStringLiteral("<h1>T</h1><!-- body -->one<!-- /ad -->two<!-- ad -->three<!-- /body -->")
        << m << Status::Ok << QStringLiteral("T") << QStringLiteral("one<!-- /ad -->two<!-- ad -->three");
    QTest::newRow("ad-start-missing")
        << QStringLiteral("<h1>T</h1><!-- body -->one<!-- /ad -->two<!-- /body -->")
        << m << Status::Ok << QStringLiteral("T") << QStringLiteral("one<!-- /ad -->two");
    QTest::newRow("only-first-ad-block-removed")
        << QStringLiteral("<h1>T</h1><!-- body -->a<!-- ad -->1<!-- /ad -->b<!-- ad -->2<!-- /ad -->c<!-- /body -->")
        << m << Status::Ok << QStringLiteral("T") << QStringLiteral("ab<!-- ad -->2<!-- /ad -->c");
    QTest::newRow("ad-before-title-kept")
        << QStringLiteral("<!-- ad -->top<!-- /ad --><h1>T</h1><!-- body -->b<!-- /body -->")
        << m << Status::Ok << QStringLiteral("T") << QStringLiteral("b");
    QTest::newRow("empty-title-and-body-still-ok")
        << QStringLiteral("<h1></h1><!-- body --><!-- /body -->")
        << m << Status::Ok << QString() << QString();
    mz::ArticleMarkers overlapping = m;
    overlapping.titleStart = QStringLiteral("<h1><");
    overlapping.titleEnd = QStringLiteral("<");
    QTest::newRow("title-end-inside-title-start")
        << QStringLiteral("<h1><b>T</b></h1><!-- body -->b<!-- /body -->")
        << overlapping << Status::Ok << QStringLiteral("b>T") << QStringLiteral("b");
    QTest::newRow("title-start-missing")
        << QStringLiteral("<h2>T</h2><!-- body -->b<!-- /body -->") << m << Status::TitleStartMissing
        << QString() << QString();
    QTest::newRow("title-end-missing")
        << QStringLiteral("<h1>T<!-- body -->b<!-- /body -->") << m << Status::TitleEndMissing
        << QString() << QString();
    QTest::newRow("body-start-missing")
        << QStringLiteral("<h1>T</h1>b<!-- /body -->") << m << Status::BodyStartMissing << QString() << QString();
    QTest::newRow("body-end-missing")
        << QStringLiteral("<h1>T</h1><!-- body -->b") << m << Status::BodyEndMissing << QString() << QString();
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

// Title first: a title that itself holds the body placeholder gets the body too.
void TestArticles::templateFilledTitleFirst()
{
    const mz::Extraction x = mz::extractArticle(
        QStringLiteral("<h1>A[新闻内容]</h1><!-- body -->B<!-- /body -->"), simpleMarkers(),
        QStringLiteral("[新闻名字]|[新闻内容]|[新闻名字]|[新闻內容]"));
    QVERIFY(x.ok());
    QCOMPARE(x.page, QStringLiteral("AB|B|AB|[新闻內容]"));
}

void TestArticles::fileName_data()
{
    QTest::addColumn<QString>("headline");
    QTest::addColumn<QString>("expected");
    QTest::newRow("plain") << QStringLiteral("ABC") << QStringLiteral("ABC.htm");
    QTest::newRow("chinese-with-spaces") << QStringLiteral("股市 今日 大涨") << QStringLiteral("股市 今日 大涨.htm");
    QTest::newRow("separators") << QStringLiteral("上证/深证\\港股") << QStringLiteral("上证／深证＼港股.htm");
    QTest::newRow("reserved-characters") << QStringLiteral("A:B?C*D\"E<F>G|H")
                                         << QStringLiteral("A：B？C＊D＂E＜F＞G｜H.htm");
    QTest::newRow("control-characters") << QStringLiteral("a\tb\nc\x01") << QStringLiteral("a_b_c_.htm");
    QTest::newRow("traversal") << QStringLiteral("../../etc/passwd") << QStringLiteral("／..／etc／passwd.htm");
    QTest::newRow("surrounding-spaces") << QStringLiteral("  标题  ") << QStringLiteral("标题.htm");
    QTest::newRow("trailing-dots") << QStringLiteral("完了...") << QStringLiteral("完了.htm");
    QTest::newRow("leading-dots") << QStringLiteral("...续") << QStringLiteral("续.htm");
    QTest::newRow("empty") << QString() << QStringLiteral("无标题.htm");
    QTest::newRow("blank") << QStringLiteral("   ") << QStringLiteral("无标题.htm");
    QTest::newRow("dot") << QStringLiteral(".") << QStringLiteral("无标题.htm");
    QTest::newRow("dot-dot") << QStringLiteral("..") << QStringLiteral("无标题.htm");
    QTest::newRow("device-name") << QStringLiteral("con") << QStringLiteral("_con.htm");
    QTest::newRow("device-name-with-dot") << QStringLiteral("LPT1.txt") << QStringLiteral("_LPT1.txt.htm");
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
