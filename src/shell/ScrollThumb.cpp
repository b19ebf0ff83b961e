#include "shell/ScrollThumb.h"

#include "config/WholeNumbers.h"

#include <cmath>

namespace luming {

int TreeTagFor(int rows) {
    return rows == 99 ? 100 : rows;
}

int ThumbBodyHeight(const ScrollBarMetrics& metrics, int rows) {
    const long long product = static_cast<long long>(metrics.trackHeight - 4) * metrics.treeHeight;
    const int body = RoundHalfEven(static_cast<double>(product) /
                                   (static_cast<double>(rows) * kScrollRowHeight)) -
                     40;
    return body < kMinimumThumbBody ? kMinimumThumbBody : body;
}

ThumbPlace ThumbFromTop(const ScrollBarMetrics& metrics, int bodyHeight, int upperCapTop) {
    ThumbPlace thumb;
    thumb.upperCapTop = upperCapTop;
    thumb.bodyTop = upperCapTop + metrics.upperCapHeight;
    thumb.bodyHeight = bodyHeight;
    thumb.lowerCapTop = thumb.bodyTop + bodyHeight;
    return thumb;
}

ThumbPlace ThumbAtBottom(const ScrollBarMetrics& metrics, int bodyHeight) {
    ThumbPlace thumb;
    thumb.lowerCapTop = metrics.barHeight - kThumbMargin - metrics.lowerCapHeight;
    thumb.bodyTop = thumb.lowerCapTop - bodyHeight;
    thumb.bodyHeight = bodyHeight;
    thumb.upperCapTop = thumb.bodyTop - metrics.upperCapHeight;
    return thumb;
}

std::optional<ThumbPlace> ThumbForRows(const ScrollBarMetrics& metrics, int rows, int rowsAbove) {
    if (rows <= 0 || static_cast<long long>(rows) * kScrollRowHeight < metrics.treeHeight)
        return std::nullopt;
    const int body = ThumbBodyHeight(metrics, rows);
    const double step = static_cast<double>(metrics.trackHeight - 4 - body) / rows;
    if (rowsAbove == 0)
        return ThumbFromTop(metrics, body, kThumbMargin);
    if (rows - rowsAbove >= static_cast<double>(metrics.treeHeight) / kScrollRowHeight)
        return ThumbFromTop(metrics, body, RoundHalfEven(rowsAbove * step) + kThumbMargin);
    return ThumbAtBottom(metrics, body);
}

ThumbPlace DraggedThumb(const ScrollBarMetrics& metrics, const ThumbPlace& thumb, int pointerY,
                        int grabY) {
    const int body = thumb.bodyHeight;
    const int wanted = thumb.bodyTop + (pointerY - grabY);
    if (wanted < metrics.upperCapHeight + kThumbMargin)
        return ThumbFromTop(metrics, body, kThumbMargin);
    if (wanted > metrics.barHeight - kThumbMargin - metrics.lowerCapHeight - body)
        return ThumbAtBottom(metrics, body);
    return ThumbFromTop(metrics, body, wanted - metrics.upperCapHeight);
}

std::optional<int> FirstRowForThumb(const ScrollBarMetrics& metrics, const ThumbPlace& thumb,
                                    int tag, int rows) {
    if (tag == 0)
        return std::nullopt;
    const double step = static_cast<double>(metrics.trackHeight - 4 - thumb.bodyHeight) / tag;
    // No room to travel: the thumb stands for the whole tree, nothing to scroll to.
    if (step <= 0)
        return std::nullopt;
    const int row = RoundHalfEven((thumb.upperCapTop - kThumbMargin) / step);
    if (row < 0 || row >= rows)
        return std::nullopt;
    return row;
}

} // namespace luming
