#include "shell/FocusMark.h"

#include <QEvent>
#include <QPainter>

namespace luming {

namespace {

constexpr QColor kMarkColour(74, 159, 224); // the skin's pressed-button border
constexpr int kMarkWidth = 2;
constexpr int kCornerRadius = 4;
// A thin control (the 6-pixel position bar) gets a ring this tall, centred on it.
constexpr int kMinimumHeight = 16;

} // namespace

FocusMark::FocusMark(QWidget* window) : QFocusFrame(window), window_(window) {
    setObjectName("focusMark");
    hide();
}

void FocusMark::Follow(QWidget* control) {
    if (control == control_)
        return;
    Unwatch();
    control_ = control;
    if (!control) {
        hide();
        return;
    }
    for (QWidget* each = control; each && each != window_; each = each->parentWidget()) {
        each->installEventFilter(this);
        watched_.emplace_back(each);
    }
    Place();
}

void FocusMark::Unwatch() {
    for (const QPointer<QWidget>& each : watched_)
        if (each)
            each->removeEventFilter(this);
    watched_.clear();
}

void FocusMark::Place() {
    if (!control_ || !control_->isVisible()) {
        hide();
        return;
    }
    QRect area(control_->mapTo(window_, QPoint()), control_->size());
    if (area.height() < kMinimumHeight)
        area.adjust(0, -(kMinimumHeight - area.height()) / 2, 0,
                    (kMinimumHeight - area.height() + 1) / 2);
    setGeometry(area & window_->rect());
    show();
    raise();
    update();
}

bool FocusMark::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::ParentChange:
        Place();
        break;
    default:
        break;
    }
    return QFocusFrame::eventFilter(watched, event);
}

void FocusMark::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(kMarkColour, kMarkWidth));
    painter.setBrush(Qt::NoBrush);
    const qreal inset = kMarkWidth / 2.0;
    painter.drawRoundedRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset), kCornerRadius,
                            kCornerRadius);
}

} // namespace luming
