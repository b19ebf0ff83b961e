#include "shell/WindowPlacement.h"

#include <algorithm>

namespace luming {

QRect KeptWithin(QRect window, const QRect& area) {
    if (!area.isValid())
        return window;
    window.moveLeft(std::max(std::min(window.left(), area.right() + 1 - window.width()), area.left()));
    window.moveTop(std::max(std::min(window.top(), area.bottom() + 1 - window.height()), area.top()));
    return window;
}

} // namespace luming
