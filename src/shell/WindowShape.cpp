#include "shell/WindowShape.h"

#include <QPainterPath>
#include <QPolygon>

namespace luming {

QRegion RoundedWindowRegion(QSize window) {
    QPainterPath path;
    path.addRoundedRect(QRectF(0, 0, window.width() + 2, window.height() + 1), 5, 5);
    return QRegion(path.toFillPolygon().toPolygon(), Qt::WindingFill);
}

QRectF OutlineRect(QSize window) {
    // Pixel centres, so the one-pixel pen covers the last column and row inside the window.
    return QRectF(0.5, 0.5, window.width() - 1, window.height() - 1);
}

QRegion OutlineBand(QSize window) {
    const int band = kOutlineCornerDiameter / 2 + 1;
    const QRect whole(QPoint(), window);
    const QRegion inner = whole.adjusted(1, 1, -1, -1);
    QRegion corners;
    for (const QPoint corner : {whole.topLeft(), whole.topRight() - QPoint(band - 1, 0),
                                whole.bottomLeft() - QPoint(0, band - 1),
                                whole.bottomRight() - QPoint(band - 1, band - 1)})
        corners += QRect(corner, QSize(band, band));
    return (QRegion(whole) - inner) + corners;
}

} // namespace luming
