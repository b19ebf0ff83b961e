#pragma once

#include <QRegion>
#include <QSize>

namespace luming {

// The window's rounded shape: a rectangle from (0, 0) to (width + 2, height + 1) with corner
// ellipses of 10 × 10 pixels.
QRegion RoundedWindowRegion(QSize window);

// The drawn outline: a rounded rectangle from (0, 0) to (width − 1, height − 1) with corner
// ellipses of 21 × 21, one pixel wide, in grey.
inline constexpr int kOutlineCornerDiameter = 21;
QRectF OutlineRect(QSize window);

// The band along the window's edge where the outline lies (the rest of the window is left alone).
QRegion OutlineBand(QSize window);

} // namespace luming
