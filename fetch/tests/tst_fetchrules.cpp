// The pure rules of the page downloads: page addresses and stored file names for closed and open
// days, the kilobyte text, the completeness test and the retry pauses.

#include "fetch/completeness.h"
#include "fetch/pagenames.h"
#include "fetch/retrypolicy.h"
#include "platform/textfile.h"

#include <QTemporaryDir>
#include <QTest>

using mz::PageKind;

class TestFetchRules : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void pageTargets_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("live");
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("closed");

        const QDate later(2007, 6, 13), sameDay(2007, 6, 12);
        const int archive = int(PageKind::Archive), hot = int(PageKind::HotNews);
        QTest::newRow("archive-closed-next-day")
            << archive << false << later << "B/old1000/news1000_20070612.shtml"
            << "news1000_20070612.shtml" << true;
        QTest::newRow("archive-closed-years-later")
            << archive << false << QDate(2024, 1, 1) << "B/old1000/news1000_20070612.shtml"
            << "news1000_20070612.shtml" << true;
        QTest::newRow("archive-open-same-day")
            << archive << false << sameDay << "B/old1000/news1000_20070612.shtml"
            << "Nonews1000_20070612.shtml" << false;
        QTest::newRow("archive-future-day-is-open")
            << archive << false << QDate(2007, 6, 1) << "B/old1000/news1000_20070612.shtml"
            << "Nonews1000_20070612.shtml" << false;
        QTest::newRow("hot-closed-dated-page") << hot << true << later << "B/hotnews/20070612.shtml"
                                               << "20070612.shtml" << true;
        QTest::newRow("hot-open-download-live-page") << hot << true << sameDay << "B/hotnews/"
                                                     << "No20070612.shtml" << false;
        QTest::newRow("hot-future-day-dated-page")
            << hot << true << QDate(2007, 6, 11) << "B/hotnews/20070612.shtml"
            << "No20070612.shtml" << false;
        QTest::newRow("hot-open-show-dated-address")
            << hot << false << sameDay << "B/hotnews/20070612.shtml"
            << "No20070612.shtml" << false;
    }
    void pageTargets()
    {
        QFETCH(int, kind);
        QFETCH(bool, live);
        QFETCH(QDate, today);
        QFETCH(QString, url);
        QFETCH(QString, file);
        QFETCH(bool, closed);

        const auto t = mz::pageTarget(PageKind(kind), QStringLiteral("B"), QStringLiteral("/prog"),
                                      mz::Day::of(QDate(2007, 6, 12)), today, live);
        QCOMPARE(t.url, url);
        QCOMPARE(t.file, QStringLiteral("/prog/") + file);
        QCOMPARE(t.closed, closed);
        QVERIFY(t.provisionalFile.endsWith(QStringLiteral("/No") + t.finalFile.section('/', -1)));
    }

    void dayFromKey_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QDate>("expected");
        QTest::newRow("day") << "k20070612" << QDate(2007, 6, 12);
        QTest::newRow("impossible-date") << "k20070230" << QDate();
        QTest::newRow("keyword-key") << "k2100" << QDate();
        QTest::newRow("root") << "k1" << QDate();
        QTest::newRow("arabic-indic-digits")
            << "k\u0662\u0660\u0660\u0667\u0660\u0666\u0661\u0662" << QDate();
    }
    void dayFromKey()
    {
        QFETCH(QString, key);
        QFETCH(QDate, expected);
        const mz::Day day = mz::Day::fromKey(key);
        QCOMPARE(day.date, expected);
        if (expected.isValid()) {
            QCOMPARE(day.key, key);
            QCOMPARE(day.label, mz::dayLabel(expected));
        }
    }

    void unreadableDayIsOpen()
    {
        // A day that cannot be dated never counts as closed: its page keeps the "No" prefix.
        QVERIFY(!mz::isClosedDay(QDate(), QDate(2007, 6, 12)));
        const auto t = mz::pageTarget(PageKind::Archive, QStringLiteral("B"), QStringLiteral("/p"),
                                      mz::Day(), QDate(2007, 6, 12));
        QVERIFY(!t.closed);
        QCOMPARE(t.file, QStringLiteral("/p/Nonews1000_.shtml"));
    }

    void kilobytes_data()
    {
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << qint64(0) << "0K";
        QTest::newRow("below-half") << qint64(511) << "0K";
        QTest::newRow("half-to-even-zero") << qint64(512) << "0K";
        QTest::newRow("above-half") << qint64(513) << "1K";
        QTest::newRow("1.5K-up-to-2") << qint64(1536) << "2K";
        QTest::newRow("2.5K-down-to-2") << qint64(2560) << "2K";
        QTest::newRow("3.5K-up-to-4") << qint64(3584) << "4K";
        QTest::newRow("57800") << qint64(57800) << "56K";
        QTest::newRow("exact-1M") << qint64(1048576) << "1024K";
    }
    void kilobytes()
    {
        QFETCH(qint64, bytes);
        QFETCH(QString, text);
        QCOMPARE(mz::kilobyteText(bytes), text);
    }

    void progress_data()
    {
        QTest::addColumn<qint64>("received");
        QTest::addColumn<qint64>("total");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("percent");
        QTest::newRow("no-length") << qint64(57800) << qint64(-1) << "56K" << -1;
        QTest::newRow("zero-length") << qint64(0) << qint64(0) << "0K" << -1;
        QTest::newRow("nothing-yet") << qint64(0) << qint64(4096) << "0K（0%）" << 0;
        QTest::newRow("rounded-down") << qint64(1999) << qint64(2000) << "2K（99%）" << 99;
        QTest::newRow("all") << qint64(2000) << qint64(2000) << "2K（100%）" << 100;
        QTest::newRow("more-than-announced") << qint64(3072) << qint64(2048) << "3K（100%）" << 100;
    }
    void progress()
    {
        QFETCH(qint64, received);
        QFETCH(qint64, total);
        QFETCH(QString, text);
        QFETCH(int, percent);
        QCOMPARE(mz::progressText(received, total), text);
        QCOMPARE(mz::progressPercent(received, total), percent);
    }

    void completeness_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("complete");
        QTest::newRow("lower-case") << QByteArray("<html><body>x</body></html>") << true;
        QTest::newRow("capitals") << QByteArray("<HTML><BODY>x</BODY></HTML>\r\n") << true;
        QTest::newRow("mixed-case") << QByteArray("</Html>") << true;
        QTest::newRow("cut-before-end") << QByteArray("<html><body>x</body></ht") << false;
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("space-inside-tag") << QByteArray("</ html>") << false;
        QTest::newRow("gbk-text") << mz::encodeAnsi(u"<html>新闻开始 国内 新闻结束</html>") << true;
        QTest::newRow("gbk-right-before-and-after") << mz::encodeAnsi(u"国内</HTML>国际") << true;
        // A lead byte whose trail would be "<": the decoder must not swallow the tag's start.
        QTest::newRow("lead-byte-before-tag") << QByteArray("\x81</html>") << true;
        QTest::newRow("lead-byte-inside-tag") << QByteArray("<\x81/html>") << false;
        QTest::newRow("trail-bytes-look-like-letters")
            << QByteArray("</\xb0h\xb0t\xb0m\xb0l>") << false;
        QTest::newRow("four-byte-char-before") << QByteArray("\x81\x30\x81\x30</hTmL>") << true;
        QTest::newRow("four-byte-char-cut-before") << QByteArray("\x81\x30</html>") << true;
        QTest::newRow("lead-byte-at-end") << QByteArray("</html>\xfe") << true;
        QTest::newRow("fullwidth-tag") << mz::encodeAnsi(u"＜／ｈｔｍｌ＞") << false;
        QTest::newRow("tag-early-then-more") << QByteArray("</html><!-- more -->abc") << true;
    }
    void completeness()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, complete);
        // The byte search gives the answer of the decoding rule on every row.
        QCOMPARE(mz::decodeAnsi(bytes).toLower().contains(QLatin1String("</html>")), complete);
        QCOMPARE(mz::isCompletePage(bytes), complete);

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("page.shtml"));
        QVERIFY(mz::writeFileBytes(path, bytes));
        QCOMPARE(mz::isCompletePageFile(path), complete);

        // Arriving in pieces of any size, the tag split anywhere.
        for (int piece = 1; piece <= 8; ++piece) {
            mz::PageEndScanner scanner;
            for (qsizetype at = 0; at < bytes.size(); at += piece)
                scanner.feed(
                    QByteArrayView(bytes).sliced(at, qMin<qsizetype>(piece, bytes.size() - at)));
            QVERIFY2(scanner.found() == complete,
                     qPrintable(QStringLiteral("pieces of %1").arg(piece)));
        }
    }

    void completenessOfLargeFiles_data()
    {
        // The file is read backwards in 64 KB blocks: the tag at block borders and far from the
        // end.
        QTest::addColumn<qsizetype>(
            "tagAt"); // offset from the end of a 200,000-byte file; -1: none
        QTest::newRow("at-the-end") << qsizetype(7);
        QTest::newRow("across-first-border") << qsizetype(65536 + 3);
        QTest::newRow("right-after-border") << qsizetype(65536);
        QTest::newRow("across-second-border") << qsizetype(2 * 65536 + 5);
        QTest::newRow("at-the-start") << qsizetype(200000);
        QTest::newRow("none") << qsizetype(-1);
    }
    void completenessOfLargeFiles()
    {
        QFETCH(qsizetype, tagAt);
        QByteArray bytes = mz::encodeAnsi(u"新闻").repeated(50000);
        if (tagAt >= 0)
            bytes.replace(bytes.size() - tagAt, 7, "</HTML>");
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("big.shtml"));
        QVERIFY(mz::writeFileBytes(path, bytes));
        QCOMPARE(mz::isCompletePageFile(path), tagAt >= 0);
    }

    void missingFileIsIncomplete()
    {
        QTemporaryDir dir;
        QVERIFY(!mz::isCompletePageFile(dir.filePath(QStringLiteral("none.shtml"))));
        QVERIFY(!mz::isCompletePageFile(dir.path())); // a folder is not a page
    }

    void retryPauses_data()
    {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("cap");
        QTest::addColumn<QList<int>>("pauses"); // before attempts 1, 2, 3, ...
        QTest::newRow("doubling") << 1000 << 16000
                                  << QList<int>{0, 1000, 2000, 4000, 8000, 16000, 16000};
        QTest::newRow("capped-early") << 1000 << 3000 << QList<int>{0, 1000, 2000, 3000, 3000};
        QTest::newRow("no-pause") << 0 << 0 << QList<int>{0, 0, 0};
        QTest::newRow("cap-below-first") << 500 << 200 << QList<int>{0, 200, 200};
    }
    void retryPauses()
    {
        QFETCH(int, first);
        QFETCH(int, cap);
        QFETCH(QList<int>, pauses);
        const mz::RetryPolicy policy(5, first, cap);
        for (int i = 0; i < pauses.size(); ++i)
            QCOMPARE(policy.pauseBeforeAttempt(i + 1), pauses[i]);
        // Far beyond the limit the pause neither overflows nor exceeds the cap.
        QCOMPARE(policy.pauseBeforeAttempt(1000), pauses.last());
    }

    void retryLimit()
    {
        const mz::RetryPolicy policy(3, 10, 10);
        QVERIFY(policy.mayRetry(1));
        QVERIFY(policy.mayRetry(2));
        QVERIFY(!policy.mayRetry(3));
        QVERIFY(!mz::RetryPolicy(1, 0, 0).mayRetry(1)); // a single try: no retry at all
        QCOMPARE(mz::RetryPolicy().maxAttempts(), 5);
    }
};

QTEST_GUILESS_MAIN(TestFetchRules)
#include "tst_fetchrules.moc"
