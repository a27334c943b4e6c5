#include "ui/programicon.h"

#include <QPainter>
#include <QPainterPath>

namespace mz {

QPixmap programPixmap(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);
    p.setPen(Qt::NoPen);
    // Ink-dark disc.
    p.setBrush(QColor(30, 40, 60));
    p.drawEllipse(QRectF(2, 2, 60, 60));
    // Water line.
    p.setBrush(QColor(70, 110, 160));
    p.drawRect(QRectF(10, 47, 44, 3));
    // Hull and sail in paper white.
    p.setBrush(QColor(235, 225, 200));
    QPainterPath hull;
    hull.moveTo(12, 38);
    hull.lineTo(52, 38);
    hull.lineTo(44, 47);
    hull.lineTo(20, 47);
    hull.closeSubpath();
    p.drawPath(hull);
    QPainterPath sail;
    sail.moveTo(31, 11);
    sail.lineTo(31, 35);
    sail.lineTo(48, 35);
    sail.closeSubpath();
    p.drawPath(sail);
    // A red seal dot, as on an ink painting.
    p.setBrush(QColor(200, 40, 40));
    p.drawEllipse(QRectF(18, 20, 7, 7));
    return pixmap;
}

QIcon programIcon()
{
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(programPixmap(size));
    return icon;
}

} // namespace mz
