#include "support/ToolRun.h"

#include <gtest/gtest.h>

using namespace luming;

using luming::test::ToolRun;

namespace {

ToolRun RunTool(const tool::Arguments& arguments) {
    return luming::test::RunToolCommand(arguments);
}

} // namespace

TEST(PlaybackTool, AnswersWithTheRulesFigures) {
    EXPECT_EQ(RunTool({"invoke-request", "state"}).out,
              "<invoke name=\"getPlayState\"></invoke>\n");
    EXPECT_EQ(RunTool({"invoke-reply", "duration", "<number>83.6</number>"}).out, "84\n");
    EXPECT_EQ(RunTool({"invoke-reply", "state", "<string>x</string>"}).out, "-1\n");
    EXPECT_EQ(RunTool({"knob-left", "100", "569", "12", "575", "6", "12"}).out, "112\n");
    EXPECT_EQ(RunTool({"knob-value", "0", "12", "575", "6", "40"}).out, "-1\n");
    EXPECT_EQ(RunTool({"load-width", "100", "575", "0"}).out, "573\n");
    EXPECT_EQ(RunTool({"update-load-bar", "45", "100", "0", "30", "575", "0"}).out, "259\n");
    EXPECT_EQ(RunTool({"drag-knob", "100", "3", "900", "12", "200", "6"}).out, "206\n");
}

TEST(PlaybackTool, RefusesNumbersThatAreNot32BitWholeNumbers) {
    for (const tool::Arguments& bad :
         std::vector<tool::Arguments>{{"invoke-request", "seek"},
                                      {"invoke-request", "seek", "2147483648"},
                                      {"knob-left", "1", "2", "3", "4", "5", "x"},
                                      {"load-width", "1.5", "575", "0"},
                                      {"update-load-bar", "1", "2", "7", "-1", "575", "0"}}) {
        const ToolRun result = RunTool(bad);
        EXPECT_EQ(result.code, 1) << bad[0];
        EXPECT_EQ(result.out, "") << bad[0];
        EXPECT_NE(result.err, "") << bad[0];
    }
}
