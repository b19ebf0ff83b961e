#include "catalogue/PlayOrder.h"
#include "CatalogueFixture.h"

#include <gtest/gtest.h>

using namespace luming;
using luming::test::ChannelFixture;
using luming::test::Item;
using luming::test::MessageLog;

namespace {

// 0 F [1 p1, 2 p2, 3 p3]  4 G [5 solo]  6 top1  7 top2
const std::vector<Item> kCatalogue = {
    {"0", "F", "", "F"}, {"1", "1", "F", "p1"},   {"1", "2", "F", "p2"},  {"1", "3", "F", "p3"},
    {"0", "G", "", "G"}, {"2", "4", "G", "solo"}, {"4", "5", "", "top1"}, {"4", "6", "", "top2"}};

RandomBelow Always(int value) {
    return [value](int n) { return value < n ? value : n - 1; };
}

class PlayOrderTest : public ::testing::Test, public ChannelFixture {
protected:
    void SetUp() override {
        WriteCatalogue(kCatalogue);
        Open();
    }
    // The index the step would click, -1 for nothing, -2 for the end of the list.
    long Next(int current, const char* mode, bool automatic = true, int random = 0) {
        return Index(PlayNext(tree, current, mode, automatic, Always(random)));
    }
    static long Index(const PlayStep& step) {
        switch (step.kind) {
        case PlayStep::Kind::Click:
            return step.node;
        case PlayStep::Kind::EndOfList:
            return -2;
        case PlayStep::Kind::Nothing:
            break;
        }
        return -1;
    }
};

} // namespace

TEST_F(PlayOrderTest, LoopAndNextButtonWrapToTheFirstOfTheFolder) {
    EXPECT_EQ(Next(1, "0"), 2);
    EXPECT_EQ(Next(3, "0"), 1);
    EXPECT_EQ(Next(3, "1", false), 1); // the next button ignores the mode
    EXPECT_EQ(Next(7, "0"), 6);        // top level: wraps within the run of top-level nodes
}

TEST_F(PlayOrderTest, SequenceEndsWithTheMessage) {
    EXPECT_EQ(Next(2, "1"), 3);
    EXPECT_EQ(Next(3, "1"), -2);
    MessageLog dialogs;
    TakePlayStep(PlayNext(tree, 3, "1", true, Always(0)), tree, rules, dialogs);
    EXPECT_EQ(dialogs.information, (std::vector<std::string>{"节目列表按顺序播放完成!"}));
    EXPECT_TRUE(player.played.empty());
}

TEST_F(PlayOrderTest, RepeatReplaysTheSelectedNode) {
    Click(2);
    EXPECT_EQ(Next(2, "2"), 2);
    EXPECT_EQ(Next(2, "x"), 2); // an unreadable mode behaves the same
}

TEST_F(PlayOrderTest, RandomNeverRepeatsInAFolderOfTwoOrMore) {
    for (int pick = 0; pick < 3; ++pick)
        for (int current = 1; current <= 3; ++current) {
            const long target = Next(current, "3", true, pick);
            EXPECT_NE(target, current);
            EXPECT_GE(target, 1);
            EXPECT_LE(target, 3);
        }
    EXPECT_EQ(Next(5, "3"), 5);          // a folder of one: the same programme again
    EXPECT_EQ(Next(6, "3", true, 0), 7); // top level: top1 and top2 form the folder
}

TEST_F(PlayOrderTest, PreviousFromTheFirstGoesToTheLast) {
    EXPECT_EQ(Index(PlayPrevious(tree, 3)), 2);
    EXPECT_EQ(Index(PlayPrevious(tree, 1)), 3);
    EXPECT_EQ(Index(PlayPrevious(tree, 5)), 5);
    EXPECT_EQ(Index(PlayPrevious(tree, 6)), 7);
}

TEST_F(PlayOrderTest, NothingBeyondTheEnd) {
    EXPECT_EQ(Next(8, "0"), -1);
    EXPECT_EQ(Next(-1, "0", false), -1);
    EXPECT_EQ(Index(PlayPrevious(tree, 99)), -1);
    MessageLog dialogs;
    TakePlayStep(PlayPrevious(tree, 99), tree, rules, dialogs);
    EXPECT_TRUE(player.played.empty());
}

// A folder's sub-folders (full or empty) are not programmes: the play list passes over them.
TEST_F(PlayOrderTest, SubFoldersArePassedOver) {
    // 0 T [1 a, 2 b, 3 L [4 c, 5 d], 6 E (empty)]
    WriteCatalogue(std::vector<Item>{{"0", "T", "", "T"},
                                     {"4", "1", "T", "a"},
                                     {"4", "2", "T", "b"},
                                     {"0", "L", "T", "L"},
                                     {"2", "4", "L", "c"},
                                     {"2", "5", "L", "d"},
                                     {"0", "E", "T", "E"}});
    Open();
    EXPECT_EQ(Next(2, "0"), 1);
    EXPECT_EQ(Next(2, "1", false), 1);
    EXPECT_EQ(Next(2, "1"), -2);
    EXPECT_EQ(Next(1, "3", true, 0), 2);
    EXPECT_EQ(Next(2, "3", true, 1), 1);
    EXPECT_EQ(Index(PlayPrevious(tree, 1)), 2);
    EXPECT_EQ(Next(5, "0"), 4); // inside the inner folder
    EXPECT_EQ(Index(PlayPrevious(tree, 4)), 5);
}

TEST_F(PlayOrderTest, TakingAStepPlaysAndRemembers) {
    MessageLog dialogs;
    TakePlayStep(PlayNext(tree, 1, "0", true, Always(0)), tree, rules, dialogs);
    EXPECT_EQ(state.CurrentIndex, 2);
    EXPECT_EQ(player.played, (std::vector<std::string>{"2"}));
}
