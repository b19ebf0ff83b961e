// Where a child left a programme: which positions are kept, forgotten and capped.
#include "playback/ResumePositions.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace luming;
using luming::test::ReadFile;
using luming::test::TempDir;
using luming::test::WriteFile;

TEST(ResumePositions, KeepsOnlyPositionsFromTenSecondsToNinetyFivePercent) {
    TempDir temp;
    ResumePositions positions(temp.dir() + "positions.ini");
    positions.Left(26, "101", 9, 200);
    positions.Left(26, "102", 10, 200);
    positions.Left(26, "103", 190, 200); // 95 % exactly
    positions.Left(26, "104", 191, 200);
    EXPECT_EQ(ReadFile(temp.dir() + "positions.ini"), "[26]\n102=10\n103=190\n");
    EXPECT_EQ(positions.ResumeAt(26, "103", 200), 190);
    EXPECT_EQ(positions.ResumeAt(26, "103", 199), std::nullopt) << "190 is past 95 % of 199";
    EXPECT_EQ(positions.ResumeAt(25, "103", 200), std::nullopt) << "another channel";

    positions.Finished(26, "102");
    positions.Left(26, "103", 3, 200); // left again near the start: nothing to go on from
    EXPECT_EQ(ReadFile(temp.dir() + "positions.ini"), "");
}

TEST(ResumePositions, TheLeastRecentlyLeftGoFirstPastFiveHundred) {
    TempDir temp;
    const std::string path = temp.dir() + "positions.ini";
    std::string many = "[25]\nold=20\n[26]\n";
    for (int id = 0; id < 499; ++id)
        many += std::to_string(id) + "=20\n";
    WriteFile(path, many + "garbage line\n");
    ResumePositions positions(path);
    positions.Left(26, "0", 30, 100); // left again: now the newest
    positions.Left(26, "new", 40, 100);
    EXPECT_EQ(positions.ResumeAt(25, "old", 100), std::nullopt) << "the oldest went";
    EXPECT_EQ(positions.ResumeAt(26, "1", 100), 20);
    EXPECT_EQ(positions.ResumeAt(26, "0", 100), 30);
    const std::string text = ReadFile(path);
    EXPECT_EQ(text.substr(0, 10), "[26]\n1=20\n");
    EXPECT_EQ(text.substr(text.size() - 12), "0=30\nnew=40\n");
}
