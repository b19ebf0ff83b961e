#include "platform/mpv/MpvVideoView.h"

#include "platform/mpv/MpvVideoWindow.h"

#include <QOpenGLWidget>
#include <QPainter>
#include <QVBoxLayout>

namespace luming {

namespace {

// Qt makes a window's native window anew when the first GL-drawn widget (a web view) enters it,
// and deletes the native child windows of the old one with it: the picture's window would go, and
// its container fail. A GL widget that enters and leaves at once has that happen before.
void MakeReadyForGlWidgets(QWidget* window) {
    QOpenGLWidget probe;
    probe.setParent(window);
}

} // namespace

MpvVideoView::MpvVideoView(mpv_handle* mpv, QWidget* parent) : QWidget(parent) {
    setObjectName("VideoView");
    setAttribute(Qt::WA_OpaquePaintEvent);
    MakeReadyForGlWidgets(window());
    window_ = new MpvVideoWindow(mpv);
    container_ = QWidget::createWindowContainer(window_, this);
    // Keyboard focus stays with the stage: the container would hand it to the native window.
    container_->setFocusPolicy(Qt::NoFocus);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(container_);
    connect(window_, &MpvVideoWindow::stillChanged, this, [this](const QImage& still) {
        image_ = still;
        update();
    });
}

void MpvVideoView::SetStill(bool still) {
    if (still == still_)
        return;
    still_ = still;
    if (still_) {
        AskForStill();
        container_->hide();
    } else {
        container_->show();
        window_->SetStill(std::nullopt);
        image_ = QImage();
    }
}

void MpvVideoView::AskForStill() {
    window_->SetStill(size() * devicePixelRatio());
}

void MpvVideoView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (still_ && !image_.isNull())
        painter.drawImage(rect(), image_);
    else
        painter.fillRect(rect(), Qt::black);
}

void MpvVideoView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (still_)
        AskForStill();
}

} // namespace luming
