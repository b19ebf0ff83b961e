#include "CatalogueFixture.h"
#include "tools/ToolCommand.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace luming;
using luming::test::CatalogueXml;
using luming::test::TempDir;

namespace {

struct ToolRun {
    int code;
    std::string out, err;
};

class CatalogueToolTest : public ::testing::Test {
protected:
    void SetUp() override {
        // 0 F [1 Moon, 2 Sun]  3 empty  4 loose (unknown type)
        luming::test::WriteFile(file, CatalogueXml({{"0", "F", "", "F"},
                                                    {"1", "1", "F", "Moon"},
                                                    {"4", "2", "F", "Sun"},
                                                    {"0", "E", "", "empty"},
                                                    {"x", "1", "", "loose"},
                                                    {"1", "9", "nowhere", "lost"}}));
    }
    ToolRun Tool(tool::Arguments arguments) {
        std::ostringstream out, err;
        const int code = tool::RunTool(arguments, out, err);
        return {code, out.str(), err.str()};
    }

    TempDir dir;
    std::string file = dir.dir() + "26.xml";
};

} // namespace

TEST_F(CatalogueToolTest, CatalogueListsEveryNode) {
    const ToolRun run = Tool({"catalogue", file});
    EXPECT_EQ(run.code, 0);
    EXPECT_EQ(run.out, "0\t0\t0\tF\t\t1\tF\n"
                       "1\t1\t1\t1\tF\t3\tMoon\n"
                       "2\t1\t4\t2\tF\t6\tSun\n"
                       "3\t0\t0\tE\t\t0\tempty\n"
                       "4\t0\tx\t1\t\t-1\tloose\n");
    EXPECT_EQ(Tool({"first-play", file}).out, "1\n");
}

TEST_F(CatalogueToolTest, BadFilesHaveTheirExitCodes) {
    EXPECT_EQ(Tool({"catalogue", dir.dir() + "none.xml"}).code, 2);
    luming::test::WriteFile(file, "<r><e>");
    const ToolRun run = Tool({"catalogue", file});
    EXPECT_EQ(run.code, 3);
    EXPECT_NE(run.err.find("line 1"), std::string::npos);
}

TEST_F(CatalogueToolTest, SearchPrintsTheTreeOrTheMessage) {
    const ToolRun hit = Tool({"search", file, "o"});
    EXPECT_EQ(hit.code, 0);
    EXPECT_NE(hit.out.find("0\t0\t0\tF\t\t0\tF\n"), std::string::npos); // first folder closed
    EXPECT_NE(hit.out.find("5\t0\t0\t0\t\t1\t搜索结果\n6\t1\t1\t1\tF\t3\tMoon\n"),
              std::string::npos);
    EXPECT_EQ(Tool({"search", file, "zzz"}).out, "没有找到相关的信息\n");
    const ToolRun blank = Tool({"search", file, " "});
    EXPECT_EQ(blank.code, 1);
    EXPECT_EQ(blank.out, "请输入搜索关键词\n");
    // Pinyin and the other script of Chinese find names as in the window.
    luming::test::WriteFile(file,
                            CatalogueXml({{"1", "1", "", "静夜思"}, {"1", "2", "", "長恨歌"}}));
    const std::string tree = "0\t0\t1\t1\t\t3\t静夜思\n1\t0\t1\t2\t\t3\t長恨歌\n"
                             "2\t0\t0\t0\t\t1\t搜索结果\n";
    EXPECT_EQ(Tool({"search", file, "JYS"}).out, tree + "3\t1\t1\t1\t\t3\t静夜思\n");
    EXPECT_EQ(Tool({"search", file, "长恨"}).out, tree + "3\t1\t1\t2\t\t3\t長恨歌\n");
}

TEST_F(CatalogueToolTest, NextAndPrevious) {
    EXPECT_EQ(Tool({"next", file, "1", "1"}).out, "2\n");
    const ToolRun end = Tool({"next", file, "2", "1"});
    EXPECT_EQ(end.code, 1);
    EXPECT_EQ(end.out, "节目列表按顺序播放完成!\n");
    EXPECT_EQ(Tool({"next", file, "2", "1", "--manual"}).out, "1\n");
    EXPECT_EQ(Tool({"next", file, "2", "2"}).out, "2\n");
    EXPECT_EQ(Tool({"next", file, "40", "0"}).out, "none\n");
    EXPECT_EQ(Tool({"previous", file, "1"}).out, "2\n");
    EXPECT_EQ(Tool({"next", file, "x", "0"}).code, 64);
}

TEST_F(CatalogueToolTest, CheckReportsForAuthors) {
    const ToolRun run = Tool({"check", file});
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.out.find("line 8: dropped \"lost\": no entry with id \"nowhere\""),
              std::string::npos);
    EXPECT_NE(run.out.find("unknown type \"x\""), std::string::npos);
    EXPECT_NE(run.out.find("node 3: empty folder"), std::string::npos);
    EXPECT_NE(run.out.find("id \"1\": used by 2 entries"), std::string::npos);
    luming::test::WriteFile(file, CatalogueXml({{"0", "F", "", "F"}, {"1", "1", "F", "a"}}));
    const ToolRun clean = Tool({"check", file});
    EXPECT_EQ(clean.code, 0);
    EXPECT_EQ(clean.out, "");
}

// With the media folder, a read-along that a client could not read is reported.
TEST_F(CatalogueToolTest, CheckReportsUnreadableReadAlongsInTheMediaFolder) {
    luming::test::WriteFile(file, CatalogueXml({{"0", "F", "", "F"},
                                                {"2", "1", "F", "good"},
                                                {"4", "2", "F", "untimed"},
                                                {"3", "3", "F", "none"}}));
    luming::test::WriteFile(dir.dir() + "media/1.lrc", "[00:01.00]床前明月光\n");
    luming::test::WriteFile(dir.dir() + "media/2.lrc", "床前明月光\n");
    const ToolRun run = Tool({"check", file, dir.dir() + "media"});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.out, "node 2: read-along 2.lrc is not shown: read-along file without a timed "
                       "line (untimed)\n");
    luming::test::WriteFile(dir.dir() + "media/2.lrc", "[01:00]疑是地上霜\n");
    EXPECT_EQ(Tool({"check", file, dir.dir() + "media"}).code, 0);
}

// Ids match as written: a folder written " 9" is not the parent "9", and check says why.
TEST_F(CatalogueToolTest, CheckShowsBlanksAroundFields) {
    luming::test::WriteFile(file, CatalogueXml({{"0", " 9", "", "F"}, {"1", "1", "9", "a\n"}}));
    const ToolRun run = Tool({"check", file});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.out, "line 4: dropped \"a\\n\": no entry with id \"9\" before it\n"
                       "line 3: \"id\" has blanks around it: \" 9\"\n"
                       "line 4: \"name\" has blanks around it: \"a\\n\"\n"
                       "node 0: empty folder (F)\n");
}
