// flash.ini: forgiving loads (missing, "#", damaged values), saves in the dialog's key order that
// keep what the user did not change, and the profile routines underneath.

#include "platform/module2.h"
#include "platform/textfile.h"
#include "store/flashini.h"

#include <QTemporaryDir>
#include <QTest>

using namespace mz;

namespace {

const QString kUnset = QStringLiteral("请选择");

QString fileText(const QString &path)
{
    return readTextFile(path).value_or(QStringLiteral("<missing>"));
}

// Answers as "age,childage,...,car|native|live" so that a failed comparison reads easily.
QString describe(const FlashAnswers &a)
{
    QStringList numbers;
    for (int c : a.choice)
        numbers << QString::number(c);
    return numbers.join(u',') + u'|' + a.native + u'|' + a.live;
}

} // namespace

class TestFlashIni : public QObject
{
    Q_OBJECT

private slots:
    void profileRoutines()
    {
        QTemporaryDir dir;
        Module2 profile;
        QString error;
        QVERIFY(!profile.writeValue(QStringLiteral("main"), QStringLiteral("age"),
                                    QStringLiteral("1"), &error));
        QVERIFY(!error.isEmpty());

        profile.setCurrentFile(dir.filePath(QStringLiteral("x.ini")));
        QCOMPARE(profile.readValue(QStringLiteral("main"), QStringLiteral("age")), QString());
        QVERIFY(profile.writeValue(QStringLiteral("main"), QStringLiteral("native"),
                                   QStringLiteral("黑龙江")));
        QCOMPARE(fileText(profile.currentFile()), QStringLiteral("[main]\r\nnative=黑龙江\r\n"));
        QCOMPARE(profile.readValue(QStringLiteral("MAIN"), QStringLiteral("native")),
                 QStringLiteral("黑龙江"));
        // The buffer holds one piece: the walk ends after it.
        QCOMPARE(profile.nextPiece(), QString());
    }

    void load_data()
    {
        QTest::addColumn<QString>("content"); // null: no file
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("invalid");

        const QString none = QStringLiteral("-1,-1,-1,-1,-1,-1,-1,-1,-1,-1,-1,-1|请选择|请选择");
        QTest::newRow("missing-file") << QString() << none << 0;
        QTest::newRow("delivered-hash") << QStringLiteral("[main]\r\nage=#\r\n") << none << 0;
        QTest::newRow("valid-keys-shown-while-age-is-hash")
            << QStringLiteral("[main]\r\nage=#\r\ngym=2\r\nsex=1\r\nnative=北京\r\ncar=0\r\n")
            << QStringLiteral("-1,-1,2,-1,-1,-1,-1,-1,-1,-1,1,0|北京|请选择") << 0;
        QTest::newRow("damaged-values-leave-groups-unselected")
            << QStringLiteral("[main]\r\nage=abc\r\nchildage=7\r\ngym=1.5\r\nstar=-1\r\n"
                              "domestic= 2 \r\nhk=3\r\nforeign=99999999999\r\nsex=2\r\n"
                              "native=火星\r\nlive=请选择\r\ncar=\r\n")
            << QStringLiteral("-1,-1,-1,-1,2,-1,-1,-1,-1,-1,-1,-1|请选择|请选择") << 8;
        QTest::newRow("byte-order-mark-before-header")
            << QStringLiteral("\uFEFF[main]\r\ngym=2\r\nlive=海外\r\n")
            << QStringLiteral("-1,-1,2,-1,-1,-1,-1,-1,-1,-1,-1,-1|请选择|海外") << 0;
    }

    void load()
    {
        QFETCH(QString, content);
        QFETCH(QString, expected);
        QFETCH(int, invalid);

        QTemporaryDir dir;
        const QString path = flashIniPath(dir.path());
        if (!content.isNull())
            QVERIFY(writeTextFile(path, content));
        const FlashLoad load = loadFlashIni(path);
        QCOMPARE(load.found, !content.isNull());
        QVERIFY(load.readable);
        QCOMPARE(describe(load.answers), expected);
        QCOMPARE(load.invalidValues, invalid);
    }

    void save_data()
    {
        QTest::addColumn<QString>("before");  // null: no file
        QTest::addColumn<QString>("answers"); // as describe() writes them
        QTest::addColumn<QString>("after");
        QTest::addColumn<QString>("reloaded");

        // Only age 26-33 and 女 chosen: both written, the untouched places as "请选择".
        QTest::newRow("age-and-sex-only")
            << QStringLiteral("[main]\r\nage=#\r\n")
            << QStringLiteral("3,-1,-1,-1,-1,-1,-1,-1,-1,-1,1,-1|请选择|请选择")
            << QStringLiteral("[main]\r\nage=3\r\nsex=1\r\nnative=请选择\r\nlive=请选择\r\n")
            << QStringLiteral("3,-1,-1,-1,-1,-1,-1,-1,-1,-1,1,-1|请选择|请选择");
        // A missing file is created; new keys follow the save order.
        QTest::newRow("missing-file-created-in-order")
            << QString() << QStringLiteral("0,1,2,0,1,2,0,1,2,0,1,0|安徽|海外")
            << QStringLiteral("[main]\r\nage=0\r\nchildage=1\r\ngym=2\r\nstar=0\r\ndomestic=1\r\n"
                              "hk=2\r\nforeign=0\r\nmilitary=1\r\nscience=2\r\ninternet=0\r\n"
                              "sex=1\r\ncar=0\r\nnative=安徽\r\nlive=海外\r\n")
            << QStringLiteral("0,1,2,0,1,2,0,1,2,0,1,0|安徽|海外");
        // Unchosen groups keep their value; "请选择" never replaces a stored place.
        QTest::newRow("unchosen-keeps-stored")
            << QStringLiteral("[main]\r\nage=2\r\ngym=1\r\nnative=北京\r\nlive=海外\r\ncar=1\r\n")
            << QStringLiteral("-1,-1,2,-1,-1,-1,-1,-1,-1,-1,-1,0|请选择|上海")
            << QStringLiteral("[main]\r\nage=2\r\ngym=2\r\nnative=北京\r\nlive=上海\r\ncar=0\r\n")
            << QStringLiteral("2,-1,2,-1,-1,-1,-1,-1,-1,-1,-1,0|北京|上海");
        // No age chosen while age is "#": the other answers are saved and shown again.
        QTest::newRow("hash-age-stays")
            << QStringLiteral("[main]\r\nage=#\r\n")
            << QStringLiteral("-1,-1,-1,-1,-1,-1,-1,-1,-1,-1,-1,1|重庆|请选择")
            << QStringLiteral("[main]\r\nage=#\r\ncar=1\r\nnative=重庆\r\nlive=请选择\r\n")
            << QStringLiteral("-1,-1,-1,-1,-1,-1,-1,-1,-1,-1,-1,1|重庆|请选择");
        // A file an editor saved with a byte order mark (U+FEFF, GB18030 bytes 84 31 95 33):
        // the answers go into its "[main]", not into a second one the load never reads.
        QTest::newRow("byte-order-mark-kept")
            << QStringLiteral("\uFEFF[main]\r\nage=#\r\nsex=0\r\n")
            << QStringLiteral("3,-1,-1,-1,-1,-1,-1,-1,-1,-1,1,-1|请选择|请选择")
            << QStringLiteral("\uFEFF[main]\r\nage=3\r\nsex=1\r\nnative=请选择\r\nlive=请选择\r\n")
            << QStringLiteral("3,-1,-1,-1,-1,-1,-1,-1,-1,-1,1,-1|请选择|请选择");
    }

    void save()
    {
        QFETCH(QString, before);
        QFETCH(QString, answers);
        QFETCH(QString, after);
        QFETCH(QString, reloaded);

        FlashAnswers a;
        const QStringList parts = answers.split(u'|');
        const QStringList numbers = parts.at(0).split(u',');
        for (int g = 0; g < kFlashGroupCount; ++g)
            a.choice[g] = numbers.at(g).toInt();
        a.native = parts.at(1);
        a.live = parts.at(2);

        QTemporaryDir dir;
        const QString path = flashIniPath(dir.path());
        if (!before.isNull())
            QVERIFY(writeTextFile(path, before));
        QString error;
        QVERIFY2(saveFlashIni(path, a, &error), qPrintable(error));
        QCOMPARE(fileText(path), after);
        QCOMPARE(describe(loadFlashIni(path).answers), reloaded);
    }

    void saveFailureReported()
    {
        QTemporaryDir dir;
        // The folder is a plain file: nothing can be created inside it.
        const QString folder = dir.filePath(QStringLiteral("not-a-folder"));
        QVERIFY(writeTextFile(folder, QStringLiteral("x")));
        FlashAnswers a;
        a[FlashGroup::Age] = 1;
        QString error;
        QVERIFY(!saveFlashIni(flashIniPath(folder), a, &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(fileText(folder), QStringLiteral("x"));
    }

    // A full or missing system temporary folder does not keep the answers from the program
    // folder (they could not be saved at all, and the message gave no reason).
    void saveWithoutSystemTempFolder()
    {
        QTemporaryDir dir;
        const QString path = flashIniPath(dir.path());
        QVERIFY(writeTextFile(path, QStringLiteral("[main]\r\nage=#\r\n")));
        const bool hadTmp = qEnvironmentVariableIsSet("TMPDIR");
        const QByteArray tmp = qgetenv("TMPDIR");
        // A plain file as the temporary folder: nothing can be made inside it.
        const QString notAFolder = dir.filePath(QStringLiteral("not-a-folder"));
        QVERIFY(writeTextFile(notAFolder, QStringLiteral("x")));
        qputenv("TMPDIR", notAFolder.toLocal8Bit());
        FlashAnswers a;
        a[FlashGroup::Age] = 2;
        QString error;
        const bool saved = saveFlashIni(path, a, &error);
        if (hadTmp)
            qputenv("TMPDIR", tmp);
        else
            qunsetenv("TMPDIR");
        QVERIFY2(saved, qPrintable(error));
        QCOMPARE(loadFlashIni(path).answers[FlashGroup::Age], 2);
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 (QStringList{QStringLiteral("flash.ini"), QStringLiteral("not-a-folder")}));
    }

    // A damaged flash.ini of many megabytes is left as it is: reading it answer by answer froze
    // the window, and rewriting it would have kept the damage.
    void oversizedFileIsLeftAlone()
    {
        QTemporaryDir dir;
        const QString path = flashIniPath(dir.path());
        const QByteArray head("[main]\r\nage=2\r\ngym=1\r\n");
        const QByteArray before = head + QByteArray(kMaxFlashIniBytes + 1 - head.size(), ';');
        QVERIFY(writeFileBytes(path, before));
        const FlashLoad load = loadFlashIni(path);
        QVERIFY(load.found);
        QVERIFY(!load.readable);
        FlashAnswers a;
        a[FlashGroup::Age] = 3;
        QString error;
        QVERIFY(!saveFlashIni(path, a, &error));
        QVERIFY2(error.contains(QStringLiteral("过大")), qPrintable(error));
        QCOMPARE(readFileBytes(path).value_or(QByteArray()), before);

        // At the limit it is still read.
        QVERIFY(writeFileBytes(path, before.chopped(1)));
        QCOMPARE(loadFlashIni(path).answers[FlashGroup::Gym], 1);
    }
};

QTEST_GUILESS_MAIN(TestFlashIni)
#include "tst_flashini.moc"
