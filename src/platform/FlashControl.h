#pragma once

#include "playback/PlayerInterfaces.h"

#include <QWidget>

namespace luming {

// The Flash control of the window: a widget in the play area with the operations the playback
// rules use. The real one plays with libmpv and Ruffle; tests use fakes.
class FlashControl : public QWidget, public IFlashControl {
    Q_OBJECT
public:
    using QWidget::QWidget;

    // Asks the player movie to fill the screen itself, or to come back; other movies ignore it.
    virtual void SetMovieFullScreen(bool on) = 0;
    // A Flash movie may be asked for soon (one is within the child's reach): its engine, when
    // it has to be made first, gets ready in the background.
    virtual void PrepareFlashMovie() {}

signals:
    // The player movie went into its own full screen (a double click) or came back (Escape).
    void fullScreenChanged(bool on);
};

} // namespace luming
