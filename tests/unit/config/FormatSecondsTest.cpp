#include "config/FormatSeconds.h"

#include <gtest/gtest.h>

using luming::FormatSeconds;

TEST(FormatSeconds, MinutesAndSecondsThenHoursFromOneHourOn) {
    EXPECT_EQ(FormatSeconds(0), "00:00");
    EXPECT_EQ(FormatSeconds(9), "00:09");
    EXPECT_EQ(FormatSeconds(75), "01:15");
    EXPECT_EQ(FormatSeconds(3599), "59:59");
    EXPECT_EQ(FormatSeconds(3600), "1:00:00");
    EXPECT_EQ(FormatSeconds(3725), "1:02:05");
    EXPECT_EQ(FormatSeconds(36000 * 10), "100:00:00");
}

TEST(FormatSeconds, NegativeTimesReadZero) {
    EXPECT_EQ(FormatSeconds(-1), "00:00");
    EXPECT_EQ(FormatSeconds(INT64_MIN), "00:00");
}
