#include "config/WholeNumbers.h"
#include "shell/ScrollThumb.h"
#include "shell/WindowShape.h"

#include <gtest/gtest.h>

using namespace luming;

namespace {

// The design sizes: a tree 520 high, a bar 3 shorter, ends of 9, caps of 3.
ScrollBarMetrics Design(int treeHeight = 520) {
    ScrollBarMetrics metrics;
    metrics.treeHeight = treeHeight;
    metrics.barHeight = treeHeight - 3;
    metrics.trackHeight = metrics.barHeight - 18;
    return metrics;
}

} // namespace

TEST(ScrollThumb, TheBarShowsOnceRowsTimesTwentyEightReachTheTreeHeight) {
    const ScrollBarMetrics metrics = Design(560);
    EXPECT_FALSE(ThumbForRows(metrics, 19, 0)) << "19 × 28 = 532 < 560";
    EXPECT_TRUE(ThumbForRows(metrics, 20, 0)) << "20 × 28 = 560: shown although 24-pixel rows fit";
}

TEST(ScrollThumb, PlacesTheThumbFromTheRowsAboveTheView) {
    const ScrollBarMetrics metrics = Design();
    // 100 rows: body = round((499 − 4) × 520 / 2800) − 40 = 92 − 40 = 52.
    const auto top = ThumbForRows(metrics, 100, 0);
    ASSERT_TRUE(top);
    EXPECT_EQ(*top, (ThumbPlace{8, 11, 52, 63}));

    // 30 rows above: step = (495 − 52) / 100 = 4.43; 30 × 4.43 = 132.9 → 133.
    const auto middle = ThumbForRows(metrics, 100, 30);
    ASSERT_TRUE(middle);
    EXPECT_EQ(middle->upperCapTop, 141);

    // Fewer rows than a page (520 / 28 = 18.57) from the top row to the end: pinned to the bottom.
    const auto bottom = ThumbForRows(metrics, 100, 82);
    ASSERT_TRUE(bottom);
    EXPECT_EQ(bottom->lowerCapTop, 517 - 8 - 3);
    EXPECT_EQ(bottom->bodyTop, bottom->lowerCapTop - 52);
    EXPECT_EQ(bottom->upperCapTop, bottom->bodyTop - 3);
}

TEST(ScrollThumb, AManyRowedTreeKeepsABodyToGrab) {
    const ScrollBarMetrics metrics = Design();
    EXPECT_EQ(ThumbBodyHeight(metrics, 100000), kMinimumThumbBody);
    const auto thumb = ThumbForRows(metrics, 100000, 50000);
    ASSERT_TRUE(thumb);
    EXPECT_GE(thumb->upperCapTop, kThumbMargin);
    EXPECT_LE(thumb->lowerCapTop + 3, metrics.barHeight - kThumbMargin);
}

TEST(ScrollThumb, DraggingStaysBetweenTheMarginsAndPicksARow) {
    const ScrollBarMetrics metrics = Design();
    const ThumbPlace start = *ThumbForRows(metrics, 100, 0);

    EXPECT_EQ(DraggedThumb(metrics, start, 10, 20).upperCapTop, 8) << "above the top margin";
    const ThumbPlace moved = DraggedThumb(metrics, start, 30, 10); // 20 pixels down
    EXPECT_EQ(moved.bodyTop, 31);
    EXPECT_EQ(moved.upperCapTop, 28);
    EXPECT_EQ(moved.lowerCapTop, 83);
    // (28 − 8) / 4.43 = 4.51 → row 5.
    EXPECT_EQ(FirstRowForThumb(metrics, moved, 100, 100), 5);

    // All the way down: the row equals the tag, which is no row at all.
    const ThumbPlace bottom = DraggedThumb(metrics, start, 1000, 0);
    EXPECT_EQ(bottom, ThumbAtBottom(metrics, start.bodyHeight));
    EXPECT_EQ(FirstRowForThumb(metrics, bottom, 100, 100), std::nullopt);
}

TEST(ScrollThumb, NinetyNineRowsAreTaggedAHundred) {
    EXPECT_EQ(TreeTagFor(99), 100);
    EXPECT_EQ(TreeTagFor(98), 98);
    EXPECT_EQ(TreeTagFor(100), 100);
    const ScrollBarMetrics metrics = Design();
    const ThumbPlace thumb = ThumbFromTop(metrics, 50, 8 + 100);
    // The drag divides by the tag (100), the update divided by the rows (99).
    EXPECT_EQ(FirstRowForThumb(metrics, thumb, 100, 99),
              RoundHalfEven(100 / ((499.0 - 4 - 50) / 100)));
    EXPECT_EQ(FirstRowForThumb(metrics, thumb, 0, 99), std::nullopt) << "tag 0: no scrolling";
}

TEST(ScrollThumb, RoundsHalvesToEven) {
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(3.5), 4);
    EXPECT_EQ(RoundHalfEven(-0.5), 0);
}

TEST(WindowShape, RegionIsWiderAndTallerThanTheWindowAndTheOutlineInside) {
    const QRegion region = RoundedWindowRegion({823, 592});
    EXPECT_EQ(region.boundingRect(), QRect(0, 0, 825, 593));
    EXPECT_FALSE(region.contains(QPoint(0, 0))) << "rounded corner";
    EXPECT_TRUE(region.contains(QPoint(411, 0)));
    EXPECT_EQ(OutlineRect({823, 592}), QRectF(0.5, 0.5, 822, 591));
    const QRegion band = OutlineBand({823, 592});
    EXPECT_TRUE(band.contains(QPoint(0, 300)));
    EXPECT_FALSE(band.contains(QPoint(400, 300)));
}
