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
    EXPECT_FALSE(search.imgSearchClick("搜索关键词或拼音"));
    EXPECT_EQ(tree.Count(), 9u); // no search ran
    EXPECT_FALSE(search.imgSearchClick("sun"));
    EXPECT_EQ(tree.Count(), 6u); // the earlier results are gone
    // Only the whole placeholder is no keyword.
    EXPECT_FALSE(search.imgSearchClick("搜索关键词"));
    EXPECT_EQ(dialogs.information,
              (std::vector<std::string>{"请输入搜索关键词", "请输入搜索关键词",
                                        "没有找到相关的信息", "没有找到相关的信息"}));
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
    EXPECT_EQ(box.Text(), "搜索关键词或拼音");
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
    // The names' readings and simplified forms are those of the catalogue open now.
    WriteCatalogue({{"2", "1", "", "春晓"}, {"2", "2", "", "長恨歌"}});
    Open();
    EXPECT_TRUE(search.imgSearchClick("cx"));
    EXPECT_TRUE(search.imgSearchClick("长恨歌"));
    EXPECT_EQ(Texts(), (std::vector<std::string>{"春晓", "長恨歌", "搜索结果", "長恨歌"}));
}

namespace {

// 0 唐诗 [1 静夜思（李白）, 2 将进酒, 3 長恨歌, 4 Jys 乐游原]  5 水调歌头 [6 水调歌头 苏轼]
const std::vector<Item> kPoems = {
    {"0", "T", "", "唐诗"},          {"1", "1", "T", "静夜思（李白）"}, {"4", "2", "T", "将进酒"},
    {"2", "3", "T", "長恨歌"},       {"1", "4", "T", "Jys 乐游原"},     {"0", "S", "", "水调歌头"},
    {"2", "5", "S", "水调歌头 苏轼"}};

class ChineseSearchTest : public ::testing::Test, public ChannelFixture {
protected:
    ChineseSearchTest() : search(tree, rules, dialogs) {}
    void SetUp() override {
        WriteCatalogue(kPoems);
        Open();
    }
    // The names listed under the results node, nothing when the search found none.
    std::vector<std::string> Hits(std::string_view keyword) {
        std::vector<std::string> names;
        if (!search.imgSearchClick(keyword))
            return names;
        const NodeIndex results = search.ResultsNode();
        for (NodeIndex n = tree.FirstChild(results); n != kNoNode; n = tree.NextSibling(n))
            names.emplace_back(tree.Text(n));
        return names;
    }

    MessageLog dialogs;
    CatalogueSearch search;
};

using Names = std::vector<std::string>;

} // namespace

TEST_F(ChineseSearchTest, PinyinInFullByInitialsOrMixedInAnyCase) {
    for (const char* keyword :
         {"jingyesi", "jingye", "jys", "jingys", "jyesi", "jinys", "JingYe Si", "yes"})
        EXPECT_EQ(Hits(keyword), Names{"静夜思（李白）"}) << keyword;
    // Each character in its turn, from one character to the next, the whole keyword read.
    for (const char* keyword : {"ysj", "jyss", "jingyesili", "sl", "ingye", "jingyesu"})
        EXPECT_EQ(Hits(keyword), Names{}) << keyword;
}

TEST_F(ChineseSearchTest, EveryReadingOfAPolyphonicCharacter) {
    EXPECT_EQ(Hits("qiangjinjiu"), Names{"将进酒"});
    EXPECT_EQ(Hits("jiangjinjiu"), Names{"将进酒"});
    EXPECT_EQ(Hits("changhenge"), Names{"長恨歌"});
    EXPECT_EQ(Hits("zhanghenge"), Names{"長恨歌"});
    EXPECT_EQ(Hits("leyouyuan"), Names{"Jys 乐游原"});
    EXPECT_EQ(Hits("yueyy"), Names{"Jys 乐游原"});
    // The folder of the same name is not listed.
    EXPECT_EQ(Hits("shuidiaogetou"), Names{"水调歌头 苏轼"});
    EXPECT_EQ(Hits("tiaogt"), Names{"水调歌头 苏轼"});
}

TEST_F(ChineseSearchTest, LatinLettersOfANameMatchOnlyAsWritten) {
    EXPECT_EQ(Hits("Jys"), (Names{"静夜思（李白）", "Jys 乐游原"})); // in catalogue order
    EXPECT_EQ(Hits("jys"), Names{"静夜思（李白）"});
    EXPECT_EQ(Hits("Jysly"), Names{});
    EXPECT_EQ(Hits("Jys 乐"), Names{"Jys 乐游原"});
}

TEST_F(ChineseSearchTest, EitherScriptFindsTheOther) {
    EXPECT_EQ(Hits("靜夜思"), Names{"静夜思（李白）"});
    EXPECT_EQ(Hits("長恨歌"), Names{"長恨歌"});
    EXPECT_EQ(Hits("长恨歌"), Names{"長恨歌"});
    EXPECT_EQ(Hits("恨"), Names{"長恨歌"});
    EXPECT_EQ(Hits("將進"), Names{"将进酒"});
    EXPECT_EQ(Hits("蘇軾"), Names{"水调歌头 苏轼"});
    EXPECT_EQ(Hits("长歌"), Names{});
}
