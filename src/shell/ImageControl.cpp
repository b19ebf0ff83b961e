#include "shell/ImageControl.h"

#include <QCursor>
#include <QMouseEvent>
#include <QPainter>

namespace luming {

ImageControl::ImageControl(QWidget* parent) : QWidget(parent) {
    // Pointer moves are reported without a button held, as the title buttons need.
    setMouseTracking(true);
}

void ImageControl::setPicture(const Picture& picture) {
    if (picture == picture_)
        return;
    picture_ = picture;
    update();
}

void ImageControl::setStretch(bool stretch) {
    stretch_ = stretch;
    update();
}

void ImageControl::paintEvent(QPaintEvent*) {
    if (picture_.isNull())
        return;
    QPainter painter(this);
    const QRectF target = stretch_ ? QRectF(rect()) : QRectF(QPointF(), picture_.designSize());
    picture_.Draw(painter, target);
}

void ImageControl::mousePressEvent(QMouseEvent* event) {
    emit mousePressed(event);
}

void ImageControl::mouseMoveEvent(QMouseEvent* event) {
    emit mouseMoved(event);
}

void ImageControl::mouseReleaseEvent(QMouseEvent* event) {
    emit mouseReleased(event);
    // A click is a left press and release over the control.
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

void ImageControl::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        emit doubleClicked();
}

void tLxsimage::leaveEvent(QEvent* event) {
    emit mouseLeft();
    ImageControl::leaveEvent(event);
}

void tLxsimage::hideEvent(QHideEvent* event) {
    emit mouseLeft();
    ImageControl::hideEvent(event);
}

void tLxsimage::LeaveIfPointerGone() {
    if (!rect().contains(mapFromGlobal(QCursor::pos())))
        emit mouseLeft();
}

} // namespace luming
