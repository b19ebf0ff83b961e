#pragma once

#include <QObject>
#include <QRect>

#include <functional>

class QWidget;

namespace luming {

// `window` moved so that it lies wholly inside `area` (the part of the screen the desktop leaves
// free); a window larger than the area keeps its size and its top left corner in the area, where
// its title bar begins.
QRect KeptWithin(QRect window, const QRect& area);

// Asks the desktop (window manager, Wayland compositor) for `wanted` of the states it keeps for
// `window`, maximised and full screen; other states stay. The widget and its native window are
// both set: a move or resize makes Qt forget the widget's state, not the native window's.
void AskDesktopFor(QWidget* window, Qt::WindowStates wanted);

// Keeps what the desktop was asked for a window (maximised, full screen) when Qt makes the
// window's native window anew, as it does when a child that draws with OpenGL (the video
// picture) is made while the window is shown: the new one would start in no state, and the
// desktop would restore the window. `wanted` tells the states the window should have.
class DesktopStateKeeper : public QObject {
public:
    DesktopStateKeeper(QWidget* window, std::function<Qt::WindowStates()> wanted);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* window_;
    std::function<Qt::WindowStates()> wanted_;
};

} // namespace luming
