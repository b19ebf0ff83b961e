#pragma once

#include <QImage>
#include <QWidget>

struct mpv_handle;

namespace luming {

class MpvVideoWindow;

// Where an mpv player's picture shows among the widgets. While it moves, it is drawn live into a
// native child window (MpvVideoWindow). A native window covers every non-native widget laid over
// it, so while the picture stands still it is painted here as a plain image, and widgets over it
// (the pause advertisement) show above it.
class MpvVideoView : public QWidget {
    Q_OBJECT
public:
    MpvVideoView(mpv_handle* mpv, QWidget* parent);

    void SetStill(bool still);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void AskForStill();

    MpvVideoWindow* window_;
    QWidget* container_;
    bool still_ = false;
    QImage image_;
};

} // namespace luming
