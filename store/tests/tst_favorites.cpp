// favorite.ini: storing, listing and removing favourites on real files, hand-edited files and
// titles the format cannot hold as they are.

#include "platform/profile.h"
#include "platform/textfile.h"
#include "testsupport/specialfiles.h"
#include "store/favorites.h"
#include "testsupport/writelimit.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace mz;

Q_DECLARE_METATYPE(QList<mz::Favorite>)

namespace {

QByteArray bytesOf(const QString &path)
{
    return readFileBytes(path).value_or(QByteArray("<missing>"));
}

// The test texts are UTF-8 source; the file holds GBK.
QByteArray gbk(const char *utf8)
{
    return encodeAnsi(QString::fromUtf8(utf8));
}

} // namespace

class TestFavorites : public QObject
{
    Q_OBJECT

private slots:
    void view_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QList<Favorite>>("rows");
        const Favorite one{QStringLiteral("k2"), QStringLiteral("标题一"),
                           QStringLiteral("http://a/1")};
        QTest::newRow("two-entries")
            << gbk("[main]\r\n标题一=http://a/1\r\n标题二=http://a/2\r\n")
            << QList<Favorite>{
                   one,
                   {QStringLiteral("k3"), QStringLiteral("标题二"), QStringLiteral("http://a/2")}};
        QTest::newRow("empty-line-and-no-equals-count")
            << gbk("[main]\r\n\r\n没有等号\r\n标题三=http://a/3\r\n")
            << QList<Favorite>{
                   {QStringLiteral("k4"), QStringLiteral("标题三"), QStringLiteral("http://a/3")}};
        QTest::newRow("last-line-without-line-end")
            << gbk("[main]\r\n标题一=http://a/1\r\n标题二=http://a/2")
            << QList<Favorite>{
                   one,
                   {QStringLiteral("k3"), QStringLiteral("标题二"), QStringLiteral("http://a/2")}};
        QTest::newRow("blanks-trimmed-equals-in-address")
            << gbk("[main]\r\n  标题一=http://a/1  \r\nx=http://a/?q=1\r\n")
            << QList<Favorite>{
                   one,
                   {QStringLiteral("k3"), QStringLiteral("x"), QStringLiteral("http://a/?q=1")}};
        QTest::newRow("bare-lf-lines")
            << gbk("[main]\n标题一=http://a/1\n") << QList<Favorite>{one};
        // An editor that ends lines with a bare CR: the entries are read as lines all the same.
        QTest::newRow("bare-cr-lines")
            << gbk("[main]\r标题一=http://a/1\r\r标题三=http://a/3\r")
            << QList<Favorite>{
                   one,
                   {QStringLiteral("k4"), QStringLiteral("标题三"), QStringLiteral("http://a/3")}};
        QTest::newRow("title-with-main-inside")
            << gbk("[main]\r\n谈[main]分支=http://a/9\r\n")
            << QList<Favorite>{{QStringLiteral("k2"), QStringLiteral("谈[main]分支"),
                                QStringLiteral("http://a/9")}};
    }
    void view()
    {
        QFETCH(QByteArray, file);
        QFETCH(QList<Favorite>, rows);
        QTemporaryDir dir;
        const QString path = favoritesPath(dir.path());
        QVERIFY(writeFileBytes(path, file));
        const FavoritesResult read = readFavorites(path);
        QVERIFY(read.ok());
        QCOMPARE(read.favorites, rows);
    }

    void missingFileIsEmptyAndNotCreated()
    {
        QTemporaryDir dir;
        const FavoritesResult read = readFavorites(favoritesPath(dir.path()));
        QVERIFY(read.ok());
        QVERIFY(read.favorites.isEmpty());
        QVERIFY(QDir(dir.path()).isEmpty());
    }

    // Every stored title reads back whole, and storing it again replaces its line.
    void storedTitles_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("stored");
        QTest::newRow("plain") << QStringLiteral("油价上涨") << QStringLiteral("油价上涨");
        QTest::newRow("equals") << QStringLiteral("1+1=2?") << QStringLiteral("1+1＝2?");
        QTest::newRow("leading-bracket")
            << QStringLiteral("[图]北京下雪") << QStringLiteral("［图]北京下雪");
        QTest::newRow("leading-semicolon") << QStringLiteral(";评论") << QStringLiteral("；评论");
        QTest::newRow("line-breaks")
            << QStringLiteral("上\r\n下\n末") << QStringLiteral("上 下 末");
        QTest::newRow("blanks-around") << QStringLiteral("  [x  ") << QStringLiteral("［x");
    }
    void storedTitles()
    {
        QFETCH(QString, title);
        QFETCH(QString, stored);
        QCOMPARE(storedFavoriteTitle(title), stored);
        QTemporaryDir dir;
        const QString path = favoritesPath(dir.path());
        QVERIFY(addFavorite(path, QStringLiteral("前"), QStringLiteral("http://a/0")).ok());
        QVERIFY(addFavorite(path, title, QStringLiteral("http://a/1")).ok());
        QVERIFY(addFavorite(path, title, QStringLiteral("http://a/2")).ok());
        const QList<Favorite> rows = readFavorites(path).favorites;
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows.at(1),
                 (Favorite{QStringLiteral("k3"), stored, QStringLiteral("http://a/2")}));
    }

    // An address a page broke inside its href is stored as a browser reads it, on one line, and
    // the favourite read back is removed again by its row.
    void storedAddresses_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QByteArray>("stored");
        QTest::newRow("plain") << QStringLiteral("http://a/n/1.shtml?id=2&x= y")
                               << QByteArray("http://a/n/1.shtml?id=2&x= y");
        QTest::newRow("cr-lf-inside")
            << QStringLiteral("http://a/n/\r\n1.shtml") << QByteArray("http://a/n/1.shtml");
        QTest::newRow("bare-lf-and-cr")
            << QStringLiteral("http://a/\nn/1\r.shtml") << QByteArray("http://a/n/1.shtml");
        QTest::newRow("tabs-and-trailing-break")
            << QStringLiteral("http://a/n/\t1.shtml\t\r\n") << QByteArray("http://a/n/1.shtml");
        QTest::newRow("break-in-host") << QStringLiteral("http://a.exa\r\nmple/1.shtml")
                                       << QByteArray("http://a.example/1.shtml");
    }
    void storedAddresses()
    {
        QFETCH(QString, address);
        QFETCH(QByteArray, stored);
        QTemporaryDir dir;
        const QString path = favoritesPath(dir.path());
        QVERIFY(addFavorite(path, QStringLiteral("甲"), address).ok());
        QCOMPARE(bytesOf(path), gbk("[main]\r\n甲=") + stored + "\r\n");
        const QList<Favorite> rows = readFavorites(path).favorites;
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows.first().address, QString::fromLatin1(stored));
        QVERIFY(removeFavorite(path, rows.first().title, rows.first().address).ok());
        QCOMPARE(bytesOf(path), QByteArray("[main]\r\n\r\n"));
    }

    void addCreatesAppendsAndReplacesIgnoringCase()
    {
        QTemporaryDir dir;
        const QString path = favoritesPath(dir.path());
        QVERIFY(addFavorite(path, QStringLiteral("NBA总决赛"), QStringLiteral("http://a/1")).ok());
        QCOMPARE(bytesOf(path), gbk("[main]\r\nNBA总决赛=http://a/1\r\n"));
        QVERIFY(addFavorite(path, QStringLiteral("油价"), QStringLiteral("http://a/2")).ok());
        QVERIFY(addFavorite(path, QStringLiteral("nba总决赛"), QStringLiteral("http://a/3")).ok());
        QCOMPARE(bytesOf(path), gbk("[main]\r\nnba总决赛=http://a/3\r\n油价=http://a/2\r\n"));

        // A hand-edited file with another section after [main] and no final line end.
        QVERIFY(writeFileBytes(path, gbk("[main]\r\n甲=http://a/1\r\n\r\n[other]\r\nk=v")));
        QVERIFY(addFavorite(path, QStringLiteral("乙"), QStringLiteral("http://a/2")).ok());
        QCOMPARE(bytesOf(path),
                 gbk("[main]\r\n甲=http://a/1\r\n乙=http://a/2\r\n\r\n[other]\r\nk=v"));

        // Bare CR line ends: the title's line is replaced in place, a new one takes a CR.
        QVERIFY(writeFileBytes(path, gbk("[main]\r甲=http://a/1\r乙=http://a/2\r")));
        QVERIFY(addFavorite(path, QStringLiteral("甲"), QStringLiteral("http://a/3")).ok());
        QVERIFY(addFavorite(path, QStringLiteral("丙"), QStringLiteral("http://a/4")).ok());
        QCOMPARE(bytesOf(path), gbk("[main]\r甲=http://a/3\r乙=http://a/2\r丙=http://a/4\r"));

        const FavoritesResult empty =
            addFavorite(path, QStringLiteral(" \r\n "), QStringLiteral("x"));
        QCOMPARE(empty.status, FavoritesResult::Status::Refused);
        QVERIFY(!empty.message.isEmpty());
    }

    void remove_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("middle-leaves-empty-line")
            << gbk("[main]\r\n甲=http://a/1\r\n乙=http://a/2\r\n丙=http://a/3\r\n")
            << QStringLiteral("乙") << gbk("[main]\r\n甲=http://a/1\r\n\r\n丙=http://a/3\r\n");
        QTest::newRow("longer-line-untouched")
            << gbk("[main]\r\n大乙=http://a/2\r\n乙=http://a/2\r\n") << QStringLiteral("乙")
            << gbk("[main]\r\n大乙=http://a/2\r\n\r\n");
        QTest::newRow("first-of-two-equal-lines")
            << gbk("[main]\r\n乙=http://a/2\r\n乙=http://a/2\r\n") << QStringLiteral("乙")
            << gbk("[main]\r\n\r\n乙=http://a/2\r\n");
        QTest::newRow("last-line-without-line-end")
            << gbk("[main]\r\n甲=http://a/1\r\n乙=http://a/2") << QStringLiteral("乙")
            << gbk("[main]\r\n甲=http://a/1\r\n");
        QTest::newRow("bare-cr-lines") << gbk("[main]\r甲=http://a/1\r乙=http://a/2\r")
                                       << QStringLiteral("乙") << gbk("[main]\r甲=http://a/1\r\r");
        QTest::newRow("blanks-around-line") << gbk("[main]\r\n  乙=http://a/2 \r\n")
                                            << QStringLiteral("乙") << gbk("[main]\r\n\r\n");
    }
    void remove()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, title);
        QFETCH(QByteArray, after);
        QTemporaryDir dir;
        const QString path = favoritesPath(dir.path());
        QVERIFY(writeFileBytes(path, before));
        QVERIFY(removeFavorite(path, title, QStringLiteral("http://a/2")).ok());
        QCOMPARE(bytesOf(path), after);
    }

    // Something under the name that is no favorites file the program could have written (a
    // FIFO, a folder, a device, a file of many megabytes) is reported at once and left as it is.
    void unusableFileIsReportedAndKept_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        QTest::newRow("fifo") << "fifo"
                              << "不是普通文件";
        QTest::newRow("folder") << "folder"
                                << "不是普通文件";
        QTest::newRow("link-to-device") << "device"
                                        << "不是普通文件";
        QTest::newRow("huge") << "huge"
                              << "过大";
    }
    void unusableFileIsReportedAndKept()
    {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QString path = favoritesPath(dir.path());
        const QByteArray huge =
            gbk("[main]\r\n甲=http://a/1\r\n") + QByteArray(kMaxProfileFileBytes, ';');
        if (kind == u"huge")
            QVERIFY(writeFileBytes(path, huge));
        else
            QVERIFY(mz::test::makeSpecialFile(path, kind));
        const FavoritesResult read = readFavorites(path);
        QCOMPARE(read.status, FavoritesResult::Status::ReadFailed);
        QVERIFY2(read.message.contains(reason), qPrintable(read.message));
        const FavoritesResult add =
            addFavorite(path, QStringLiteral("乙"), QStringLiteral("http://a/2"));
        QCOMPARE(add.status, FavoritesResult::Status::WriteFailed);
        QVERIFY2(add.message.contains(reason), qPrintable(add.message));
        QCOMPARE(removeFavorite(path, QStringLiteral("甲"), QStringLiteral("http://a/1")).status,
                 FavoritesResult::Status::ReadFailed);
        const QFileInfo after(path);
        if (kind == u"huge")
            QCOMPARE(bytesOf(path), huge);
        else
            QCOMPARE(after.isSymLink() || after.isDir() || !after.isFile(), true);
    }

    void faultsAreReportedAndLoseNothing()
    {
        QTemporaryDir dir;
        const QString path = favoritesPath(dir.path());
        const FavoritesResult missing =
            removeFavorite(path, QStringLiteral("甲"), QStringLiteral("x"));
        QCOMPARE(missing.status, FavoritesResult::Status::NotFound);
        QVERIFY(QDir(dir.path()).isEmpty());

        const QByteArray before = gbk("[main]\r\n甲=http://a/1\r\n") + QByteArray(2000, ';');
        QVERIFY(writeFileBytes(path, before));
        QCOMPARE(removeFavorite(path, QStringLiteral("甲"), QStringLiteral("http://a/9")).status,
                 FavoritesResult::Status::NotFound);
        FavoritesResult add, remove;
        {
            const test::WriteLimit limit(1024);
            add = addFavorite(path, QStringLiteral("乙"), QStringLiteral("http://a/2"));
            remove = removeFavorite(path, QStringLiteral("甲"), QStringLiteral("http://a/1"));
        }
        QCOMPARE(add.status, FavoritesResult::Status::WriteFailed);
        QCOMPARE(remove.status, FavoritesResult::Status::WriteFailed);
        QVERIFY(!add.message.isEmpty() && !remove.message.isEmpty());
        QCOMPARE(bytesOf(path), before);
    }
};

QTEST_GUILESS_MAIN(TestFavorites)
#include "tst_favorites.moc"
