#include "shell/FrameOutline.h"

#include "shell/WindowShape.h"

#include <QPainter>

namespace luming {

FrameOutline::FrameOutline(QWidget* window) : QWidget(window) {
    setObjectName("FrameOutline");
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    FollowWindow();
}

void FrameOutline::FollowWindow() {
    const QSize size = parentWidget()->size();
    setGeometry(QRect(QPoint(), size));
    // Only the band along the edge belongs to the outline, so nothing inside is painted over.
    setMask(OutlineBand(size));
    raise();
}

void FrameOutline::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(128, 128, 128), 1));
    painter.setBrush(Qt::NoBrush);
    const qreal radius = kOutlineCornerDiameter / 2.0;
    painter.drawRoundedRect(OutlineRect(size()), radius, radius);
}

} // namespace luming
