#include "shell/WindowPlacement.h"

#include <QEvent>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace luming {

QRect KeptWithin(QRect window, const QRect& area) {
    if (!area.isValid())
        return window;
    window.moveLeft(std::max(std::min(window.left(), area.right() + 1 - window.width()), area.left()));
    window.moveTop(std::max(std::min(window.top(), area.bottom() + 1 - window.height()), area.top()));
    return window;
}

DesktopStateKeeper::DesktopStateKeeper(QWidget* window, std::function<Qt::WindowStates()> wanted)
    : QObject(window), window_(window), wanted_(std::move(wanted)) {
    window->installEventFilter(this);
}

bool DesktopStateKeeper::eventFilter(QObject* watched, QEvent* event) {
    // The new native window exists and is not shown yet: the state goes with its showing.
    if (watched == window_ && event->type() == QEvent::WinIdChange && window_->windowHandle())
        AskDesktopFor(window_, wanted_());
    return QObject::eventFilter(watched, event);
}

void AskDesktopFor(QWidget* window, Qt::WindowStates wanted) {
    constexpr Qt::WindowStates kDesktopStates = Qt::WindowMaximized | Qt::WindowFullScreen;
    wanted &= kDesktopStates;
    if ((window->windowState() & kDesktopStates) != wanted)
        window->setWindowState((window->windowState() & ~kDesktopStates) | wanted);
    QWindow* native = window->windowHandle();
    if (native && (native->windowStates() & kDesktopStates) != wanted)
        native->setWindowStates((native->windowStates() & ~kDesktopStates) | wanted);
}

} // namespace luming
