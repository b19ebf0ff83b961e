#pragma once

#include <cstdint>

namespace luming {

// The position bar in pixels: the whole bar, the loaded part inside it (from its left edge) and
// the knob, a sibling of the bar. The knob's left edge runs from barLeft (value 0) to
// barLeft + barWidth - knobWidth (value = total).
struct BarGeometry {
    int barLeft = 0;
    int barWidth = 0;
    int loadedWidth = 0;
    int knobLeft = 0;
    int knobWidth = 0;
};

// The knob's left for `value` out of `total`, rounded down; `knobLeft` when the total is 0 or
// less or the place does not fit.
int KnobLeftFor(int32_t value, int32_t total, const BarGeometry& bar);

// The value under the knob, rounded to nearest (halves to even); -1 for a total of 0 or less.
int32_t KnobValue(int32_t total, const BarGeometry& bar);

// The loaded part's width for `percent` (-1 leaves it); a full bar is 2 pixels narrower than the
// whole bar.
int LoadWidthFor(int32_t percent, const BarGeometry& bar);

// The loaded width once the player stands at `pos` of `total`: full for a local file; otherwise
// the larger of the played share and the vendor's download percent (-1: unknown, no change).
int LoadWidthAfterUpdate(int32_t pos, int32_t total, bool playingLocal, int32_t vendorPercent,
                         const BarGeometry& bar);

// The knob's left after a mouse move to `x` (inside the knob) while it is dragged from `grabX`:
// never left of the bar, never past the loaded part.
int DraggedKnobLeft(int x, int grabX, const BarGeometry& bar);

// The knob's left centred on `x`, measured from the bar's left edge.
int CentredKnobLeft(int x, const BarGeometry& bar);

} // namespace luming
