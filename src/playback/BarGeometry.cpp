#include "playback/BarGeometry.h"

#include "config/WholeNumbers.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace luming {

namespace {

// Products "taken in 32-bit integers" wrap as the original arithmetic did.
int32_t Wrapped32(int64_t value) {
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(value)));
}

// A share out of 100, as whole percent: Round(a * 100 / b).
int32_t PercentOf(int32_t part, int32_t whole) {
    return RoundHalfEven(Wrapped32(int64_t{part} * 100) / static_cast<double>(whole));
}

} // namespace

int KnobLeftFor(int32_t value, int32_t total, const BarGeometry& bar) {
    if (total <= 0)
        return bar.knobLeft;
    const double step = static_cast<double>(bar.barWidth - bar.knobWidth) / total;
    const double offset = std::floor(step * value);
    if (!std::isfinite(offset) || std::abs(offset) > std::numeric_limits<int32_t>::max() / 2)
        return bar.knobLeft;
    return bar.barLeft + static_cast<int>(offset);
}

int32_t KnobValue(int32_t total, const BarGeometry& bar) {
    if (total <= 0)
        return -1;
    const double step = static_cast<double>(bar.barWidth - bar.knobWidth) / total;
    if (step == 0)
        return -1; // a bar no wider than the knob has no positions to read
    return RoundHalfEven((bar.knobLeft - bar.barLeft) / step);
}

int LoadWidthFor(int32_t percent, const BarGeometry& bar) {
    int width = bar.loadedWidth;
    if (percent != -1)
        width = RoundHalfEven(Wrapped32(int64_t{percent} * bar.barWidth) / 100.0);
    if (percent == 100)
        width -= 2;
    return std::max(width, 0);
}

int LoadWidthAfterUpdate(int32_t pos, int32_t total, bool playingLocal, int32_t vendorPercent,
                         const BarGeometry& bar) {
    if (total == 0)
        return bar.loadedWidth;
    if (playingLocal)
        return LoadWidthFor(100, bar);
    if (vendorPercent == -1)
        return bar.loadedWidth;
    return LoadWidthFor(std::max(PercentOf(pos, total), vendorPercent), bar);
}

int DraggedKnobLeft(int x, int grabX, const BarGeometry& bar) {
    const int moved = bar.knobLeft + (x - grabX);
    if (moved < bar.barLeft)
        return bar.barLeft;
    if (moved > bar.barLeft + bar.loadedWidth)
        return std::max(bar.barLeft, bar.barLeft + bar.loadedWidth - bar.knobWidth);
    return moved;
}

int CentredKnobLeft(int x, const BarGeometry& bar) {
    return x + bar.barLeft - RoundHalfEven(bar.knobWidth / 2.0);
}

} // namespace luming
