#pragma once

#include <QRect>

namespace luming {

// `window` moved so that it lies wholly inside `area` (the part of the screen the desktop leaves
// free); a window larger than the area keeps its size and its top left corner in the area, where
// its title bar begins.
QRect KeptWithin(QRect window, const QRect& area);

} // namespace luming
