// The program's picture as the window and the About dialog load it from the resources, and the
// names by which a desktop finds the installed entry for the window.
#include "ui/programicon.h"

#include <QFile>
#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QtTest>

namespace {

const char *const kIcon = ":/icons/mozhou.svg";

struct Ink
{
    int opaque = 0; // pixels that are not transparent
    int dark = 0;   // the boat: near black
    int red = 0;    // the sun: vermilion
};

Ink countInk(const QImage &image)
{
    Ink ink;
    const QImage img = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x) {
            const QColor c = img.pixelColor(x, y);
            if (c.alpha() < 128)
                continue;
            ++ink.opaque;
            if (c.red() < 90 && c.green() < 90 && c.blue() < 90)
                ++ink.dark;
            if (c.red() > 150 && c.green() < 110 && c.blue() < 110)
                ++ink.red;
        }
    }
    return ink;
}

} // namespace

class TestProgramIcon : public QObject
{
    Q_OBJECT
private slots:
    void resourceIsTheInstalledFile();
    void drawsAtEverySize_data();
    void drawsAtEverySize();
    void windowNamesTheInstalledEntry();
};

// The desktop icon is installed from data/mozhou.svg; the window must show the same picture.
void TestProgramIcon::resourceIsTheInstalledFile()
{
    QFile embedded(kIcon);
    QVERIFY2(embedded.open(QIODevice::ReadOnly), "the icon is not among the resources");
    QFile installed(QStringLiteral(MOZHOU_SOURCE_DIR "/data/mozhou.svg"));
    QVERIFY(installed.open(QIODevice::ReadOnly));
    QCOMPARE(embedded.readAll(), installed.readAll());
}

void TestProgramIcon::drawsAtEverySize_data()
{
    QTest::addColumn<int>("size");
    QTest::newRow("menu-16") << 16;
    QTest::newRow("toolbar-24") << 24;
    QTest::newRow("dialog-64") << 64;
    QTest::newRow("launcher-256") << 256;
}

// A null or empty pixmap here means the SVG plugins (libqt6svg6) are missing.
void TestProgramIcon::drawsAtEverySize()
{
    QFETCH(int, size);
    const QIcon icon(kIcon);
    QVERIFY(!icon.isNull());
    const QPixmap pixmap = icon.pixmap(QSize(size, size));
    QVERIFY2(!pixmap.isNull(), "no SVG icon engine: is libqt6svg6 installed?");
    QCOMPARE(pixmap.size(), QSize(size, size));

    const Ink ink = countInk(pixmap.toImage());
    const int area = size * size;
    // Paper fills most of the square, the ink boat and the sun stay visible even at 16 px.
    QVERIFY2(ink.opaque > area * 3 / 4, qPrintable(QString::number(ink.opaque)));
    QVERIFY2(ink.dark >= area / 12, qPrintable(QString::number(ink.dark)));
    QVERIFY2(ink.red >= area / 100, qPrintable(QString::number(ink.red)));
}

// Wayland matches a window to its entry by the desktop file name, X11 by the window class
// (StartupWMClass): both must name the entry installed from data/.
void TestProgramIcon::windowNamesTheInstalledEntry()
{
    mz::setApplicationIdentity();
    const QString id = QGuiApplication::desktopFileName();
    QFile entry(QStringLiteral(MOZHOU_SOURCE_DIR "/data/") + id + QStringLiteral(".desktop"));
    QVERIFY2(!id.isEmpty() && entry.open(QIODevice::ReadOnly | QIODevice::Text),
             qPrintable(entry.fileName()));
    const QStringList lines = QString::fromUtf8(entry.readAll()).split(u'\n');
    QVERIFY(lines.contains(QStringLiteral("StartupWMClass=") + QGuiApplication::applicationName()));
}

QTEST_MAIN(TestProgramIcon)
#include "tst_programicon.moc"
