#pragma once

#include "playback/PlayerInterfaces.h"

#include <QWidget>

namespace luming {

// The hidden audio player of the window (1 by 1 pixel, never shown). The real one plays with
// libmpv; tests use fakes.
class MediaPlayer : public QWidget, public IMediaPlayer {
    Q_OBJECT
public:
    using QWidget::QWidget;
};

} // namespace luming
