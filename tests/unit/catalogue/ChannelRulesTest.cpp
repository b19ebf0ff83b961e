#include "CatalogueFixture.h"
#include "catalogue/CatalogueReader.h"
#include "catalogue/TreeQueries.h"
#include "config/IniFile.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace luming;
using luming::test::ChannelFixture;
using luming::test::Item;

namespace {

// 0 A [1 a1]  2 B [3 B1 [4 b11]]  5 C [6 c1]  7 D (empty)  8 E [9 e1]
const std::vector<Item> kItems = {{"0", "A", "", "A"},      {"1", "11", "A", "a1"},
                                  {"0", "B", "", "B"},      {"0", "B1", "B", "B1"},
                                  {"4", "41", "B1", "b11"}, {"0", "C", "", "C"},
                                  {"2", "21", "C", "c1"},   {"0", "D", "", "D"},
                                  {"0", "E", "", "E"},      {"2", "22", "E", "e1"}};

struct ExpandCounter : ITreeObserver {
    int changes = 0;
    void ExpandedChanged(NodeIndex, bool) override { ++changes; }
};

class ChannelRulesTest : public ::testing::Test, public ChannelFixture {
protected:
    void SetUp() override {
        WriteCatalogue(kItems);
        Open();
    }
};

} // namespace

TEST_F(ChannelRulesTest, OpeningSelectsAndOpensTheFirstNode) {
    EXPECT_EQ(tree.Count(), 10u);
    EXPECT_EQ(tree.Selected(), 0u);
    EXPECT_TRUE(tree.Expanded(0));
    EXPECT_EQ(Images(), (std::vector<int>{1, 3, 0, 0, 6, 0, 4, 0, 0, 4}));
    EXPECT_EQ(state.CurrentIndex, 1); // nothing stored: the first programme
}

TEST_F(ChannelRulesTest, FolderClickClosesEveryFolderOffItsPath) {
    Click(5);
    Click(2); // sibling C (5) closes, B opens
    EXPECT_TRUE(tree.Expanded(2));
    EXPECT_FALSE(tree.Expanded(5));
    EXPECT_FALSE(tree.Expanded(0));
    Click(3); // inside B: B stays open
    EXPECT_TRUE(tree.Expanded(2));
    EXPECT_TRUE(tree.Expanded(3));
    Click(2); // B closes and so does its sub-folder
    EXPECT_FALSE(tree.Expanded(2));
    EXPECT_FALSE(tree.Expanded(3));
    EXPECT_EQ(Images(), (std::vector<int>{0, 3, 0, 0, 6, 0, 4, 0, 0, 4}));
    EXPECT_TRUE(player.played.empty());
}

TEST_F(ChannelRulesTest, StateChangesAreReportedOnlyWhenTheyHappen) {
    ExpandCounter counter;
    tree.AddObserver(&counter);
    Click(2); // B opens, A closes
    EXPECT_EQ(counter.changes, 2);
    tree.RemoveObserver(&counter);
}

TEST_F(ChannelRulesTest, ProgrammeClickBecomesCurrentIsRememberedAndPlays) {
    Click(9);
    EXPECT_EQ(state.CurrentIndex, 9);
    EXPECT_EQ(ReadIniValue(IniPath(), "Info", "26"), "9");
    EXPECT_EQ(player.played, (std::vector<std::string>{"22"}));
    EXPECT_EQ(ReadIniValue(IniPath(), "Info", "1"), "1"); // other values kept
}

TEST_F(ChannelRulesTest, EmptyFolderClickDoesNothing) {
    Click(7);
    EXPECT_TRUE(player.played.empty());
    EXPECT_EQ(ReadIniValue(IniPath(), "Info", "26"), "0");
    EXPECT_TRUE(tree.Expanded(0));
}

TEST_F(ChannelRulesTest, ProgrammePlaysWithoutLocalIni) {
    std::filesystem::remove(IniPath());
    Click(1);
    EXPECT_EQ(player.played.size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(IniPath()));
}

TEST_F(ChannelRulesTest, RestoresTheRememberedPosition) {
    const auto restored = [this](const std::string& stored) {
        WriteIniValue(IniPath(), "Info", "26", stored);
        Open();
        return state.CurrentIndex;
    };
    EXPECT_EQ(restored("6"), 6);
    EXPECT_EQ(restored("0"), 1);   // 0 stands for "nothing yet": the first programme
    EXPECT_EQ(restored("abc"), 0); // not a number
    EXPECT_EQ(restored("99"), 99); // beyond the end: corrected at start-up
    EXPECT_EQ(restored("-3"), 1);  // negative: no node, so the first programme
    EXPECT_EQ(tree.Count(), 10u);  // reopening replaced the tree rather than adding to it
}

TEST(ChannelRules, FirstProgrammeFurtherDownAndBadFiles) {
    ChannelFixture fixture;
    fixture.WriteCatalogue({{"0", "A", "", "A"},
                            {"0", "B", "A", "B"},
                            {"0", "E", "B", "empty"},
                            {"1", "1", "B", "p"}});
    fixture.Open();
    EXPECT_EQ(fixture.state.CurrentIndex, 3);

    fixture.WriteCatalogue("<r><e><id>1</id></e>");
    EXPECT_THROW(fixture.Open(), CatalogueFormatError);
    EXPECT_EQ(fixture.tree.Count(), 0u);

    std::filesystem::remove(ChannelRules::CatalogueFileName(fixture.dir.dir(), 26));
    fixture.Open();
    EXPECT_EQ(fixture.tree.Count(), 0u);
    EXPECT_EQ(fixture.state.CurrentIndex, 0);
    fixture.rules.tv1Click(); // nothing selected
}

TEST(TreeQueries, CountChildrenStopsAtTheFirstDeeperNode) {
    ChannelFixture fixture;
    fixture.WriteCatalogue({{"0", "F", "", "F"},
                            {"1", "1", "F", "p1"},
                            {"1", "2", "F", "p2"},
                            {"0", "S", "F", "sub"},
                            {"1", "3", "S", "s1"},
                            {"1", "4", "F", "p3"}});
    fixture.Open();
    EXPECT_EQ(CountChildren(fixture.tree, 0), 3); // p1, p2, sub; stops at s1
    EXPECT_EQ(CountChildren(fixture.tree, 1), 0);
    EXPECT_EQ(CountChildren(fixture.tree, kNoNode), 0);
    EXPECT_EQ(getFirstPlay(fixture.tree), 1);
}

TEST(TreeQueries, AFlashMovieIsNearItselfAndItsOwnFolderOnly) {
    ChannelFixture fixture;
    fixture.WriteCatalogue({{"0", "F", "", "F"},
                            {"4", "1", "F", "video"},
                            {"0", "S", "F", "sub"},
                            {"1", "2", "S", "flash"},
                            {"0", "G", "", "G"},
                            {"2", "3", "G", "audio"},
                            {"1", "4", "G", "flash"}});
    fixture.Open();
    EXPECT_FALSE(FlashMovieNear(fixture.tree, 0)) << "only in a folder below";
    EXPECT_FALSE(FlashMovieNear(fixture.tree, 1));
    EXPECT_TRUE(FlashMovieNear(fixture.tree, 2));
    EXPECT_TRUE(FlashMovieNear(fixture.tree, 3));
    EXPECT_TRUE(FlashMovieNear(fixture.tree, 5)) << "a sibling";
    EXPECT_FALSE(FlashMovieNear(fixture.tree, kNoNode));
}

TEST_F(ChannelRulesTest, SelectNodeByIdOpensTheWayToTheLastMatchAndClosesTheRest) {
    Click(5); // C open
    EXPECT_EQ(rules.SelectNodeById("41"), 4u);
    EXPECT_EQ(tree.Selected(), 4u);
    EXPECT_TRUE(tree.Expanded(2));
    EXPECT_TRUE(tree.Expanded(3));
    EXPECT_FALSE(tree.Expanded(5));
    EXPECT_EQ(rules.SelectNodeById("e1"), kNoNode) << "ids, not names, and letter case counts";
    EXPECT_EQ(tree.Selected(), kNoNode);
    EXPECT_FALSE(tree.Expanded(2));
}
