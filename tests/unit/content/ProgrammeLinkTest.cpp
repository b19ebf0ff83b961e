#include "content/ProgrammeLink.h"
#include "content/ContentAddress.h"
#include "content/Des.h"

#include <gtest/gtest.h>

using namespace luming;
using Items = std::vector<std::string>;

TEST(LinkItems, DelimitersAndBlanks) {
    EXPECT_EQ(SplitLinkItems("a__b"), (Items{"a", "", "b"}));
    EXPECT_EQ(SplitLinkItems("a _ b"), (Items{"a", "b"}));
    EXPECT_EQ(SplitLinkItems("a_"), (Items{"a", ""}));
    EXPECT_EQ(SplitLinkItems("a_ "), (Items{"a"}));
    EXPECT_EQ(SplitLinkItems("_a"), (Items{"", "a"}));
    EXPECT_EQ(SplitLinkItems("  a b\tc\x01"), (Items{"a", "b", "c"}));
    EXPECT_EQ(SplitLinkItems(""), Items{});
    EXPECT_EQ(SplitLinkItems(" \n"), Items{});
}

TEST(LinkItems, QuotedItems) {
    EXPECT_EQ(SplitLinkItems("\"a b_c\"_d"), (Items{"a b_c", "d"}));
    EXPECT_EQ(SplitLinkItems("\"say \"\"hi\"\"\""), (Items{"say \"hi\""}));
    EXPECT_EQ(SplitLinkItems("\"unclosed_x y"), (Items{"unclosed_x y"}));
    EXPECT_EQ(SplitLinkItems("\"a\"b"), (Items{"a", "b"}));
    EXPECT_EQ(SplitLinkItems("a\"b\"_c"), (Items{"a\"b\"", "c"}));
    EXPECT_EQ(SplitLinkItems("\"\""), (Items{""}));
}

TEST(ProgrammeLink, RecordFromALink) {
    const std::string id = EncryptToHex("300", ContentKey);
    const auto record =
        ParseProgrammeLink("http://www.example.com/play.htm?tjid_" + id + "_静夜思%20李白_4_12_x");
    ASSERT_TRUE(record);
    EXPECT_EQ(record->Id, "300");
    EXPECT_EQ(record->Name, "静夜思%20李白");
    EXPECT_EQ(record->FileType, "4");
    EXPECT_EQ(record->Pid, "12");
}

TEST(ProgrammeLink, MarkerAndItemCount) {
    EXPECT_FALSE(LinkPayload("http://example.com/TJID-1_2_3_4"));
    EXPECT_EQ(LinkPayload("x/TjId_A_tjid_B"), "A_tjid_B");
    EXPECT_FALSE(ParseProgrammeLink("http://example.com/page.htm"));
    EXPECT_FALSE(ParseProgrammeLink("http://example.com/TJID_A1_name_4"));
    EXPECT_TRUE(ParseProgrammeLink("TJID____"));
}

TEST(ProgrammeLink, IdThatDoesNotDecipherIsEmpty) {
    const auto record = ParseProgrammeLink("TJID_nothex_a_1_0");
    ASSERT_TRUE(record);
    EXPECT_EQ(record->Id, "");
    EXPECT_EQ(record->Name, "a");
}
