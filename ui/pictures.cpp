#include "ui/pictures.h"

#include "lists/headline.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace mz {

namespace {

constexpr int kSize = 32;

// A picture drawn by `draw` in a 32-unit square, at one, two and three times that size: a
// screen scaled by 2 or 3 (or a larger toolbar) gets a picture drawn for its pixels, not a
// 32-pixel one enlarged and blurred.
template <typename Draw> QIcon drawn(Draw draw)
{
    QIcon icon;
    for (int scale = 1; scale <= 3; ++scale) {
        QPixmap pm(kSize * scale, kSize * scale);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(scale, scale);
        draw(p);
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}

// A rounded tile with one character: the category icons and the toolbar pictures.
QIcon letterTile(const QString &letter, const QColor &colour)
{
    return drawn([&](QPainter &p) {
        p.setPen(Qt::NoPen);
        p.setBrush(colour);
        p.drawRoundedRect(QRectF(1, 1, kSize - 2, kSize - 2), 7, 7);
        QFont f;
        f.setPixelSize(22);
        f.setBold(true);
        p.setFont(f);
        p.setPen(Qt::white);
        p.drawText(QRect(0, 0, kSize, kSize), Qt::AlignCenter, letter);
    });
}

// A page with a folded corner; `mark` draws the state on top of it.
template <typename Mark> QIcon page(const QColor &paper, Mark mark)
{
    return drawn([&](QPainter &p) {
        QPainterPath path;
        path.moveTo(6, 2);
        path.lineTo(20, 2);
        path.lineTo(27, 9);
        path.lineTo(27, 30);
        path.lineTo(6, 30);
        path.closeSubpath();
        p.setPen(QPen(QColor(90, 90, 90), 1.5));
        p.setBrush(paper);
        p.drawPath(path);
        p.setPen(QPen(QColor(150, 150, 150), 1.5));
        for (int y = 12; y <= 24; y += 4)
            p.drawLine(10, y, 23, y);
        mark(p);
    });
}

QColor categoryColour(int icon)
{
    // Twenty well-separated hues.
    return QColor::fromHsv(((icon - 5) * 47) % 360, 170, 190);
}

} // namespace

QList<QIcon> nodeAndCategoryPictures()
{
    QList<QIcon> icons(27);
    // 1: the day's archive is stored (green tick).
    icons[1] = page(QColor(235, 250, 235), [](QPainter &p) {
        p.setPen(QPen(QColor(30, 150, 40), 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(QPolygon({{11, 19}, {16, 25}, {29, 10}}));
    });
    // 2: a download is running (blue arrow).
    icons[2] = page(QColor(235, 242, 255), [](QPainter &p) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(30, 100, 220));
        p.drawRect(QRectF(14, 8, 6, 12));
        p.drawPolygon(QPolygon({{9, 19}, {25, 19}, {17, 29}}));
    });
    // 3: a root folder.
    icons[3] = drawn([](QPainter &p) {
        p.setPen(QPen(QColor(150, 110, 20), 1.5));
        p.setBrush(QColor(250, 205, 90));
        p.drawRoundedRect(QRectF(2, 6, 12, 6), 2, 2);
        p.drawRoundedRect(QRectF(2, 9, 28, 19), 3, 3);
    });
    // 4: nothing stored yet, or hot news fetched (plain grey page).
    icons[4] = page(QColor(245, 245, 245), [](QPainter &) {});
    for (const auto &c : kCategoryIcons)
        icons[c.icon] = letterTile(QString::fromUtf16(c.name).left(1), categoryColour(c.icon));
    icons[25] = letterTile(QStringLiteral("?"), QColor(128, 128, 128));
    // 26: a keyword (magnifier).
    icons[26] = drawn([](QPainter &p) {
        p.setPen(QPen(QColor(60, 60, 140), 3.5));
        p.setBrush(QColor(215, 230, 255));
        p.drawEllipse(QRectF(4, 4, 16, 16));
        p.setPen(QPen(QColor(60, 60, 140), 5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(19, 19, 28, 28);
    });
    return icons;
}

QIcon toolbarPicture(const QString &caption)
{
    const int icon = categoryIcon(caption);
    if (icon)
        return letterTile(caption.left(1), categoryColour(icon));
    if (caption == QStringLiteral("热点"))
        return letterTile(QStringLiteral("热"), QColor(220, 40, 40));
    if (caption == QStringLiteral("收藏夹"))
        return letterTile(QStringLiteral("★"), QColor(230, 160, 0));
    return letterTile(QStringLiteral("?"), QColor(70, 110, 160));
}

} // namespace mz
