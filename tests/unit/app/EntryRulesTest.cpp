#include "app/CommandLine.h"
#include "config/EditionTable.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace luming;

TEST(EditionTable, EachBuildHasItsRowAndEveryOtherTheDefault) {
    EXPECT_STREQ(EditionFor(26).title, "鹿鸣果儿童古诗精选");
    const EditionRow& fallback = EditionFor(27);
    EXPECT_EQ(&EditionFor(0), &fallback);
    EXPECT_EQ(&EditionFor(-1), &fallback);

    std::set<std::string> keys;
    for (int build : {21, 22, 23, 24, 25, 26, 0}) {
        const std::string key = EditionFor(build).key;
        EXPECT_GE(key.size(), 4u);
        EXPECT_LE(key.size(), 7u);
        for (char c : key)
            EXPECT_TRUE(c >= 'a' && c <= 'z') << key;
        keys.insert(key);
    }
    EXPECT_EQ(keys.size(), 7u) << "each edition needs a lock of its own";
}

TEST(CommandLine, OnlyTheFirstArgumentCanAskForAHiddenStart) {
    EXPECT_FALSE(IsHiddenStart({}));
    EXPECT_TRUE(IsHiddenStart({"-start"}));
    EXPECT_TRUE(IsHiddenStart({"-START", "x"}));
    EXPECT_FALSE(IsHiddenStart({"x", "-start"}));
    EXPECT_FALSE(IsHiddenStart({"-started"}));
    EXPECT_FALSE(IsHiddenStart({"start"}));
}
