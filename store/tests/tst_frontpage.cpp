// The personal front page: ranking by interest level, leaving out "一点不", safe HTML, and the
// command's reaction to missing or damaged input.

#include "platform/textfile.h"
#include "store/flashini.h"
#include "store/frontpage.h"

#include <QTemporaryDir>
#include <QTest>

using namespace mz;

namespace {

HeadlineRow row(const QString &category, const QString &title)
{
    HeadlineRow r;
    r.title = title;
    r.sub1 = category;
    r.tag = QStringLiteral("http://127.0.0.1:8086/n/") + title + QStringLiteral(".shtml");
    return r;
}

const HeadlineRows kRows{
    row(QStringLiteral("体育"), QStringLiteral("国足晋级")),
    row(QStringLiteral("影音"), QStringLiteral("新片上映")),
    row(QStringLiteral("国内"), QStringLiteral("台湾同胞返乡")),
    row(QStringLiteral("科技"), QStringLiteral("互联网大会开幕")),
    row(QStringLiteral("科技"), QStringLiteral("新型芯片")),
    row(QStringLiteral("社会"), QStringLiteral("社区义诊")),
    row(QStringLiteral("国际"), QStringLiteral("联合国会议")),
    row(QStringLiteral("国内"), QStringLiteral("两会召开")),
};

// Sections as "heading:title|title".
QStringList describe(const QList<FrontSection> &sections)
{
    QStringList out;
    for (const FrontSection &s : sections) {
        QStringList titles;
        for (const HeadlineRow &r : s.rows)
            titles << r.title;
        out << s.heading + u':' + titles.join(u'|');
    }
    return out;
}

QString archivePage(const QString &entries)
{
    return QStringLiteral("<html><body><!-- 新闻开始 --><ul>") + entries +
           QStringLiteral("</ul><!-- 新闻结束 --></body></html>");
}

} // namespace

class TestFrontPage : public QObject
{
    Q_OBJECT

private slots:
    void ranking_data()
    {
        QTest::addColumn<QList<int>>(
            "levels"); // gym star domestic hk foreign military science internet
        QTest::addColumn<QStringList>("expected");

        QTest::newRow("very-before-general")
            << QList<int>{1, -1, -1, -1, 2, -1, -1, -1}
            << QStringList{QStringLiteral("国际政治（非常关心）:联合国会议"),
                           QStringLiteral("体育（一般关心）:国足晋级"),
                           QStringLiteral("其他新闻:新片上映|台湾同胞返乡|互联网大会开幕|新型芯片|"
                                          "社区义诊|两会召开")};
        QTest::newRow("not-at-all-left-out")
            << QList<int>{0, 0, -1, -1, -1, -1, 0, 2}
            << QStringList{QStringLiteral("互联网（非常关心）:互联网大会开幕"),
                           QStringLiteral("其他新闻:台湾同胞返乡|社区义诊|联合国会议|两会召开")};
        QTest::newRow("title-word-beats-unwanted-category")
            << QList<int>{-1, -1, 0, 2, -1, -1, -1, -1}
            << QStringList{QStringLiteral("港澳台（非常关心）:台湾同胞返乡"),
                           QStringLiteral("其他新闻:国足晋级|新片上映|互联网大会开幕|新型芯片|"
                                          "社区义诊|联合国会议")};
        QTest::newRow("table-order-within-a-level")
            << QList<int>{1, 1, 1, 1, 1, 1, 1, 1}
            << QStringList{QStringLiteral("体育（一般关心）:国足晋级"),
                           QStringLiteral("明星（一般关心）:新片上映"),
                           QStringLiteral("国内政治（一般关心）:台湾同胞返乡|两会召开"),
                           QStringLiteral("国际政治（一般关心）:联合国会议"),
                           QStringLiteral("科技（一般关心）:互联网大会开幕|新型芯片"),
                           QStringLiteral("其他新闻:社区义诊")};
    }

    void ranking()
    {
        QFETCH(QList<int>, levels);
        QFETCH(QStringList, expected);

        FlashAnswers answers;
        const QList<InterestTopic> &topics = interestTopics();
        QCOMPARE(topics.size(), levels.size());
        for (qsizetype i = 0; i < topics.size(); ++i)
            answers[topics[i].group] = levels[i];
        QCOMPARE(describe(rankFrontPage(kRows, answers)), expected);
    }

    void htmlIsEscaped()
    {
        HeadlineRow evil =
            row(QStringLiteral("社会"), QStringLiteral("<script>alert(1)</script>&"));
        evil.tag = QStringLiteral("javascript:alert(1)");
        HeadlineRow quoted = row(QStringLiteral("社会"), QStringLiteral("引号"));
        quoted.tag = QStringLiteral("http://h/a\"onclick=\"x");
        const QString html = renderFrontPage({{QStringLiteral("其他新闻"), -1, {evil, quoted}}},
                                             QStringLiteral("2007-3-2"));
        QVERIFY(!html.contains(QStringLiteral("<script>")));
        QVERIFY(html.contains(QStringLiteral("&lt;script&gt;alert(1)&lt;/script&gt;&amp;")));
        QVERIFY(!html.contains(QStringLiteral("javascript:")));
        QVERIFY(!html.contains(QStringLiteral("\"onclick")));
    }

    // Addresses that open from the lists are links on the page too, written percent-encoded. A
    // headline without a title shows its address, so that its link can be seen and clicked.
    void links_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("tag");
        QTest::addColumn<QString>("href"); // empty: the text stands without a link
        QTest::addColumn<QString>("text"); // what the reader sees

        const QString t = QStringLiteral("义诊");
        QTest::newRow("plain") << t << QStringLiteral("http://h/n/1.shtml")
                               << QStringLiteral("http://h/n/1.shtml") << t;
        QTest::newRow("blank-in-path") << t << QStringLiteral("http://h/n/a b.shtml")
                                       << QStringLiteral("http://h/n/a%20b.shtml") << t;
        QTest::newRow("bar-and-ampersand-in-query")
            << t << QStringLiteral("http://h/show?id=1|2&p=<3>")
            << QStringLiteral("http://h/show?id=1%7C2&amp;p=%3C3%3E") << t;
        QTest::newRow("surrounding-blanks") << t << QStringLiteral(" https://h/x.shtml \r\n")
                                            << QStringLiteral("https://h/x.shtml") << t;
        QTest::newRow("no-host") << t << QStringLiteral("http:///x.shtml") << QString() << t;
        QTest::newRow("relative") << t << QStringLiteral("/n/1.shtml") << QString() << t;
        QTest::newRow("empty-title")
            << QString() << QStringLiteral("http://h/n/1.shtml")
            << QStringLiteral("http://h/n/1.shtml") << QStringLiteral("http://h/n/1.shtml");
        QTest::newRow("blank-title-readable-address")
            << QStringLiteral(" \t ") << QStringLiteral("http://h/新闻?a=1&b=2")
            << QStringLiteral("http://h/%E6%96%B0%E9%97%BB?a=1&amp;b=2")
            << QStringLiteral("http://h/新闻?a=1&amp;b=2");
        QTest::newRow("empty-title-without-link") << QString() << QStringLiteral("/n/1.shtml")
                                                  << QString() << QStringLiteral("/n/1.shtml");
    }

    void links()
    {
        QFETCH(QString, title);
        QFETCH(QString, tag);
        QFETCH(QString, href);
        QFETCH(QString, text);

        HeadlineRow r = row(QStringLiteral("社会"), title);
        r.tag = tag;
        const QString html =
            renderFrontPage({{QStringLiteral("其他新闻"), -1, {r}}}, QStringLiteral("2007-3-2"));
        if (href.isEmpty()) {
            QVERIFY(!html.contains(QStringLiteral("<a ")));
            QVERIFY2(html.contains(QStringLiteral("<li>") + text + QStringLiteral(" [社会]</li>")),
                     qPrintable(html));
        } else {
            QVERIFY2(html.contains(QStringLiteral("<li><a href=\"") + href + QStringLiteral("\">") +
                                   text + QStringLiteral("</a> [社会]</li>")),
                     qPrintable(html));
        }
    }

    void command_data()
    {
        QTest::addColumn<QString>("flash");   // null: no file
        QTest::addColumn<QString>("archive"); // null: no file
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("advice"); // what the message asks the user to do

        const QString answered = QStringLiteral("[main]\r\nage=#\r\ngym=2\r\n");
        const QString page =
            archivePage(QStringLiteral("<li>[体育]<a href=/n/1.shtml>国足晋级</a></li>"
                                       "<li>[社会]<a href=/n/2.shtml>社区义诊</a></li>"));
        const QString refill = QStringLiteral("请重新填写喜好选项");
        QTest::newRow("no-flash-ini")
            << QString() << page << int(FrontPageStatus::NoAnswers) << QString();
        QTest::newRow("delivered-hash") << QStringLiteral("[main]\r\nage=#\r\n") << page
                                        << int(FrontPageStatus::NoAnswers) << QString();
        QTest::newRow("damaged-flash-ini")
            << QStringLiteral("[main]\r\ngym=x\r\nstar=9\r\n") << page
            << int(FrontPageStatus::DamagedAnswers) << refill;
        // Too large to read: the options dialog will not replace it, so refilling cannot help.
        QTest::newRow("unreadable-flash-ini")
            << answered + QString(kMaxFlashIniBytes, u';') << page
            << int(FrontPageStatus::DamagedAnswers) << QStringLiteral("请把它删除或改名");
        QTest::newRow("no-archive")
            << answered << QString() << int(FrontPageStatus::NoArchive) << QString();
        QTest::newRow("archive-without-headlines")
            << answered << QStringLiteral("<html>维护中</html>")
            << int(FrontPageStatus::EmptyArchive) << QString();
        QTest::newRow("built-and-saved")
            << answered << page << int(FrontPageStatus::Ok) << QString();
    }

    void command()
    {
        QFETCH(QString, flash);
        QFETCH(QString, archive);
        QFETCH(int, status);
        QFETCH(QString, advice);

        QTemporaryDir dir;
        const QString flashPath = flashIniPath(dir.path());
        const QString archivePath = dir.filePath(QStringLiteral("news1000_20070302.shtml"));
        if (!flash.isNull())
            QVERIFY(writeTextFile(flashPath, flash));
        if (!archive.isNull())
            QVERIFY(writeTextFile(archivePath, archive));

        const FrontPageResult r =
            makeFrontPage(flashPath, archivePath, QStringLiteral("http://127.0.0.1:8086"),
                          QStringLiteral("20070302"), QStringLiteral("2007-3-2"));
        QCOMPARE(int(r.status), status);
        const QString saved = dir.filePath(QStringLiteral("frontpage_20070302.html"));
        if (status != int(FrontPageStatus::Ok)) {
            QVERIFY(!r.message.isEmpty());
            QVERIFY2(r.message.contains(advice), qPrintable(r.message));
            QVERIFY(r.html.isEmpty());
            QVERIFY(!QFile::exists(saved));
            return;
        }
        QCOMPARE(r.savedPath, saved);
        QCOMPARE(readTextFile(saved).value_or(QString()), r.html);
        QVERIFY(r.html.indexOf(QStringLiteral("体育（非常关心）")) <
                r.html.indexOf(QStringLiteral("其他新闻")));
        QVERIFY(r.html.contains(QStringLiteral("href=\"http://127.0.0.1:8086/n/1.shtml\"")));
    }
};

QTEST_GUILESS_MAIN(TestFrontPage)
#include "tst_frontpage.moc"
