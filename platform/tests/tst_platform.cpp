#include "store/programfolder.h"
#include "platform/profile.h"
#include "platform/textfile.h"
#include "testsupport/specialfiles.h"
#include "testsupport/writelimit.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <vector>
#include <linux/capability.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

using namespace mz;

namespace {
QByteArray gbk(const char *utf8)
{
    return encodeAnsi(QString::fromUtf8(utf8));
}

// Takes the power to read and write any file regardless of its mode away from this process
// while it lives, so that a mode 0200 file is unreadable even when the tests run as root.
class NoFileOverride
{
public:
    NoFileOverride()
    {
        if (syscall(SYS_capget, &m_header, m_saved) != 0)
            return;
        __user_cap_data_struct reduced[2] = {m_saved[0], m_saved[1]};
        reduced[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        syscall(SYS_capset, &m_header, reduced);
    }
    ~NoFileOverride() { syscall(SYS_capset, &m_header, m_saved); }

private:
    __user_cap_header_struct m_header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct m_saved[2]{};
};
} // namespace

class TestPlatform : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void gbkRoundTrip()
    {
        // GBK bytes of 墨舟 read as GBK does.
        const QByteArray bytes("\xc4\xab\xd6\xdb", 4);
        QCOMPARE(decodeAnsi(bytes), QStringLiteral("墨舟"));
        QCOMPARE(encodeAnsi(QStringLiteral("墨舟")), bytes);
        // Characters GBK lacks (an extension-B ideograph, the euro sign, an emoji) survive.
        const QString rare = QStringLiteral("𠀀€😀 ok");
        QCOMPARE(decodeAnsi(encodeAnsi(rare)), rare);
        QVERIFY(!encodeAnsi(rare).contains('?'));
    }

    void fileRoundTripAndMissing()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("a.ini"));
        QVERIFY(!readTextFile(path).has_value());
        QVERIFY(writeTextFile(path, QStringLiteral("新闻\r\n𠀀")));
        QCOMPARE(readTextFile(path).value(), QStringLiteral("新闻\r\n𠀀"));
    }

    // Writes that cannot complete, like on a full disk: the file size limit binds root too.
    // A small write stays in the write buffer until the flush, where the failure shows first.
    void failedWriteKeepsOldFile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("limit");
        QTest::addColumn<int>("chars");
        QTest::newRow("text-large") << "text" << 1024 << 100000;
        QTest::newRow("text-small-buffered") << "text" << 1024 << 3000;
        QTest::newRow("text-tiny-nothing-fits") << "text" << 0 << 3;
        QTest::newRow("profile-small-buffered") << "profile" << 0 << 3;
    }
    void failedWriteKeepsOldFile()
    {
        QFETCH(QString, kind);
        QFETCH(int, limit);
        QFETCH(int, chars);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("keep.ini"));
        const QByteArray old = gbk("[main]\r\nage=旧\r\n");
        QVERIFY(writeFileBytes(path, old));
        QString error;
        bool ok = true;
        {
            mz::test::WriteLimit limited(limit);
            if (kind == u"text")
                ok = writeTextFile(path, QString(chars, QChar(u'新')), &error);
            else
                ok = writeProfileString(path, "main", "age", QString(chars, QChar(u'新')), &error);
        }
        QVERIFY(!ok);
        QVERIFY(!error.isEmpty());
        QCOMPARE(readFileBytes(path).value(), old);
        // No temporary file is left behind.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("keep.ini")});
    }

    // A first start on a full disk: seeding fails and leaves no empty file that a later start
    // would take for a seeded one.
    void seedingOnFullDiskLeavesNoEmptyFiles()
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("prog"));
        QString error;
        bool ok = true;
        {
            mz::test::WriteLimit full(0);
            ok = prepareProgramFolder(folder, &error);
        }
        QVERIFY(!ok);
        QVERIFY(!error.isEmpty());
        QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList());
        QVERIFY(prepareProgramFolder(folder));
        for (const QString &name : deliveredFiles())
            QVERIFY2(QFileInfo(folder + QLatin1Char('/') + name).size() > 0, qPrintable(name));
    }

    void failedWriteIntoMissingFolder()
    {
        QTemporaryDir dir;
        QString error;
        QVERIFY(!writeTextFile(dir.filePath(QStringLiteral("no/such/x.ini")), QStringLiteral("x"),
                               &error));
        QVERIFY(!error.isEmpty());
    }

    void profileWrites_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("new-file") << QByteArray() << "main"
                                  << "age"
                                  << "3" << QByteArray("[main]\r\nage=3\r\n");
        QTest::newRow("replace-in-place-any-case")
            << QByteArray("[Main]\r\nAGE=#\r\nsex=0\r\n") << "main"
            << "age"
            << "2" << QByteArray("[Main]\r\nage=2\r\nsex=0\r\n");
        QTest::newRow("append-at-end-of-section")
            << QByteArray("[main]\r\nage=1\r\n\r\n[other]\r\nx=1\r\n") << "main"
            << "sex"
            << "1" << QByteArray("[main]\r\nage=1\r\nsex=1\r\n\r\n[other]\r\nx=1\r\n");
        QTest::newRow("new-section-at-end")
            << QByteArray("[main]\r\nage=1") << "fav"
            << "k"
            << "v" << QByteArray("[main]\r\nage=1\r\n[fav]\r\nk=v\r\n");
        QTest::newRow("chinese-key-and-value") << gbk("[收藏]\r\n标题=旧\r\n") << "收藏"
                                               << "标题"
                                               << "新𠀀" << gbk("[收藏]\r\n标题=新𠀀\r\n");
        QTest::newRow("untouched-lines-byte-identical")
            << QByteArray("; comment \xff\xfe\r\n[main]\r\n  odd line  \r\nage=1\r\n") << "main"
            << "age"
            << "5" << QByteArray("; comment \xff\xfe\r\n[main]\r\n  odd line  \r\nage=5\r\n");
        QTest::newRow("lf-file-stays-lf") << QByteArray("[main]\nage=1\n") << "main"
                                          << "car"
                                          << "0" << QByteArray("[main]\nage=1\ncar=0\n");
        // A byte order mark an editor put before the first header is kept, and the header is
        // still found: the value is updated in the first section, not in a second "[main]".
        QTest::newRow("utf8-mark-replace")
            << QByteArray("\xEF\xBB\xBF[main]\r\nage=1\r\n") << "main"
            << "age"
            << "2" << QByteArray("\xEF\xBB\xBF[main]\r\nage=2\r\n");
        QTest::newRow("utf8-mark-append")
            << QByteArray("\xEF\xBB\xBF[main]\r\nage=1\r\n[b]\r\n") << "main"
            << "sex"
            << "0" << QByteArray("\xEF\xBB\xBF[main]\r\nage=1\r\nsex=0\r\n[b]\r\n");
        QTest::newRow("gb18030-mark-replace")
            << QByteArray("\x84\x31\x95\x33 [Main] \r\nage=1\r\n") << "main"
            << "age"
            << "2" << QByteArray("\x84\x31\x95\x33 [Main] \r\nage=2\r\n");
        QTest::newRow("gb18030-mark-chinese-key")
            << (QByteArray("\x84\x31\x95\x33") + gbk("[收藏]\n标题=旧\n")) << "收藏"
            << "标题"
            << "新" << (QByteArray("\x84\x31\x95\x33") + gbk("[收藏]\n标题=新\n"));
        // Only a mark at the very start is one; elsewhere the bytes are text of the line.
        QTest::newRow("mark-bytes-later-are-text")
            << QByteArray("[a]\r\n\xEF\xBB\xBF[main]\r\nage=1\r\n") << "main"
            << "age"
            << "2" << QByteArray("[a]\r\n\xEF\xBB\xBF[main]\r\nage=1\r\n[main]\r\nage=2\r\n");
        QTest::newRow("mark-only-file") << QByteArray("\xEF\xBB\xBF") << "main"
                                        << "age"
                                        << "3" << QByteArray("\xEF\xBB\xBF[main]\r\nage=3\r\n");
    }
    void profileWrites()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QByteArray, after);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("p.ini"));
        if (!before.isNull())
            QVERIFY(writeFileBytes(path, before));
        QVERIFY(writeProfileString(path, section, key, value));
        QCOMPARE(readFileBytes(path).value(), after);
        QCOMPARE(readProfileString(path, section.toUpper(), key.toUpper(), QStringLiteral("none")),
                 value);
    }

    void profileRefusesUnwritableNames_data()
    {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::newRow("key-with-equals") << "fav"
                                         << "a=b"
                                         << "1";
        QTest::newRow("key-with-lf") << "fav"
                                     << "a\n[main]"
                                     << "1";
        QTest::newRow("key-with-cr") << "fav"
                                     << "a\rb"
                                     << "1";
        QTest::newRow("key-like-a-header") << "fav"
                                           << " [main]"
                                           << "1";
        QTest::newRow("value-with-crlf") << "fav"
                                         << "a"
                                         << "1\r\nage=9";
        QTest::newRow("section-with-bracket") << "fa]v"
                                              << "a"
                                              << "1";
        QTest::newRow("section-with-lf") << "fav\n"
                                         << "a"
                                         << "1";
    }
    void profileRefusesUnwritableNames()
    {
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("favorite.ini"));
        const QByteArray before("[main]\r\nage=1\r\n");
        QVERIFY(writeFileBytes(path, before));
        QString error;
        QVERIFY(!writeProfileString(path, section, key, value, &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(readFileBytes(path).value(), before);
    }

    // A favorites file that exists but cannot be read is not replaced by the one new entry.
    void profileKeepsUnreadableFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("favorite.ini"));
        const QByteArray before = gbk("[收藏]\r\n标题一=http://a.test/1\r\n");
        QVERIFY(writeFileBytes(path, before));
        QVERIFY(QFile::setPermissions(path, QFile::WriteOwner));
        QString error;
        bool ok = true;
        {
            NoFileOverride asPlainUser;
            QVERIFY2(!QFile(path).open(QIODevice::ReadOnly), "the 0200 file is still readable");
            ok = writeProfileString(path, "收藏", "标题二", "http://a.test/2", &error);
        }
        QVERIFY(!ok);
        QVERIFY2(error.contains(QStringLiteral("favorite.ini")), qPrintable(error));
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner));
        QCOMPARE(readFileBytes(path).value(), before);
    }

    // Under a file's name there may be what no whole-file read can finish: a FIFO would hold
    // the open until a writer came, a device never ends. Each is refused at once, with its reason.
    void readRefusesWhatIsNoPlainFile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<qint64>("limit");
        QTest::addColumn<int>("problem");
        QTest::newRow("plain") << "plain" << qint64(-1) << int(ReadProblem::None);
        QTest::newRow("missing") << "missing" << qint64(-1) << int(ReadProblem::Missing);
        QTest::newRow("fifo") << "fifo" << qint64(-1) << int(ReadProblem::NotAFile);
        QTest::newRow("folder") << "folder" << qint64(-1) << int(ReadProblem::NotAFile);
        QTest::newRow("link-to-device") << "device" << qint64(100) << int(ReadProblem::NotAFile);
        QTest::newRow("over-the-limit") << "plain" << qint64(4) << int(ReadProblem::TooLarge);
    }
    void readRefusesWhatIsNoPlainFile()
    {
        QFETCH(QString, kind);
        QFETCH(qint64, limit);
        QFETCH(int, problem);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("favorite.ini"));
        if (kind == u"plain")
            QVERIFY(writeFileBytes(path, "[main]\r\n"));
        else if (kind != u"missing")
            QVERIFY(mz::test::makeSpecialFile(path, kind));
        ReadProblem why = ReadProblem::Unreadable;
        const std::optional<QByteArray> bytes = readFileBytes(path, limit, &why);
        QCOMPARE(int(why), problem);
        QCOMPARE(bytes.has_value(), problem == int(ReadProblem::None));
    }

    void profileReads()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("r.ini"));
        QCOMPARE(readProfileString(path, "main", "age", "dflt"), QStringLiteral("dflt"));
        QVERIFY(writeFileBytes(path, "[main]\r\nage = \"7\" \r\nx=\r\n[b]\r\nage=9\r\n"));
        QCOMPARE(readProfileString(path, "main", "age", "dflt"), QStringLiteral("7"));
        QCOMPARE(readProfileString(path, "main", "x", "dflt"), QString());
        QCOMPARE(readProfileString(path, "main", "y", "dflt"), QStringLiteral("dflt"));
        QCOMPARE(readProfileString(path, "c", "age", "dflt"), QStringLiteral("dflt"));
        QCOMPARE(readProfileString(path, "B", "AGE", "dflt"), QStringLiteral("9"));
    }

    // Arguments as the shell passes them, in bytes; the index of the one refused, or -1.
    void folderNameInAnotherEncoding_data()
    {
        QTest::addColumn<QByteArrayList>("arguments");
        QTest::addColumn<int>("refused");
        const QByteArray program("mozhou");
        QTest::newRow("utf8-chinese-blanks")
            << QByteArrayList{program, "--folder", "/tmp/墨舟 新闻"} << -1;
        QTest::newRow("shell-specials") << QByteArrayList{program, "--folder", "-x #%&'\"\\"} << -1;
        QTest::newRow("replacement-char-named")
            << QByteArrayList{program, "--folder", "/tmp/\xEF\xBF\xBD"} << -1;
        QTest::newRow("latin1") << QByteArrayList{program, "--folder", "/tmp/caf\xE9"} << 2;
        QTest::newRow("latin1-after-equals")
            << QByteArrayList{program, "--folder=/tmp/caf\xE9"} << 1;
        QTest::newRow("gbk") << QByteArrayList{program, "--folder", gbk("/tmp/墨舟")} << 2;
        QTest::newRow("overlong-slash") << QByteArrayList{program, "--folder",
                                                          "/tmp\xC0\xAF"
                                                          "etc"}
                                        << 2;
        QTest::newRow("encoded-surrogate")
            << QByteArrayList{program, "--folder", "/tmp/\xED\xA0\x80"} << 2;
        QTest::newRow("program-path-not-looked-at")
            << QByteArrayList{"/opt/caf\xE9/mozhou", "--folder", "/tmp/x"} << -1;
    }

    void folderNameInAnotherEncoding()
    {
        QFETCH(QByteArrayList, arguments);
        QFETCH(int, refused);
        std::vector<const char *> argv;
        for (const QByteArray &a : std::as_const(arguments))
            argv.push_back(a.constData());
        const auto found = unreadableArgument(int(argv.size()), argv.data());
        QCOMPARE(found.has_value(), refused >= 0);
        if (found)
            QCOMPARE(*found, arguments.at(refused));
    }

    // The program folder made absolute, and the name given for it ("" for the default).
    void folderNameLostBytes_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("given");
        QTest::addColumn<bool>("lost");
        const QString bad(QChar::ReplacementCharacter);
        QTest::newRow("default") << "/root/.local/share/mozhou"
                                 << "" << false;
        QTest::newRow("relative") << "/tmp/墨舟/news"
                                  << "news" << false;
        QTest::newRow("named-so") << "/tmp/" + bad << "/tmp/" + bad << false;
        QTest::newRow("latin1-working-folder") << "/tmp/caf" + bad + "/news"
                                               << "news" << true;
        QTest::newRow("latin1-home") << "/home/caf" + bad + "/.local/share/mozhou"
                                     << "" << true;
        QTest::newRow("latin1-working-folder-named-so")
            << "/tmp/caf" + bad + "/" + bad << bad << true;
    }

    void folderNameLostBytes()
    {
        QFETCH(QString, folder);
        QFETCH(QString, given);
        QFETCH(bool, lost);
        QCOMPARE(mz::folderNameLostBytes(folder, given), lost);
    }

    // The per-user folder by $XDG_DATA_HOME (unset, absolute, relative, a "~" left unexpanded by
    // the session's setup): a relative setting named a folder under the working folder, so a
    // start from a terminal used other settings and news than a start from the menu.
    void perUserFolder_data()
    {
        QTest::addColumn<QByteArray>("dataHome");
        QTest::addColumn<QString>("expected");
        const QString app = QLatin1Char('/') + QCoreApplication::applicationName();
        QTest::newRow("unset") << QByteArray() << "/home/u/.local/share" + app;
        QTest::newRow("absolute") << QByteArray("/srv/u data") << "/srv/u data" + app;
        QTest::newRow("relative") << QByteArray("data") << "/home/u/.local/share" + app;
        QTest::newRow("tilde") << QByteArray("~/.data") << "/home/u/.local/share" + app;
    }
    void perUserFolder()
    {
        QFETCH(QByteArray, dataHome);
        QFETCH(QString, expected);
        const QByteArray home = qgetenv("HOME");
        const std::optional<QByteArray> saved = qEnvironmentVariableIsSet("XDG_DATA_HOME")
                                                    ? std::optional(qgetenv("XDG_DATA_HOME"))
                                                    : std::nullopt;
        qputenv("HOME", "/home/u");
        if (dataHome.isNull())
            qunsetenv("XDG_DATA_HOME");
        else
            qputenv("XDG_DATA_HOME", dataHome);
        const QString folder = defaultProgramFolder();
        qputenv("HOME", home);
        if (saved)
            qputenv("XDG_DATA_HOME", *saved);
        else
            qunsetenv("XDG_DATA_HOME");
        QCOMPARE(folder, expected);
    }

    // A 墨舟 killed outright leaves its temporary files behind; the next start removes exactly
    // those, and nothing of the user's that merely looks alike.
    void leftoversOfAKilledRun_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("kind"); // file, link, folder, scratch (flash.ini inside)
        QTest::addColumn<bool>("removed");
        QTest::newRow("archive-part") << "news1000_20070315.shtml.aBcDeF.part"
                                      << "file" << true;
        QTest::newRow("provisional-hot-part") << "No20070315.shtml.QwErTy.part"
                                              << "file" << true;
        QTest::newRow("article-part") << "News_save/油价上涨.htm.download.xYzAbC.part"
                                      << "file" << true;
        QTest::newRow("flash-scratch") << "flash.ini.AbCdEf"
                                       << "scratch" << true;
        QTest::newRow("lock-probe") << "mozhou.lock.AbCdEf"
                                    << "file" << true;
        QTest::newRow("other-name-part") << "notes.txt.aBcDeF.part"
                                         << "file" << false;
        QTest::newRow("digit-in-letters") << "20070315.shtml.aBc1eF.part"
                                          << "file" << false;
        QTest::newRow("five-letters") << "20070315.shtml.aBcDe.part"
                                      << "file" << false;
        QTest::newRow("stored-page") << "news1000_20070315.shtml"
                                     << "file" << false;
        QTest::newRow("article-part-not-arrival") << "News_save/油价上涨.htm.aBcDeF.part"
                                                  << "file" << false;
        QTest::newRow("article-arrived") << "News_save/油价上涨.htm.download"
                                         << "file" << false;
        QTest::newRow("page-part-in-news-save") << "News_save/20070315.shtml.aBcDeF.part"
                                                << "file" << false;
        QTest::newRow("part-named-link") << "20070315.shtml.aBcDeF.part"
                                         << "link" << false;
        QTest::newRow("part-named-folder") << "20070315.shtml.aBcDeF.part"
                                           << "folder" << false;
        QTest::newRow("scratch-named-folder") << "flash.ini.AbCdEf"
                                              << "folder" << false;
    }
    void leftoversOfAKilledRun()
    {
        QFETCH(QString, name);
        QFETCH(QString, kind);
        QFETCH(bool, removed);
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("prog"));
        QVERIFY(prepareProgramFolder(folder));
        const QString path = QDir(folder).filePath(name);
        const QString outside = dir.filePath(QStringLiteral("mine.txt"));
        QVERIFY(writeFileBytes(outside, "mine"));
        if (kind == u"file") {
            QVERIFY(writeFileBytes(path, "<html>half"));
        } else if (kind == u"link") {
            QVERIFY(QFile::link(outside, path));
        } else {
            QVERIFY(QDir().mkdir(path));
            const QString inside = kind == u"scratch" ? "flash.ini" : "mine.txt";
            QVERIFY(writeFileBytes(QDir(path).filePath(inside), "[main]"));
        }
        QCOMPARE(removeLeftovers(folder), removed ? 1 : 0);
        QCOMPARE(QFileInfo(path).exists() || QFileInfo(path).isSymLink(), !removed);
        QCOMPARE(readFileBytes(outside).value_or(QByteArray()), QByteArray("mine"));
        for (const QString &delivered : deliveredFiles())
            QVERIFY(QFileInfo(QDir(folder).filePath(delivered)).isFile());
    }

    void seedingNeverOverwrites()
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("prog"));
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(writeTextFile(folder + QStringLiteral("/option.ini"), QStringLiteral("mine")));
        QVERIFY(prepareProgramFolder(folder));
        QCOMPARE(readTextFile(folder + QStringLiteral("/option.ini")).value(),
                 QStringLiteral("mine"));
        QVERIFY(QFileInfo(folder + QStringLiteral("/News_save")).isDir());
        for (const QString &name : deliveredFiles())
            QVERIFY2(QFileInfo::exists(folder + QLatin1Char('/') + name), qPrintable(name));
        // The delivered option.ini has the three sections and the two addresses.
        const QString delivered = readTextFile(QStringLiteral(":/delivered/option.ini")).value();
        for (const char *h :
             {"[旧新闻存放天数]", "[你的关键词]", "[分类]", "[新闻网站]", "[墨舟网]"})
            QVERIFY(delivered.contains(QString::fromUtf8(h)));
        QCOMPARE(readProfileString(folder + QStringLiteral("/flash.ini"), "main", "age"),
                 QStringLiteral("#"));
    }
};

QTEST_GUILESS_MAIN(TestPlatform)
#include "tst_platform.moc"
