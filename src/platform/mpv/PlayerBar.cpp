#include "platform/mpv/PlayerBar.h"

#include "config/FormatSeconds.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QToolButton>

namespace luming {

namespace {

constexpr int kHeight = 22;

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
    button_->setIconSize(QSize(kHeight - 8, kHeight - 8));
    digits_->setObjectName("Digits");
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
    button_->setIcon(style()->standardIcon(playing ? QStyle::SP_MediaPause : QStyle::SP_MediaPlay));
    digits_->setText(QString::fromStdString(FormatSeconds(static_cast<int64_t>(position)) + "/" +
                                            FormatSeconds(static_cast<int64_t>(duration))));
}

} // namespace luming
