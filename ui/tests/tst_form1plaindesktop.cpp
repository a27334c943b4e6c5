// The main window on a plain desktop: a small screen scaled by 150 % (the test screen is 533
// pixels wide for the window, less than its usual smallest size, as 1024 x 700 at 150 % is) and
// no font that has Chinese characters.

#include "ui/form1.h"
#include "ui/transferbars.h"
#include "testsupport/formfixture.h"

#include <QApplication>
#include <QHeaderView>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QScreen>
#include <QStatusBar>
#include <QTest>
#include <QTreeView>

using mz::test::FormFixture;

class TestForm1PlainDesktop : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The status bar and the transfer bars are on the screen, at the first start and with a
    // place remembered from a larger screen; a place remembered on this screen is taken up with
    // its column widths.
    void windowFitsTheScreen_data()
    {
        QTest::addColumn<QString>("place"); // the "[窗口]" line, or none
        QTest::addColumn<int>("category");  // the width of the hot news list's category column
        QTest::newRow("first-start") << QString() << 90;
        QTest::newRow("remembered") << QStringLiteral("0,0,1000,700,265") << 90;
        QTest::newRow("remembered-here")
            << QStringLiteral("0,0,533,480,265,100,70,50,460,90,100,460,90,100") << 70;
    }
    void windowFitsTheScreen()
    {
        QFETCH(QString, place);
        QFETCH(int, category);
        QString option = FormFixture::defaultOption();
        if (!place.isEmpty())
            option += QStringLiteral("[窗口]\r\n") + place + QStringLiteral("\r\n");
        FormFixture fx(option);
        auto form = fx.load();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        const QRect free = form->screen()->availableGeometry();
        QVERIFY2(free.width() < Form1::minimumWindowSize().width(), "the screen is not small");
        for (QWidget *bottom : {static_cast<QWidget *>(form->StatusBar1),
                                static_cast<QWidget *>(&form->transferBars())}) {
            const QRect shown(bottom->mapToGlobal(QPoint(0, 0)), bottom->size());
            // The window's frame may add a pixel at its sides.
            QVERIFY2(shown.width() <= free.width() && shown.bottom() <= free.bottom(),
                     bottom->metaObject()->className());
        }
        QCOMPARE(form->ListView1->header()->sectionSize(1), category);
    }

    // Without a Chinese font every text shows as boxes: the user is told why, in words the
    // boxes do not hide, once the window has loaded.
    void missingChineseFontIsReported()
    {
        FormFixture fx;
        auto form = fx.load();
        QCOMPARE(fx.messages.messages.size(), 1);
        const QString text = fx.messages.messages.first().text;
        QVERIFY2(text.contains(QStringLiteral("No font")), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("fonts-wqy-microhei")));
    }
};

int main(int argc, char *argv[])
{
    qputenv("QT_SCALE_FACTOR", "1.5");
    // Font settings that name no fonts at all.
    QTemporaryDir fonts;
    const QString config = fonts.filePath(QStringLiteral("fonts.conf"));
    QFile file(config);
    if (!fonts.isValid() || !file.open(QIODevice::WriteOnly) ||
        file.write("<?xml version=\"1.0\"?>\n<fontconfig><cachedir>" +
                   QFile::encodeName(fonts.path()) + "</cachedir></fontconfig>\n") < 0)
        return 1;
    file.close();
    qputenv("FONTCONFIG_FILE", QFile::encodeName(config));
    QApplication app(argc, argv);
    TestForm1PlainDesktop test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_form1plaindesktop.moc"
