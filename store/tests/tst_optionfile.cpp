#include "rules/day.h"
#include "store/optionfile.h"
#include "platform/textfile.h"
#include "testsupport/crlf.h"
#include "testsupport/writelimit.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace mz;
using mz::test::crlf;
using Status = KeywordChange::Status;
Q_DECLARE_METATYPE(mz::KeywordChange::Status)

class TestOptionFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void daysToKeep_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("days");
        QTest::newRow("seven") << crlf(QStringLiteral("[旧新闻存放天数]\n7天\n")) << 7.0;
        QTest::newRow("zero") << crlf(QStringLiteral("[旧新闻存放天数]\n0天\n")) << 0.0;
        QTest::newRow("fraction") << crlf(QStringLiteral("[旧新闻存放天数]\n2.5天\n")) << 2.5;
        QTest::newRow("blanks-before")
            << crlf(QStringLiteral("[旧新闻存放天数]\n  \t3天\n")) << 3.0;
        QTest::newRow("not-a-number") << crlf(QStringLiteral("[旧新闻存放天数]\nabc天\n")) << 0.0;
        QTest::newRow("trailing-text") << crlf(QStringLiteral("[旧新闻存放天数]\n4x天\n")) << 4.0;
        QTest::newRow("no-section") << crlf(QStringLiteral("[你的关键词]\nA\n")) << 0.0;
        QTest::newRow("no-day-sign") << crlf(QStringLiteral("[旧新闻存放天数]\n5\n")) << 0.0;
        QTest::newRow("other-section-first")
            << crlf(QStringLiteral("[分类]\n国内\n[旧新闻存放天数]\n10天\n")) << 10.0;
        QTest::newRow("empty-file") << QString() << 0.0;
    }
    void daysToKeep()
    {
        QFETCH(QString, text);
        QFETCH(double, days);
        QCOMPARE(parseDaysToKeep(text), days);
    }

    void oldDaysCrossMonth()
    {
        const auto days = oldDays(QDate(2007, 3, 2), 3);
        QCOMPARE(days.size(), 3);
        QCOMPARE(dayLabel(days[0]), QStringLiteral("2007-3-1"));
        QCOMPARE(dayLabel(days[1]), QStringLiteral("2007-2-28"));
        QCOMPARE(dayLabel(days[2]), QStringLiteral("2007-2-27"));
        QCOMPARE(dayKey(days[0]), QStringLiteral("k20070301"));
        QCOMPARE(dayKey(days[2]), QStringLiteral("k20070227"));
        QCOMPARE(oldDays(QDate(2007, 3, 2), 2.5).size(), 2);
        QVERIFY(oldDays(QDate(2007, 3, 2), 0).isEmpty());
        QVERIFY(oldDays(QDate(2007, 3, 2), -4).isEmpty());
    }

    void dayValues()
    {
        QCOMPARE(dayStamp(QDate(2007, 3, 15)), QStringLiteral("20070315"));
        QCOMPARE(parseDayLabel(QStringLiteral("2007-6-12")), QDate(2007, 6, 12));
        QVERIFY(!parseDayLabel(QStringLiteral("你的关键词")).isValid());
        QCOMPARE(stampOfKey(QStringLiteral("k20070612")), QStringLiteral("20070612"));
        QCOMPARE(archiveFileName(QDate(2007, 6, 12)), QStringLiteral("news1000_20070612.shtml"));
    }

    void listSection_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("keywords");
        QTest::addColumn<QStringList>("categories");
        QTest::newRow("ordinary") << crlf(
                                         QStringLiteral("[旧新闻存放天数]\n7天\n[你的关键词]\n股票+"
                                                        "证券\nnba\n[分类]\n国内\n国际\n[end]\n"))
                                  << QStringList{QStringLiteral("股票+证券"), QStringLiteral("nba")}
                                  << QStringList{QStringLiteral("国内"), QStringLiteral("国际")};
        QTest::newRow("empty-line-counts")
            << crlf(QStringLiteral("[你的关键词]\nA\n\nB\n[分类]\n"))
            << QStringList{QStringLiteral("A"), QString(), QStringLiteral("B")} << QStringList{};
        QTest::newRow("last-section-without-closing-line")
            << crlf(QStringLiteral("[你的关键词]\nA\n[分类]\n国内\n体育\n"))
            << QStringList{QStringLiteral("A")}
            << QStringList{QStringLiteral("国内"), QStringLiteral("体育")};
        QTest::newRow("last-line-without-line-end")
            << QStringLiteral("[分类]\r\n国内\r\n体育") << QStringList{}
            << QStringList{QStringLiteral("国内"), QStringLiteral("体育")};
        QTest::newRow("sections-any-order")
            << crlf(QStringLiteral("[分类]\n环保\n[你的关键词]\n油价\n[旧新闻存放天数]\n1天\n"))
            << QStringList{QStringLiteral("油价")} << QStringList{QStringLiteral("环保")};
        QTest::newRow("missing-sections")
            << crlf(QStringLiteral("[旧新闻存放天数]\n1天\n")) << QStringList{} << QStringList{};
    }
    void listSection()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, keywords);
        QFETCH(QStringList, categories);
        QCOMPARE(parseListSection(text, QStringView(kKeywordsHeader)), keywords);
        QCOMPARE(parseListSection(text, QStringView(kCategoriesHeader)), categories);
    }

    void addresses()
    {
        const QString text =
            crlf(QStringLiteral("[你的关键词]\nA\n[新闻网站]\n http://news.example:81/ "
                                "\n[墨舟网]\nhttp://site.example/mz/\n"));
        QCOMPARE(portalAddress(text), QStringLiteral("http://news.example:81"));
        QCOMPARE(siteAddress(text), QStringLiteral("http://site.example/mz/"));
        // The address sections end the keyword list like any other section.
        QCOMPARE(parseListSection(text, QStringView(kKeywordsHeader)),
                 QStringList{QStringLiteral("A")});
        QCOMPARE(portalAddress(QString()), QStringLiteral("http://127.0.0.1:8086"));
        QCOMPARE(siteAddress(crlf(QStringLiteral("[墨舟网]\n[分类]\n"))),
                 QStringLiteral("http://127.0.0.1:8086/mozhou/"));
    }

    void rewrites_data()
    {
        QTest::addColumn<QString>("op");
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        const QString base = QStringLiteral(
            "[旧新闻存放天数]\n7天\n[你的关键词]\n炒股票\n股票\n7\n股票\n[分类]\n股票\n");
        QTest::newRow("insert-first") << "insert" << QStringLiteral("油价") << QString()
                                      << crlf(QStringLiteral("[你的关键词]\nA\n[分类]\n"))
                                      << crlf(QStringLiteral("[你的关键词]\n油价\nA\n[分类]\n"));
        QTest::newRow("insert-header-with-blank-after")
            << "insert" << QStringLiteral("油价") << QString()
            << crlf(QStringLiteral("[你的关键词] \nA\n[分类]\n"))
            << crlf(QStringLiteral("[你的关键词] \n油价\nA\n[分类]\n"));
        QTest::newRow("insert-header-last-without-eol")
            << "insert" << QStringLiteral("油价") << QString() << QStringLiteral("[你的关键词]")
            << QStringLiteral("[你的关键词]\r\n油价\r\n");
        QTest::newRow("insert-no-section")
            << "insert" << QStringLiteral("油价") << QString()
            << crlf(QStringLiteral("[分类]\n国内"))
            << crlf(QStringLiteral("[分类]\n国内\n[你的关键词]\n油价\n"));
        QTest::newRow("remove-whole-line-first-only")
            << "remove" << QStringLiteral("股票") << QString() << crlf(base)
            << crlf(QStringLiteral(
                   "[旧新闻存放天数]\n7天\n[你的关键词]\n炒股票\n7\n股票\n[分类]\n股票\n"));
        QTest::newRow("remove-missing")
            << "remove" << QStringLiteral("油价") << QString() << crlf(base) << crlf(base);
        QTest::newRow("remove-last-line-no-eol")
            << "remove" << QStringLiteral("B") << QString()
            << QStringLiteral("[你的关键词]\r\nA\r\nB") << QStringLiteral("[你的关键词]\r\nA");
        QTest::newRow("rename-whole-line-first-only")
            << "rename" << QStringLiteral("股票") << QStringLiteral("证券") << crlf(base)
            << crlf(QStringLiteral(
                   "[旧新闻存放天数]\n7天\n[你的关键词]\n炒股票\n证券\n7\n股票\n[分类]\n股票\n"));
        QTest::newRow("rename-7-keeps-days")
            << "rename" << QStringLiteral("7") << QStringLiteral("8") << crlf(base)
            << crlf(QStringLiteral(
                   "[旧新闻存放天数]\n7天\n[你的关键词]\n炒股票\n股票\n8\n股票\n[分类]\n股票\n"));
        QTest::newRow("remove-empty-keyword")
            << "remove" << QString() << QString()
            << crlf(QStringLiteral("[你的关键词]\nA\n\nB\n[分类]\n"))
            << crlf(QStringLiteral("[你的关键词]\nA\nB\n[分类]\n"));
    }
    void rewrites()
    {
        QFETCH(QString, op);
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(QString, before);
        QFETCH(QString, after);
        QString result;
        if (op == QStringLiteral("insert"))
            result = insertKeyword(before, a);
        else if (op == QStringLiteral("remove"))
            result = removeKeyword(before, a);
        else
            result = renameKeyword(before, a, b);
        QCOMPARE(result, after);
    }

    // The keyword commands on a real file, with other sections around the keyword list.
    void keywordCommands_data()
    {
        QTest::addColumn<QString>("op");
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<Status>("status");
        QTest::addColumn<QString>("stored");   // the keyword the result reports
        QTest::addColumn<QString>("keywords"); // the list afterwards, one per line
        const QString add = QStringLiteral("add"), ren = QStringLiteral("rename"),
                      del = QStringLiteral("remove");
        // base list: 股票+证券, (empty), nba, 股票+证券
        QTest::newRow("add-first")
            << add << QStringLiteral("油价") << QString() << Status::Written
            << QStringLiteral("油价") << QStringLiteral("油价\n股票+证券\n\nnba\n股票+证券");
        QTest::newRow("add-duplicate")
            << add << QStringLiteral("nba") << QString() << Status::Written << QStringLiteral("nba")
            << QStringLiteral("nba\n股票+证券\n\nnba\n股票+证券");
        QTest::newRow("add-cut-at-line-break")
            << add << QStringLiteral("油价 上涨\r\n第二行") << QString() << Status::Written
            << QStringLiteral("油价 上涨")
            << QStringLiteral("油价 上涨\n股票+证券\n\nnba\n股票+证券");
        // A pasted text beginning with a line end: its first line with text is the keyword.
        QTest::newRow("add-first-line-empty")
            << add << QStringLiteral("\r\n\n油价\r\n第二行") << QString() << Status::Written
            << QStringLiteral("油价") << QStringLiteral("油价\n股票+证券\n\nnba\n股票+证券");
        QTest::newRow("add-only-line-breaks")
            << add << QStringLiteral("\r\n\r") << QString() << Status::Unchanged << QString()
            << QStringLiteral("股票+证券\n\nnba\n股票+证券");
        QTest::newRow("add-outside-gbk")
            << add << QStringLiteral("😀股票") << QString() << Status::Written
            << QStringLiteral("😀股票") << QStringLiteral("😀股票\n股票+证券\n\nnba\n股票+证券");
        // Half of a surrogate pair (a text cut short) cannot be stored as it is: the keyword
        // reported, which the tree shows, is the one the file gives back.
        QTest::newRow("add-lone-surrogate-as-stored")
            << add << QString(QChar(0xD83D)) + QStringLiteral("股") << QString() << Status::Written
            << QStringLiteral("\u001A股")
            << QStringLiteral("\u001A股\n股票+证券\n\nnba\n股票+证券");
        QTest::newRow("add-bracket-refused")
            << add << QStringLiteral("[热点]") << QString() << Status::Refused
            << QStringLiteral("[热点]") << QStringLiteral("股票+证券\n\nnba\n股票+证券");
        QTest::newRow("add-header-inside-refused")
            << add << QStringLiteral("新[分类]") << QString() << Status::Refused
            << QStringLiteral("新[分类]") << QStringLiteral("股票+证券\n\nnba\n股票+证券");
        QTest::newRow("add-window-header-inside-refused")
            << add << QStringLiteral("看[窗口]") << QString() << Status::Refused
            << QStringLiteral("看[窗口]") << QStringLiteral("股票+证券\n\nnba\n股票+证券");
        QTest::newRow("rename-first-whole-line")
            << ren << QStringLiteral("股票+证券") << QStringLiteral("证券") << Status::Written
            << QStringLiteral("证券") << QStringLiteral("证券\n\nnba\n股票+证券");
        QTest::newRow("rename-empty-keyword")
            << ren << QString() << QStringLiteral("油价") << Status::Written
            << QStringLiteral("油价") << QStringLiteral("股票+证券\n油价\nnba\n股票+证券");
        QTest::newRow("rename-to-empty")
            << ren << QStringLiteral("nba") << QString() << Status::Written << QString()
            << QStringLiteral("股票+证券\n\n\n股票+证券");
        QTest::newRow("rename-cut-at-line-break")
            << ren << QStringLiteral("nba") << QStringLiteral("cba\nx") << Status::Written
            << QStringLiteral("cba") << QStringLiteral("股票+证券\n\ncba\n股票+证券");
        QTest::newRow("rename-after-leading-line-break")
            << ren << QStringLiteral("nba") << QStringLiteral("\ncba") << Status::Written
            << QStringLiteral("cba") << QStringLiteral("股票+证券\n\ncba\n股票+证券");
        QTest::newRow("rename-lone-surrogate-as-stored")
            << ren << QStringLiteral("nba") << QStringLiteral("nba") + QChar(0xDE00)
            << Status::Written << QStringLiteral("nba\u001A")
            << QStringLiteral("股票+证券\n\nnba\u001A\n股票+证券");
        QTest::newRow("rename-same-text")
            << ren << QStringLiteral("nba") << QStringLiteral("nba") << Status::Unchanged
            << QStringLiteral("nba") << QStringLiteral("股票+证券\n\nnba\n股票+证券");
        QTest::newRow("rename-refused")
            << ren << QStringLiteral("nba") << QStringLiteral("[分类") << Status::Refused
            << QStringLiteral("[分类") << QStringLiteral("股票+证券\n\nnba\n股票+证券");
        QTest::newRow("rename-not-found")
            << ren << QStringLiteral("国内") << QStringLiteral("国外") << Status::NotFound
            << QStringLiteral("国外") << QStringLiteral("股票+证券\n\nnba\n股票+证券");
        QTest::newRow("remove-first-of-two")
            << del << QStringLiteral("股票+证券") << QString() << Status::Written
            << QStringLiteral("股票+证券") << QStringLiteral("\nnba\n股票+证券");
        QTest::newRow("remove-empty-text")
            << del << QString() << QString() << Status::Written << QString()
            << QStringLiteral("股票+证券\nnba\n股票+证券");
        QTest::newRow("remove-not-in-list")
            << del << QStringLiteral("国内") << QString() << Status::Unchanged
            << QStringLiteral("国内") << QStringLiteral("股票+证券\n\nnba\n股票+证券");
    }
    void keywordCommands()
    {
        QFETCH(QString, op);
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(Status, status);
        QFETCH(QString, stored);
        QFETCH(QString, keywords);
        QTemporaryDir dir;
        const QString before =
            crlf(QStringLiteral("[旧新闻存放天数]\n7天\n[你的关键词]\n股票+证券\n\nnba\n"
                                "股票+证券\n[分类]\n国内\n[墨舟网]\nhttp://site/\n"));
        // A hand-edited section after the list: a byte that is no GBK text and bare LF line ends.
        const QByteArray handEdited("[\xb1\xb8\xd7\xa2]\ncaf\xe9/\n");
        const QString path = optionFilePath(dir.path());
        QVERIFY(writeFileBytes(path, encodeAnsi(before) + handEdited));

        const KeywordChange change = op == QStringLiteral("add") ? addKeywordToFile(dir.path(), a)
                                     : op == QStringLiteral("rename")
                                         ? renameKeywordInFile(dir.path(), a, b)
                                         : removeKeywordFromFile(dir.path(), a);
        QCOMPARE(change.status, status);
        QCOMPARE(change.keyword, stored);
        QCOMPARE(change.message.isEmpty(), change.ok());

        const QByteArray bytes = readFileBytes(path).value();
        QVERIFY(bytes.endsWith(handEdited));
        const QString after = decodeAnsi(bytes.chopped(handEdited.size()));
        if (!change.changed())
            QCOMPARE(after, before);
        QCOMPARE(parseListSection(after, QStringView(kKeywordsHeader)).join(u'\n'), keywords);
        // The sections around the list are untouched.
        QCOMPARE(parseDaysToKeep(after), 7.0);
        QCOMPARE(parseListSection(after, QStringView(kCategoriesHeader)),
                 QStringList{QStringLiteral("国内")});
        QCOMPARE(siteAddress(after), QStringLiteral("http://site/"));
    }

    // Only the lines a command changes are written anew; the others keep their bytes and ends.
    void keywordCommandsKeepFileBytes_data()
    {
        QTest::addColumn<QString>("op");
        QTest::addColumn<QString>("k");
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after");
        const QByteArray h = encodeAnsi(QStringView(kKeywordsHeader));
        QTest::newRow("add-to-lf-file") << "add"
                                        << "k" << h + "\nA\n\xff\n"
                                        << h + "\nk\nA\n\xff\n";
        QTest::newRow("add-header-last") << "add"
                                         << "k" << h << h + "\r\nk\r\n";
        QTest::newRow("remove-last-empty-line") << "remove"
                                                << "" << h + "\r\n\r\n"
                                                << h + "\r\n";
        QTest::newRow("remove-last-line-no-eol") << "remove"
                                                 << "k" << h + "\r\n\x80\r\nk" << h + "\r\n\x80";
        QTest::newRow("rename-cr-file") << "rename"
                                        << "k" << h + "\rk\r\x80" << h + "\rnew\r\x80";
        // An editor's byte order mark stays at the start, in front of the keyword header.
        const QByteArray utf8Mark("\xEF\xBB\xBF"), gbMark("\x84\x31\x95\x33");
        QTest::newRow("add-after-utf8-mark") << "add"
                                             << "k" << utf8Mark + h + "\r\nA\r\n"
                                             << utf8Mark + h + "\r\nk\r\nA\r\n";
        QTest::newRow("rename-after-utf8-mark") << "rename"
                                                << "k" << utf8Mark + h + "\r\nk\r\n"
                                                << utf8Mark + h + "\r\nnew\r\n";
        QTest::newRow("remove-after-gb18030-mark") << "remove"
                                                   << "k" << gbMark + h + "\nA\nk\n"
                                                   << gbMark + h + "\nA\n";
    }
    void keywordCommandsKeepFileBytes()
    {
        QFETCH(QString, op);
        QFETCH(QString, k);
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        QTemporaryDir dir;
        const QString path = optionFilePath(dir.path());
        QVERIFY(writeFileBytes(path, before));
        const KeywordChange change = op == u"add" ? addKeywordToFile(dir.path(), k)
                                     : op == u"rename"
                                         ? renameKeywordInFile(dir.path(), k, QStringLiteral("new"))
                                         : removeKeywordFromFile(dir.path(), k);
        QCOMPARE(change.status, Status::Written);
        QCOMPARE(readFileBytes(path).value(), after);
    }

    void keywordCommandsReportFileFaults()
    {
        QTemporaryDir dir;
        // No option.ini: nothing is reported as done, and no file is made.
        for (const KeywordChange &change :
             {addKeywordToFile(dir.path(), QStringLiteral("油价")),
              renameKeywordInFile(dir.path(), QStringLiteral("a"), QStringLiteral("b")),
              removeKeywordFromFile(dir.path(), QStringLiteral("a"))}) {
            QCOMPARE(change.status, Status::ReadFailed);
            QVERIFY(change.message.contains(QStringLiteral("option.ini")));
        }
        QVERIFY(QDir(dir.path()).isEmpty());

        // A write that cannot complete leaves the old file and says so.
        const QString before =
            crlf(QStringLiteral("[你的关键词]\nnba\n[分类]\n")) + QString(2000, QChar(u'#'));
        QVERIFY(writeOptionFile(dir.path(), before));
        KeywordChange add, rename, remove;
        {
            const mz::test::WriteLimit limit(1024);
            add = addKeywordToFile(dir.path(), QStringLiteral("油价"));
            rename = renameKeywordInFile(dir.path(), QStringLiteral("nba"), QStringLiteral("cba"));
            remove = removeKeywordFromFile(dir.path(), QStringLiteral("nba"));
        }
        for (const KeywordChange &change : {add, rename, remove}) {
            QCOMPARE(change.status, Status::WriteFailed);
            QVERIFY(!change.ok());
            QVERIFY(!change.message.isEmpty());
        }
        QCOMPARE(readOptionFile(dir.path()).value(), before);

        // A change that would take the file past the size it is read up to is not written: the
        // next start would read none of it. A removal still is.
        const QByteArray head = encodeAnsi(crlf(QStringLiteral("[你的关键词]\nnba\n[分类]\n")));
        const QByteArray full = head + QByteArray(kMaxOptionFileBytes - head.size() - 8, '#');
        QVERIFY(writeFileBytes(optionFilePath(dir.path()), full));
        const KeywordChange tooLong = addKeywordToFile(dir.path(), QString(5, QChar(u'油')));
        const KeywordChange renamedLonger =
            renameKeywordInFile(dir.path(), QStringLiteral("nba"), QString(20, QChar(u'c')));
        for (const KeywordChange &change : {tooLong, renamedLonger}) {
            QCOMPARE(change.status, Status::Refused);
            QVERIFY2(change.message.contains(QStringLiteral("1 MB")), qPrintable(change.message));
        }
        QString placeError;
        QVERIFY(!storeWindowPlace(dir.path(), {10, 20, 900, 600, 260, {}}, &placeError));
        QVERIFY2(placeError.contains(QStringLiteral("1 MB")), qPrintable(placeError));
        QCOMPARE(readFileBytes(optionFilePath(dir.path())).value(), full);
        QCOMPARE(addKeywordToFile(dir.path(), QStringLiteral("油")).status, Status::Written);
        QCOMPARE(removeKeywordFromFile(dir.path(), QStringLiteral("nba")).status, Status::Written);
        QVERIFY(readOptionFile(dir.path()).has_value());

        // A file far larger than any option.ini (here a million keyword lines) is neither read
        // nor rewritten, and the message says why.
        const QByteArray huge = "[你的关键词]\r\n" + QByteArray("nba\r\n").repeated(1 << 20);
        QVERIFY(writeFileBytes(optionFilePath(dir.path()), huge));
        QVERIFY(!readOptionFile(dir.path()).has_value());
        const KeywordChange refused = addKeywordToFile(dir.path(), QStringLiteral("油价"));
        QCOMPARE(refused.status, Status::ReadFailed);
        QVERIFY2(refused.message.contains(QStringLiteral("过大")), qPrintable(refused.message));
        QString error;
        QVERIFY(!storeWindowPlace(dir.path(), {10, 20, 900, 600, 260, {}}, &error));
        QVERIFY2(error.contains(QStringLiteral("过大")), qPrintable(error));
        QCOMPARE(readFileBytes(optionFilePath(dir.path())).value(), huge);
    }

    // The file reads with CR LF line ends, and without the byte order mark an editor may have
    // put in front of its first header.
    void lineEndsNormalised_data()
    {
        QTest::addColumn<QByteArray>("mark");
        QTest::addColumn<QString>("text");
        const QString lf =
            QStringLiteral("[旧新闻存放天数]\n4天\n[你的关键词]\n油价\n[分类]\n国内\n");
        QTest::newRow("lf") << QByteArray() << lf;
        QTest::newRow("utf8-mark") << QByteArray("\xEF\xBB\xBF") << crlf(lf);
        QTest::newRow("gb18030-mark") << QByteArray("\x84\x31\x95\x33") << lf;
    }
    void lineEndsNormalised()
    {
        QFETCH(QByteArray, mark);
        QFETCH(QString, text);
        QCOMPARE(withCrLf(QStringLiteral("a\nb\r\nc\rd")), QStringLiteral("a\r\nb\r\nc\r\nd"));
        QTemporaryDir dir;
        QVERIFY(
            writeFileBytes(dir.filePath(QStringLiteral("option.ini")), mark + encodeAnsi(text)));
        const QString read = readOptionFile(dir.path()).value();
        QCOMPARE(read, withCrLf(text));
        QCOMPARE(parseDaysToKeep(read), 4.0);
        QCOMPARE(parseListSection(read, QStringView(kKeywordsHeader)),
                 QStringList{QStringLiteral("油价")});
        QCOMPARE(parseListSection(read, QStringView(kCategoriesHeader)),
                 QStringList{QStringLiteral("国内")});
    }

    void fileRoundTrip()
    {
        QTemporaryDir dir;
        QVERIFY(!readOptionFile(dir.path()).has_value());
        const QString text = crlf(QStringLiteral("[你的关键词]\n𠀀字\n[分类]\n"));
        QVERIFY(writeOptionFile(dir.path(), text));
        QCOMPARE(readOptionFile(dir.path()).value(), text);
    }

    void windowPlaceParse_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("columns"); // column widths kept
        QTest::newRow("sound") << "10,20,900,600,260" << true << 0;
        QTest::newRow("blanks-and-negative-position") << " -8 , 0 ,900,600,260" << true << 0;
        QTest::newRow("with-column-widths")
            << "10,20,900,600,260,400,90,200,460,90,150,300,80,100" << true << 9;
        QTest::newRow("a-column-width-missing")
            << "10,20,900,600,260,400,90,200,460,90,150,300,80" << true << 0;
        QTest::newRow("a-column-width-zero")
            << "10,20,900,600,260,400,90,200,460,0,150,300,80,100" << true << 0;
        QTest::newRow("a-column-width-absurd")
            << "10,20,900,600,260,400,90,200,460,90,150,300,80,9000000" << true << 0;
        QTest::newRow("four-numbers") << "10,20,900,600" << false << 0;
        QTest::newRow("letters") << "10,20,9x0,600,260" << false << 0;
        QTest::newRow("below-minimum") << "10,20,300,200,100" << false << 0;
        QTest::newRow("tree-wider-than-window") << "10,20,900,600,900" << false << 0;
        QTest::newRow("absurd") << "10,20,9000000,600,260" << false << 0;
        QTest::newRow("empty-line") << "" << false << 0;
        QTest::newRow("next-header") << "[分类]" << false << 0;
    }
    void windowPlaceParse()
    {
        QFETCH(QString, line);
        QFETCH(bool, valid);
        QFETCH(int, columns);
        const QString text = crlf(QStringLiteral("[旧新闻存放天数]\n3天\n[窗口]\n") + line +
                                  QStringLiteral("\n[分类]\n国内\n"));
        const std::optional<WindowPlace> place = parseWindowPlace(text, QSize(640, 400));
        QCOMPARE(place.has_value(), valid);
        if (valid) {
            QCOMPARE(place->treeWidth, 260);
            QCOMPARE(place->columnWidths.size(), columns);
        }
    }

    // Other sections keep their bytes exactly, undecodable ones included.
    void windowPlaceRewrite_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after");
        const QByteArray head =
            encodeAnsi(u"[旧新闻存放天数]\r\n3天\r\n[你的关键词]\r\n股票\r\n") + "\x81\xff\r\n";
        const QByteArray tail = encodeAnsi(u"[分类]\r\n国内\r\n");
        const QByteArray win = encodeAnsi(u"[窗口]\r\n");
        const QByteArray value = "1,2,800,600,250\r\n";
        QTest::newRow("appended") << head + tail << head + tail + win + value;
        QTest::newRow("appended-after-last-line-without-end")
            << QByteArray("x") << QByteArray("x\r\n") + win + value;
        QTest::newRow("replaced-in-the-middle")
            << head + win + "9,9,9,9\r\n" + tail << head + win + value + tail;
        QTest::newRow("replaced-at-the-end-lf")
            << head + encodeAnsi(u"[窗口]\n5,5,5,5,5") << head + win + value;
        QTest::newRow("header-inside-a-line-is-not-the-section")
            << head + "x" + win << head + "x" + win + win + value;
        // A byte order mark in front of the header is no text of the line: the section is
        // replaced where it stands, and the mark stays at the start.
        const QByteArray utf8Mark("\xEF\xBB\xBF"), gbMark("\x84\x31\x95\x33");
        QTest::newRow("replaced-after-utf8-mark")
            << utf8Mark + win + "9,9,9,9\r\n" + tail << utf8Mark + win + value + tail;
        QTest::newRow("replaced-after-gb18030-mark")
            << gbMark + win + "9,9,9,9\r\n" + tail << gbMark + win + value + tail;
        QTest::newRow("appended-after-utf8-mark")
            << utf8Mark + head + tail << utf8Mark + head + tail + win + value;
    }
    void windowPlaceRewrite()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        QCOMPARE(withWindowPlace(before, {1, 2, 800, 600, 250, {}}), after);
    }

    void windowPlaceStoredAndReadBack()
    {
        QTemporaryDir dir;
        QVERIFY(!storeWindowPlace(dir.path(),
                                  {1, 2, 800, 600, 250, {}})); // no option.ini: nothing made
        QVERIFY(!QFile::exists(optionFilePath(dir.path())));
        // A keyword holding the header, as files written before such keywords were refused.
        const QString option = crlf(QStringLiteral(
            "[旧新闻存放天数]\n3天\n[你的关键词]\nnba\n看[窗口]\n10,10,900,700,200\n"));
        QVERIFY(writeOptionFile(dir.path(), option));
        const WindowPlace place{-4, 30, 1000, 700, 300, {400, 90, 200, 460, 90, 150, 300, 80, 100}};
        QVERIFY(storeWindowPlace(dir.path(), place));
        const QString text = readOptionFile(dir.path()).value();
        QCOMPARE(parseWindowPlace(text), place);
        QCOMPARE(parseListSection(text, QStringView(kKeywordsHeader)),
                 (QStringList{QStringLiteral("nba"), QStringLiteral("看[窗口]"),
                              QStringLiteral("10,10,900,700,200")}));
    }
};

QTEST_GUILESS_MAIN(TestOptionFile)
#include "tst_optionfile.moc"
