#include "CatalogueFixture.h"
#include "catalogue/CatalogueSearch.h"

#include <gtest/gtest.h>

using namespace luming;
using luming::test::ChannelFixture;
using luming::test::Item;
using luming::test::MessageLog;

namespace {

// 0 Poems [1 Moon song, 2 moon night, 3 Moon folder [4 river]]  5 empty Moon box
const std::vector<Item> kCatalogue = {
    {"0", "P", "", "Poems"},        {"1", "1", "P", "Moon song"}, {"4", "2", "P", "moon night"},
    {"0", "M", "P", "Moon folder"}, {"2", "3", "M", "river"},     {"0", "E", "", "empty Moon box"}};

class SearchTest : public ::testing::Test, public ChannelFixture {
protected:
    SearchTest() : search(tree, rules, dialogs) {}
    void SetUp() override {
        WriteCatalogue(kCatalogue);
        Open();
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> out;
        for (NodeIndex n = 0; n < tree.Count(); ++n)
            out.emplace_back(tree.Text(n));
        return out;
    }

    MessageLog dialogs;
    CatalogueSearch search;
};

} // namespace

TEST_F(SearchTest, ListsMatchingLeavesCaseSensitivelyAndOpensTheResults) {
    EXPECT_TRUE(search.imgSearchClick("  Moon\t"));
    // The folder "Moon folder" is not listed, the empty folder is; "moon night" is not.
    EXPECT_EQ(Texts(), (std::vector<std::string>{"Poems", "Moon song", "moon night", "Moon folder",
                                                 "river", "empty Moon box", "搜索结果", "Moon song",
                                                 "empty Moon box"}));
    EXPECT_EQ(tree.Parent(7), 6u);
    EXPECT_EQ(Images(), (std::vector<int>{0, 3, 6, 0, 4, 0, 1, 3, 2}));
    EXPECT_TRUE(tree.Expanded(6));
    EXPECT_FALSE(tree.Expanded(0)); // the first node closed by the click on the results
    // Entries share the records of the nodes they were found at.
    EXPECT_EQ(&tree.Play(7), &tree.Play(1));
    const TKrvPlay& results = tree.Play(6);
    EXPECT_EQ(results.Id, "0");
    EXPECT_EQ(results.FileType, "0");
    EXPECT_EQ(results.Pid, "");
}

TEST_F(SearchTest, SearchingTwiceKeepsOneResultsNode) {
    search.imgSearchClick("Moon");
    search.imgSearchClick("Moon");
    EXPECT_EQ(tree.Count(), 9u);
    EXPECT_EQ(search.ResultsNode(), 6u);
    search.imgSearchClick("river");
    EXPECT_EQ(tree.Count(), 8u);
    EXPECT_EQ(tree.Text(7), "river");
}

TEST_F(SearchTest, MessagesForNoKeywordAndNoHit) {
    search.imgSearchClick("Moon");
    EXPECT_FALSE(search.imgSearchClick("   "));
    EXPECT_FALSE(search.imgSearchClick("搜索关键词"));
    EXPECT_EQ(tree.Count(), 9u); // no search ran
    EXPECT_FALSE(search.imgSearchClick("sun"));
    EXPECT_EQ(tree.Count(), 6u); // the earlier results are gone
    EXPECT_EQ(dialogs.information, (std::vector<std::string>{"请输入搜索关键词", "请输入搜索关键词",
                                                             "没有找到相关的信息"}));
}

TEST_F(SearchTest, PlayingAResultRemembersItsIndex) {
    search.imgSearchClick("river");
    Click(7);
    EXPECT_EQ(state.CurrentIndex, 7);
    EXPECT_EQ(player.played, (std::vector<std::string>{"3"}));
}

TEST(Search, CatalogueEntryNamedLikeTheResultsStays) {
    ChannelFixture fixture;
    fixture.WriteCatalogue({{"0", "R", "", "搜索结果"}, {"1", "1", "R", "own entry"}});
    fixture.Open();
    MessageLog dialogs;
    CatalogueSearch search(fixture.tree, fixture.rules, dialogs);
    search.imgSearchClick("own");
    search.imgSearchClick("own");
    ASSERT_EQ(fixture.tree.Count(), 4u);
    EXPECT_EQ(fixture.tree.Play(0).Id, "R");
    EXPECT_EQ(search.ResultsNode(), 2u);
    search.delSearchResult();
    EXPECT_EQ(fixture.tree.Count(), 2u);
    search.delSearchResult();
    EXPECT_EQ(fixture.tree.Count(), 2u);
}

TEST_F(SearchTest, SearchBoxEvents) {
    SearchBox box(search);
    box.edtkeyChange(std::string(kSearchPlaceholder));
    box.edtkeyEnter();
    EXPECT_EQ(box.Text(), "");
    box.edtkeyChange("Moon");
    box.edtkeyKeyDown('M'); // other keys only edit
    EXPECT_EQ(tree.Count(), 6u);
    box.edtkeyKeyDown(kEnterKey);
    EXPECT_EQ(tree.Count(), 9u);
    box.edtkeyChange(" ");
    EXPECT_EQ(tree.Count(), 6u); // emptied box: results gone at once
    box.edtkeyExit();
    EXPECT_EQ(box.Text(), "搜索关键词");
    box.edtkeyEnter();
    EXPECT_EQ(box.Text(), "");
    box.edtkeyChange("Moon");
    box.edtkeyExit(); // a real keyword stays
    EXPECT_EQ(box.Text(), "Moon");
}

TEST_F(SearchTest, ReopeningTheChannelForgetsTheResults) {
    search.imgSearchClick("Moon");
    Open();
    EXPECT_EQ(search.ResultsNode(), kNoNode);
    search.imgSearchClick("river");
    EXPECT_EQ(tree.Count(), 8u);
}
