#include "platform/mpv/PlayerBar.h"

#include "config/FormatSeconds.h"
#include "platform/mpv/PlayerRequest.h"
#include "playback/FlvBridge.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QToolButton>

namespace luming {

namespace {

constexpr int kHeight = 22;
constexpr int kGlyph = kHeight - 8;

// Whole seconds as the window's own time reads them: through the movie's reply, rounded.
int64_t WindowSeconds(double seconds) {
    return ReplyNumber(NumberReply(seconds), 0);
}

// A light play triangle or pause bars, drawn here: the style's own media icons are dark, and
// vanish on the bar's dark ground.
QIcon Glyph(bool pause) {
    QPixmap pixmap(kGlyph * 2, kGlyph * 2);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xF0, 0xF0, 0xF0));
    const int size = pixmap.width();
    if (pause) {
        painter.drawRect(QRectF(size * 0.2, size * 0.15, size * 0.2, size * 0.7));
        painter.drawRect(QRectF(size * 0.6, size * 0.15, size * 0.2, size * 0.7));
    } else {
        const QPointF triangle[] = {
            {size * 0.25, size * 0.12}, {size * 0.85, size * 0.5}, {size * 0.25, size * 0.88}};
        painter.drawPolygon(triangle, 3);
    }
    return QIcon(pixmap);
}

} // namespace

PlayerBar::PlayerBar(QWidget* parent)
    : QWidget(parent), button_(new QToolButton(this)), digits_(new QLabel(this)) {
    setObjectName("PlayerBar");
    setFixedHeight(kHeight);
    setAutoFillBackground(true);
    QPalette dark = palette();
    dark.setColor(QPalette::Window, QColor(0x20, 0x20, 0x20));
    dark.setColor(QPalette::WindowText, Qt::white);
    setPalette(dark);
    button_->setObjectName("PlayPause");
    button_->setAutoRaise(true);
    button_->setFocusPolicy(Qt::NoFocus);
    button_->setIconSize(QSize(kGlyph, kGlyph));
    digits_->setObjectName("Digits");
    // A label without a name of its own tells a screen reader each new text as a new name: once
    // a second while a video plays. The window's position bar says the time to a reader.
    digits_->setAccessibleName(QStringLiteral("播放时间"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 0, 6, 0);
    layout->addWidget(button_);
    layout->addStretch();
    layout->addWidget(digits_);
    connect(button_, &QToolButton::clicked, this, &PlayerBar::playPauseClicked);
    Show(false, 0, 0);
}

void PlayerBar::SetShowDigits(bool show) {
    digits_->setVisible(show);
}

void PlayerBar::Show(bool playing, double position, double duration) {
    // Called for every frame: repaint only what changed, or the whole window is composed again
    // each frame for nothing.
    if (playing != playing_ || !shown_) {
        button_->setIcon(Glyph(playing));
        playing_ = playing;
        shown_ = true;
    }
    const QString digits = QString::fromStdString(FormatSeconds(WindowSeconds(position)) + "/" +
                                                  FormatSeconds(WindowSeconds(duration)));
    if (digits != digits_->text())
        digits_->setText(digits);
}

} // namespace luming
