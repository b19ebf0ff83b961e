#include "shell/FocusMark.h"

#include <QEvent>
#include <QPainter>

namespace luming {

namespace {

// A dark band between two light edges: on any ground one of the two stands out by at least
// 3.3 : 1 (the dark one on the skin's light and middle blues, the light ones on dark grounds).
constexpr QColor kBandColour(11, 61, 107);
constexpr QColor kEdgeColour(255, 255, 255);
constexpr int kBandWidth = 2;
constexpr int kEdgeWidth = 1;
// The ring reaches this far beyond the control, and the rest of it lies over the control's edge.
constexpr int kOutset = 1;
// The ring's width: it lies wholly outside a control with a bevel.
constexpr int kRingWidth = 2 * kEdgeWidth + kBandWidth;
constexpr int kCornerRadius = 4;
// A thin control (the 6-pixel position bar) gets a ring this tall, centred on it.
constexpr int kMinimumHeight = 16;

} // namespace

FocusMark::FocusMark(QWidget* window) : QFocusFrame(window), window_(window) {
    setObjectName("focusMark");
    hide();
}

void FocusMark::Follow(QWidget* control, bool aroundBevel) {
    outset_ = aroundBevel ? kRingWidth : kOutset;
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
    area.adjust(-outset_, -outset_, outset_, outset_);
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
    painter.setBrush(Qt::NoBrush);
    // Both pens are centred on the same line: the wider light one shows on either side of the
    // dark one.
    const qreal middle = kRingWidth / 2.0;
    const QRectF line = QRectF(rect()).adjusted(middle, middle, -middle, -middle);
    painter.setPen(QPen(kEdgeColour, kRingWidth));
    painter.drawRoundedRect(line, kCornerRadius, kCornerRadius);
    painter.setPen(QPen(kBandColour, kBandWidth));
    painter.drawRoundedRect(line, kCornerRadius, kCornerRadius);
}

} // namespace luming
