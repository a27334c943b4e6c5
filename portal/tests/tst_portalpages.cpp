// The demo portal's pages: read the way the program reads them (the archive and hot news scans,
// the article extraction with the delivered fenli.ini) and compared with what the generator
// meant to write; plus routing and one end-to-end fetch from a PortalServer.

#include "platform/clock.h"
#include "platform/textfile.h"
#include "portal/pagegenerator.h"
#include "portal/portalsite.h"

#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QRegularExpression>
#include <QSet>
#include <QSignalSpy>
#include <QStringDecoder>
#include <QTest>

using mz::PortalGenerator;
using mz::PortalHeadline;

namespace {

const QString kBase = QStringLiteral("http://127.0.0.1:8086");

struct ArchiveEntry
{
    QString category;
    QString address;
    QString title;
};

// The archive scan as the program performs it: lower-cased text, forward searches from each
// "<li>", relative addresses completed with the base address.
QList<ArchiveEntry> scanArchive(const QString &page, const QString &base)
{
    const QString s = page.toLower();
    QList<ArchiveEntry> entries;
    const qsizetype end = s.indexOf(u"新闻结束");
    qsizetype pos = s.indexOf(u"新闻开始");
    if (end < 0)
        return entries;
    while (true) {
        pos = s.indexOf(u"<li>", pos + 1);
        if (pos < 0 || pos > end)
            break;
        ArchiveEntry e;
        const qsizetype b1 = s.indexOf(u'[', pos + 1);
        const qsizetype b2 = s.indexOf(u']', b1 + 1);
        e.category = s.mid(b1 + 1, b2 - b1 - 1);
        const qsizetype h = s.indexOf(u"href=", pos + 1);
        const qsizetype g = s.indexOf(u'>', h + 1);
        e.address = s.mid(h + 5, g - h - 5);
        if (!e.address.contains(u"http://"))
            e.address = base + e.address;
        const qsizetype a = s.indexOf(u"</a>", g + 1);
        e.title = s.mid(g + 1, a - g - 1);
        if (e.title.contains(u"<font")) {
            const qsizetype f1 = e.title.indexOf(u'>');
            const qsizetype f2 = e.title.indexOf(u"</font>");
            e.title = e.title.mid(f1 + 1, f2 - f1 - 1);
        }
        entries.append(e);
    }
    return entries;
}

struct HotEntry
{
    QString section;
    QString address;
    QString title;
    QString comment;
};

// The hot news scan: case-sensitive markers, section decided by the section markers' positions.
QList<HotEntry> scanHotNews(const QString &s)
{
    const QString cell = QStringLiteral("<td style='padding-top:2px' align=left class='linkBlue'>");
    const QString anchor = QStringLiteral("<span style='padding-left:6px'><a href=");
    const QString target = QStringLiteral(" target=_blank>");
    const QString close = QStringLiteral("</a></span></td>");
    const QString commentCell =
        QStringLiteral("<td style='padding-top:2px' class='linkBlue'><a href=");
    const QStringList markers = {
        QStringLiteral("国际新闻 begin"), QStringLiteral("体育新闻 begin"),
        QStringLiteral("军事新闻 begin"), QStringLiteral("科技新闻 begin"),
        QStringLiteral("财经新闻 begin"), QStringLiteral("娱乐新闻 begin"),
    };
    QList<qsizetype> at;
    for (const QString &m : markers)
        at.append(s.indexOf(m));

    QList<HotEntry> entries;
    qsizetype pos = s.indexOf(u"国内新闻");
    const qsizetype end = s.indexOf(u"新闻中心意见反馈留言板");
    if (pos < 0 || end < 0)
        return entries;
    while (true) {
        pos = s.indexOf(cell, pos + 1);
        if (pos < 0 || pos > end)
            break;
        HotEntry e;
        const qsizetype a1 = s.indexOf(anchor, pos + 1);
        const qsizetype a2 = s.indexOf(target, pos + 1);
        e.address = s.mid(a1 + anchor.size(), a2 - a1 - anchor.size());
        const qsizetype t2 = s.indexOf(close, pos + 1);
        e.title = s.mid(a2 + target.size(), t2 - a2 - target.size());
        const qsizetype c1 = s.indexOf(commentCell, t2 + 1);
        const qsizetype c2 = s.indexOf(target, t2 + 1);
        e.comment = s.mid(c1 + commentCell.size(), c2 - c1 - commentCell.size());
        e.section = PortalGenerator::hotSections().constLast();
        for (int i = 0; i < at.size(); ++i) {
            if (a1 < at[i]) {
                e.section = PortalGenerator::hotSections().at(i);
                break;
            }
        }
        entries.append(e);
    }
    return entries;
}

// The six fenli.ini values: each key's first occurrence, value up to the next CR LF.
QStringList fenliValues(const QString &lowerFenli)
{
    const QStringList keys = {
        QStringLiteral("[新闻名字start]="), QStringLiteral("[新闻名字end]="),
        QStringLiteral("[新闻内容start]="), QStringLiteral("[新闻内容end]="),
        QStringLiteral("[中间广告start]="), QStringLiteral("[中间广告end]="),
    };
    QStringList values;
    for (const QString &key : keys) {
        const qsizetype k = lowerFenli.indexOf(key);
        const qsizetype eol = k < 0 ? -1 : lowerFenli.indexOf(QStringLiteral("\r\n"), k);
        if (k < 0 || eol < 0)
            return {};
        values.append(lowerFenli.mid(k + key.size(), eol - k - key.size()));
    }
    return values;
}

// The article extraction: remove the advertisement block, then cut title and body.
bool extractArticle(QString a, const QStringList &v, QString *title, QString *body)
{
    const QString &s1 = v[0], &e1 = v[1], &s2 = v[2], &e2 = v[3], &s3 = v[4], &e3 = v[5];
    QString low = a.toLower();
    const qsizetype p = low.indexOf(s1);
    const qsizetype ad1 = low.indexOf(s3, p);
    const qsizetype ad2 = low.indexOf(e3, p);
    if (p < 0 || ad1 < 0 || ad2 < ad1)
        return false;
    a = a.left(ad1) + a.mid(ad2 + e3.size());
    low = a.toLower();
    const qsizetype t1 = low.indexOf(s1);
    const qsizetype t2 = low.indexOf(e1, t1);
    const qsizetype b1 = low.indexOf(s2, t1 + 1);
    const qsizetype b2 = low.indexOf(e2, b1 + 1);
    if (t2 < 0 || b1 < 0 || b2 < 0)
        return false;
    *title = a.mid(t1 + s1.size(), t2 - t1 - s1.size());
    *body = a.mid(b1 + s2.size(), b2 - b1 - s2.size());
    return true;
}

// GBK bytes that decode without replacement characters and encode back to the same bytes.
bool isCleanGbk(const QByteArray &bytes)
{
    const QString text = mz::decodeAnsi(bytes);
    return !text.contains(QChar::ReplacementCharacter) && mz::encodeAnsi(text) == bytes &&
           QStringDecoder("GBK").decode(bytes) == text;
}

bool endsWithHtml(const QByteArray &bytes)
{
    return mz::decodeAnsi(bytes).trimmed().toLower().endsWith(u"</html>");
}

QString fenliText()
{
    const auto text = mz::readTextFile(QStringLiteral(MOZHOU_SOURCE_DIR "/data/fenli.ini"));
    return text.value_or(QString());
}

} // namespace

class tst_PortalPages : public QObject
{
    Q_OBJECT

private:
    PortalGenerator m_gen{kBase + u'/'}; // the trailing slash is dropped

private Q_SLOTS:
    void archiveMatchesGenerator_data()
    {
        QTest::addColumn<QDate>("day");
        QTest::newRow("2007-06-12") << QDate(2007, 6, 12);
        QTest::newRow("2007-03-02") << QDate(2007, 3, 2);
        QTest::newRow("leap-day") << QDate(2008, 2, 29);
        QTest::newRow("new-year") << QDate(2025, 1, 1);
    }

    void archiveMatchesGenerator()
    {
        QFETCH(QDate, day);
        const QByteArray bytes = m_gen.archivePage(day);
        QVERIFY(isCleanGbk(bytes));
        QVERIFY(endsWithHtml(bytes));
        const QString page = mz::decodeAnsi(bytes);
        QVERIFY(page.indexOf(u"新闻开始") < page.indexOf(u"新闻结束"));

        const QList<ArchiveEntry> entries = scanArchive(page, kBase);
        const int count = m_gen.entryCount(day);
        QVERIFY2(count >= 300 && count <= 3000, qPrintable(QString::number(count)));
        QCOMPARE(entries.size(), count);
        for (int n = 1; n <= count; ++n) {
            const PortalHeadline h = m_gen.headline(day, n);
            const ArchiveEntry &e = entries.at(n - 1);
            QCOMPARE(e.title, h.title.toLower());
            QCOMPARE(e.category, h.emptyCategory ? QString() : h.category);
            QCOMPARE(e.address, kBase + h.path);
            QVERIFY(!h.title.isEmpty());
            QVERIFY(
                !h.title.contains(QRegularExpression(QStringLiteral("[<>\\[\\]&\"/\\\\:?*|{}]"))));
        }
    }

    void archiveDayHasEveryFeature()
    {
        const QDate day(2007, 6, 12);
        const QString page = mz::decodeAnsi(m_gen.archivePage(day));
        QSet<QString> categories;
        for (const ArchiveEntry &e : scanArchive(page, kBase))
            categories.insert(e.category);
        for (const QString &c : PortalGenerator::categories())
            QVERIFY2(categories.contains(c), qPrintable(c));
        QCOMPARE(PortalGenerator::categories().size(), 20);

        QVERIFY(page.contains(u"<li>[]<a href=/news/"));
        QVERIFY(page.contains(u"<li>[国内]<a href=/news/"));
        QVERIFY(page.contains(QStringLiteral("<a href=%1/news/").arg(kBase)));
        QVERIFY(page.contains(QRegularExpression(
            QStringLiteral("<a href=[^ >]+><font color=[^>]+>[^<]+</font></a>"))));
        // Latin capitals stand in the page itself; only the program's scan lower-cases them.
        QVERIFY(page.contains(
            QRegularExpression(QStringLiteral("<li>\\[[^\\]]*\\]<a href=[^>]+>[^<]*[A-Z]{2,}"))));
        // Every href is the literal form the scan reads: no quotes, no further attributes.
        QVERIFY(!page.contains(QRegularExpression(QStringLiteral("<li>[^\\n]*href=[\"']"))));
    }

    void pagesAreDeterministicPerDate()
    {
        const QDate day(2007, 6, 12);
        const PortalGenerator other(kBase);
        QCOMPARE(other.archivePage(day), m_gen.archivePage(day));
        QCOMPARE(other.hotNewsPage(day), m_gen.hotNewsPage(day));
        QCOMPARE(other.articlePage(day, 77), m_gen.articlePage(day, 77));
        QCOMPARE(other.commentPage(day, 77), m_gen.commentPage(day, 77));

        QVERIFY(m_gen.archivePage(day) != m_gen.archivePage(day.addDays(1)));
        QVERIFY(m_gen.hotNewsPage(day) != m_gen.hotNewsPage(day.addDays(1)));
        int sameTitles = 0;
        for (int n = 1; n <= 50; ++n)
            sameTitles += m_gen.headline(day, n).title == m_gen.headline(day.addDays(1), n).title;
        QVERIFY2(sameTitles < 10, qPrintable(QString::number(sameTitles)));
    }

    void sizedArchiveForBenchmarks()
    {
        const QDate day(2007, 6, 12);
        const QByteArray bytes = m_gen.archivePage(day, 10000);
        QVERIFY(endsWithHtml(bytes));
        const QList<ArchiveEntry> entries = scanArchive(mz::decodeAnsi(bytes), kBase);
        QCOMPARE(entries.size(), 10000);
        // Entry n is the same whatever the page size: the served page is a prefix in content.
        const QList<ArchiveEntry> natural =
            scanArchive(mz::decodeAnsi(m_gen.archivePage(day)), kBase);
        for (int i = 0; i < natural.size(); ++i)
            QCOMPARE(entries.at(i).title, natural.at(i).title);
        QCOMPARE(scanArchive(mz::decodeAnsi(m_gen.archivePage(day, 0)), kBase).size(), 0);

        // The portal serves pages of a given size (again at once from the one it keeps); the
        // other pages stay as they are.
        const mz::FixedClock clock(day);
        mz::PortalSite site(kBase, &clock);
        site.setArchiveEntries(3000);
        const QByteArray path = "/old1000/news1000_20070612.shtml";
        for (int round = 0; round < 2; ++round) {
            const mz::HttpResponse r = site.respond("GET", path);
            QCOMPARE(r.status, 200);
            QCOMPARE(r.body, m_gen.archivePage(day, 3000));
        }
        QCOMPARE(site.respond("GET", "/old1000/news1000_20070613.shtml").body,
                 m_gen.archivePage(day.addDays(1), 3000));
        QCOMPARE(site.respond("GET", "/hotnews/").body, m_gen.hotNewsPage(day));
    }

    void hotNewsFollowsTheGrammar_data()
    {
        QTest::addColumn<QDate>("day");
        QTest::newRow("2007-06-12") << QDate(2007, 6, 12);
        QTest::newRow("2007-03-02") << QDate(2007, 3, 2);
        QTest::newRow("2024-12-31") << QDate(2024, 12, 31);
    }

    void hotNewsFollowsTheGrammar()
    {
        QFETCH(QDate, day);
        const QByteArray bytes = m_gen.hotNewsPage(day);
        QVERIFY(isCleanGbk(bytes));
        QVERIFY(endsWithHtml(bytes));
        const QString s = mz::decodeAnsi(bytes);

        const QStringList order = {
            QStringLiteral("国内新闻"),       QStringLiteral("国际新闻 begin"),
            QStringLiteral("体育新闻 begin"), QStringLiteral("军事新闻 begin"),
            QStringLiteral("科技新闻 begin"), QStringLiteral("财经新闻 begin"),
            QStringLiteral("娱乐新闻 begin"), QStringLiteral("新闻中心意见反馈留言板"),
            QStringLiteral("</html>"),
        };
        qsizetype last = -1;
        for (const QString &marker : order) {
            const qsizetype at = s.indexOf(marker);
            QVERIFY2(at > last, qPrintable(marker));
            if (marker != u"国内新闻")
                QCOMPARE(s.count(marker), 1);
            last = at;
        }

        const QList<HotEntry> entries = scanHotNews(s);
        int row = 0;
        for (int section = 0; section < 7; ++section) {
            const QList<PortalHeadline> expected = m_gen.hotHeadlines(day, section);
            QVERIFY2(expected.size() >= 5, qPrintable(PortalGenerator::hotSections().at(section)));
            for (const PortalHeadline &h : expected) {
                QVERIFY(row < entries.size());
                const HotEntry &e = entries.at(row++);
                QCOMPARE(e.section, PortalGenerator::hotSections().at(section));
                QCOMPARE(e.title, h.title); // case kept
                QCOMPARE(h.category, PortalGenerator::hotSectionCategory(section));
                QCOMPARE(e.address, kBase + PortalGenerator::articlePath(day, h.number));
                QCOMPARE(e.comment, kBase + PortalGenerator::commentPath(day, h.number));
            }
        }
        QCOMPARE(row, entries.size());
    }

    void hotTitlesKeepCapitals()
    {
        // Over a week of hot pages, some titles carry Latin capitals and the page keeps them.
        int withCapitals = 0;
        for (int i = 0; i < 7; ++i) {
            const QDate day = QDate(2007, 6, 1).addDays(i);
            for (const HotEntry &e : scanHotNews(mz::decodeAnsi(m_gen.hotNewsPage(day))))
                withCapitals += e.title.contains(QRegularExpression(QStringLiteral("[A-Z]{2,}")));
        }
        QVERIFY(withCapitals > 0);
    }

    void deliveredFenliIsWellFormed()
    {
        const auto bytes = mz::readFileBytes(QStringLiteral(MOZHOU_SOURCE_DIR "/data/fenli.ini"));
        QVERIFY(bytes.has_value());
        QVERIFY(bytes->endsWith("\r\n"));
        QCOMPARE(bytes->count("\r\n"), 6);
        QCOMPARE(bytes->count('\n'), 6); // no bare LF line
        QVERIFY(isCleanGbk(*bytes));
        const QStringList values = fenliValues(fenliText().toLower());
        QCOMPARE(values.size(), 6);
        for (const QString &v : values)
            QVERIFY(!v.isEmpty() && v == v.trimmed());
    }

    void deliveredTemplateIsWellFormed()
    {
        const auto bytes =
            mz::readFileBytes(QStringLiteral(MOZHOU_SOURCE_DIR "/data/template.ini"));
        QVERIFY(bytes.has_value());
        QVERIFY(isCleanGbk(*bytes));
        QCOMPARE(bytes->count("\r\n"), bytes->count('\n'));
        const QString text = mz::decodeAnsi(*bytes);
        QVERIFY(text.contains(u"[新闻名字]"));
        QVERIFY(text.contains(u"[新闻内容]"));
        QVERIFY(text.indexOf(u"[新闻名字]") < text.indexOf(u"[新闻内容]"));
        QVERIFY(endsWithHtml(*bytes));
    }

    void articleFitsDeliveredFenli_data()
    {
        QTest::addColumn<QDate>("day");
        QTest::addColumn<int>("number");
        QTest::newRow("first-entry") << QDate(2007, 6, 12) << 1;
        QTest::newRow("middle") << QDate(2007, 6, 12) << 200;
        QTest::newRow("other-day") << QDate(2007, 3, 2) << 17;
        QTest::newRow("beyond-day-count") << QDate(2007, 3, 2) << 99999;
    }

    void articleFitsDeliveredFenli()
    {
        QFETCH(QDate, day);
        QFETCH(int, number);
        const QStringList v = fenliValues(fenliText().toLower());
        QCOMPARE(v.size(), 6);

        const QByteArray bytes = m_gen.articlePage(day, number);
        QVERIFY(isCleanGbk(bytes));
        QVERIFY(endsWithHtml(bytes));
        const QString page = mz::decodeAnsi(bytes);
        const QString low = page.toLower();
        for (const QString &marker : v)
            QVERIFY2(low.contains(marker), qPrintable(marker));

        // The advertisement lies inside the body region, after the title.
        const qsizetype adStart = low.indexOf(v[4]);
        QVERIFY(low.indexOf(v[0]) < low.indexOf(v[2]));
        QVERIFY(low.indexOf(v[2]) < adStart);
        QVERIFY(adStart < low.indexOf(v[5]));
        QVERIFY(low.indexOf(v[5]) < low.indexOf(v[3]));
        QVERIFY(page.contains(PortalGenerator::advertisementText()));

        QString title, body;
        QVERIFY(extractArticle(page, v, &title, &body));
        const PortalHeadline h = m_gen.headline(day, number);
        QCOMPARE(title, h.title);
        QVERIFY(!body.contains(PortalGenerator::advertisementText()));
        QVERIFY(!body.toLower().contains(v[4]));
        const QStringList paragraphs = m_gen.articleParagraphs(day, number);
        QVERIFY(paragraphs.size() >= 4);
        for (const QString &p : paragraphs)
            QVERIFY2(body.contains(p), qPrintable(p));
        QVERIFY(body.size() > 150);
    }

    void routing_data()
    {
        QTest::addColumn<QByteArray>("method");
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("contains");
        QTest::newRow("archive") << QByteArray("GET")
                                 << QByteArray("/old1000/news1000_20070612.shtml") << 200
                                 << QStringLiteral("新闻开始");
        QTest::newRow("hot-dated") << QByteArray("GET") << QByteArray("/hotnews/20070612.shtml")
                                   << 200 << QStringLiteral("娱乐新闻 begin");
        QTest::newRow("hot-live") << QByteArray("GET") << QByteArray("/hotnews/") << 200
                                  << QStringLiteral("2007年3月2日");
        QTest::newRow("article") << QByteArray("GET") << QByteArray("/news/20070612/5.shtml") << 200
                                 << QStringLiteral("<!-- 正文开始 -->");
        QTest::newRow("comment") << QByteArray("GET") << QByteArray("/comment/20070612/5.shtml")
                                 << 200 << QStringLiteral("网友评论");
        QTest::newRow("site") << QByteArray("GET") << QByteArray("/mozhou/") << 200
                              << QStringLiteral("最流行关键词");
        QTest::newRow("index") << QByteArray("GET") << QByteArray("/") << 200
                               << QStringLiteral("/hotnews/20070302.shtml");
        QTest::newRow("head") << QByteArray("HEAD") << QByteArray("/mozhou/") << 200
                              << QStringLiteral("墨舟");
        QTest::newRow("invalid-date")
            << QByteArray("GET") << QByteArray("/old1000/news1000_20071340.shtml") << 404
            << QString();
        QTest::newRow("short-stamp")
            << QByteArray("GET") << QByteArray("/hotnews/2007061.shtml") << 404 << QString();
        QTest::newRow("article-zero")
            << QByteArray("GET") << QByteArray("/news/20070612/0.shtml") << 404 << QString();
        QTest::newRow("article-leading-zero")
            << QByteArray("GET") << QByteArray("/news/20070612/05.shtml") << 404 << QString();
        QTest::newRow("article-too-far")
            << QByteArray("GET") << QByteArray("/news/20070612/1000001.shtml") << 404 << QString();
        QTest::newRow("unknown") << QByteArray("GET") << QByteArray("/nothing/here") << 404
                                 << QString();
        QTest::newRow("upper-case-path")
            << QByteArray("GET") << QByteArray("/HOTNEWS/") << 404 << QString();
        QTest::newRow("post") << QByteArray("POST") << QByteArray("/hotnews/") << 405 << QString();
    }

    void routing()
    {
        QFETCH(QByteArray, method);
        QFETCH(QByteArray, path);
        QFETCH(int, status);
        QFETCH(QString, contains);
        const mz::FixedClock clock(QDate(2007, 3, 2));
        const mz::PortalSite site(kBase, &clock);
        const mz::HttpResponse response = site.respond(method, path);
        QCOMPARE(response.status, status);
        QCOMPARE(response.contentType, QByteArray("text/html; charset=gbk"));
        QVERIFY(endsWithHtml(response.body)); // error pages too
        QVERIFY(isCleanGbk(response.body));
        if (!contains.isEmpty())
            QVERIFY(mz::decodeAnsi(response.body).contains(contains));
        if (path == "/hotnews/" && status == 200)
            QCOMPARE(response.body, site.generator().hotNewsPage(QDate(2007, 3, 2)));
    }

    void everyListedAddressIsServed()
    {
        const QDate day(2007, 6, 12);
        const mz::FixedClock clock(day);
        const mz::PortalSite site(kBase, &clock);
        QStringList addresses;
        const QList<ArchiveEntry> archive =
            scanArchive(mz::decodeAnsi(m_gen.archivePage(day)), kBase);
        for (int i = 0; i < archive.size(); i += 7)
            addresses.append(archive.at(i).address);
        for (const HotEntry &e : scanHotNews(mz::decodeAnsi(m_gen.hotNewsPage(day))))
            addresses << e.address << e.comment;
        QVERIFY(addresses.size() > 100);
        for (const QString &address : std::as_const(addresses)) {
            QVERIFY2(address.startsWith(kBase + u'/'), qPrintable(address));
            const mz::HttpResponse r = site.respond("GET", address.mid(kBase.size()).toLatin1());
            QVERIFY2(r.status == 200, qPrintable(address));
        }
    }

    void portalServerServesItsOwnAddress()
    {
        const mz::FixedClock clock(QDate(2007, 3, 2));
        mz::PortalServer portal(&clock);
        QVERIFY(portal.listen(0));
        QVERIFY(portal.baseUrl().startsWith(u"http://127.0.0.1:"));
        QCOMPARE(portal.generator().baseUrl(), portal.baseUrl());

        QNetworkAccessManager manager;
        manager.setProxy(QNetworkProxy::NoProxy);
        QNetworkReply *reply =
            manager.get(QNetworkRequest(QUrl(portal.baseUrl() + QStringLiteral("/hotnews/"))));
        QSignalSpy done(reply, &QNetworkReply::finished);
        QVERIFY(done.wait(5000));
        QCOMPARE(reply->error(), QNetworkReply::NoError);
        const QByteArray body = reply->readAll();
        QCOMPARE(body, portal.generator().hotNewsPage(QDate(2007, 3, 2)));
        const QList<HotEntry> entries = scanHotNews(mz::decodeAnsi(body));
        QVERIFY(!entries.isEmpty());
        QVERIFY(entries.first().address.startsWith(portal.baseUrl() +
                                                   QStringLiteral("/news/20070302/")));
        QCOMPARE(portal.server().requestedPaths(), QList<QByteArray>{"/hotnews/"});
        reply->deleteLater();
    }
};

QTEST_MAIN(tst_PortalPages)
#include "tst_portalpages.moc"
