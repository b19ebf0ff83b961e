#include "tools/ToolCommand.h"

#include <gtest/gtest.h>

#include <sstream>

using luming::tool::RunTool;

namespace {

struct Result {
    int code;
    std::string out;
    std::string err;
};

Result RunCommand(const luming::tool::Arguments& arguments) {
    std::ostringstream out, err;
    const int code = RunTool(arguments, out, err);
    return {code, out.str(), err.str()};
}

} // namespace

TEST(Tool, FormatSeconds) {
    EXPECT_EQ(RunCommand({"format-seconds", "3725"}).out, "1:02:05\n");
    EXPECT_EQ(RunCommand({"format-seconds", "0"}).out, "00:00\n");
    const Result bad = RunCommand({"format-seconds", "1.5"});
    EXPECT_EQ(bad.code, 1);
    EXPECT_EQ(bad.out, "");
    EXPECT_NE(bad.err, "");
}

TEST(Tool, HelpListsTheCommandsAndUnknownOnesFail) {
    const Result help = RunCommand({"--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_NE(help.out.find("format-seconds"), std::string::npos);
    EXPECT_NE(RunCommand({"no-such-command"}).code, 0);
    EXPECT_NE(RunCommand({}).code, 0);
}
