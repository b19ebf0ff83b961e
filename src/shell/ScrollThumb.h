#pragma once

#include <optional>

namespace luming {

// The arithmetic of the drawn tree scroll bar. It works on rows, not pixels: the bar assumes
// 28 pixels a row and keeps the thumb between 8-pixel margins at both ends of the bar.
inline constexpr int kScrollRowHeight = 28;
inline constexpr int kThumbMargin = 8;
// Many rows in a short tree would leave the thumb without a body; this much stays to grab.
inline constexpr int kMinimumThumbBody = 8;

// The heights the arithmetic depends on.
struct ScrollBarMetrics {
    int treeHeight = 0;  // the tree's height
    int trackHeight = 0; // the track picture between the end pieces
    int barHeight = 0;   // the whole bar
    int upperCapHeight = 3;
    int lowerCapHeight = 3;
};

// Where the three pieces of the thumb stand (tops), and the body's height.
struct ThumbPlace {
    int upperCapTop = 0;
    int bodyTop = 0;
    int bodyHeight = 0;
    int lowerCapTop = 0;
    bool operator==(const ThumbPlace&) const = default;
};

// The number the tree keeps as its tag for `rows` visible rows (99 is the skin's own tag).
int TreeTagFor(int rows);

// The thumb body's height for `rows` visible rows.
int ThumbBodyHeight(const ScrollBarMetrics& metrics, int rows);

// The thumb with its upper cap at `upperCapTop`, the other pieces following downward.
ThumbPlace ThumbFromTop(const ScrollBarMetrics& metrics, int bodyHeight, int upperCapTop);
// The thumb pinned to the bottom of the bar.
ThumbPlace ThumbAtBottom(const ScrollBarMetrics& metrics, int bodyHeight);

// The thumb for `rows` visible rows of which `rowsAbove` lie above the first row in view;
// nothing when every row fits (the bar is hidden then). Needs rows > 0.
std::optional<ThumbPlace> ThumbForRows(const ScrollBarMetrics& metrics, int rows, int rowsAbove);

// The thumb after the pointer moved to `pointerY` (inside the body) while it was grabbed at
// `grabY`.
ThumbPlace DraggedThumb(const ScrollBarMetrics& metrics, const ThumbPlace& thumb, int pointerY,
                        int grabY);

// The visible row that the dragged thumb asks to show first, given the tree's tag; nothing when
// the tree is not to scroll (tag 0, or a row past the last of `rows`).
std::optional<int> FirstRowForThumb(const ScrollBarMetrics& metrics, const ThumbPlace& thumb,
                                    int tag, int rows);

} // namespace luming
