#include "platform/mpv/PlayerRequest.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace luming {
namespace {

using Kind = PlayerRequest::Kind;

TEST(PlayerRequest, ReadsTheRequestsOfTheWindow) {
    const struct {
        const char* text;
        Kind kind;
        double seconds;
    } cases[] = {
        {R"(<invoke name="sendEvent"><arguments><string>playpause</string></arguments></invoke>)",
         Kind::PlayPause, 0},
        {R"(<invoke name="sendEvent"><arguments><string>position</string><number>42.5</number></arguments></invoke>)",
         Kind::Seek, 42.5},
        {R"(<invoke name="getDuration"></invoke>)", Kind::GetDuration, 0},
        {R"(<invoke name="getPosition"></invoke>)", Kind::GetPosition, 0},
        {R"(<invoke name="getPlayState"></invoke>)", Kind::GetPlayState, 0},
    };
    for (const auto& each : cases) {
        const auto request = ParsePlayerRequest(each.text);
        ASSERT_TRUE(request) << each.text;
        EXPECT_EQ(request->kind, each.kind) << each.text;
        EXPECT_EQ(request->seconds, each.seconds) << each.text;
    }
}

TEST(PlayerRequest, SeeksBeforeTheStartGoToTheStart) {
    const auto request = ParsePlayerRequest(
        R"(<invoke name="sendEvent"><arguments><string>position</string><number>-3</number></arguments></invoke>)");
    ASSERT_TRUE(request);
    EXPECT_EQ(request->kind, Kind::Seek);
    EXPECT_EQ(request->seconds, 0);
}

TEST(PlayerRequest, ToleratesOtherAttributesQuotesAndBlanks) {
    const auto request = ParsePlayerRequest(
        "<invoke returntype='xml' name='sendEvent'>\n <arguments> <string>position</string>"
        "<number> 7 </number></arguments>\n</invoke>");
    ASSERT_TRUE(request);
    EXPECT_EQ(request->kind, Kind::Seek);
    EXPECT_EQ(request->seconds, 7);
    EXPECT_TRUE(ParsePlayerRequest(R"(<invoke name="getPosition"/>)"));
}

TEST(PlayerRequest, RefusesEverythingElse) {
    for (
        const char* text : {
            "",
            "garbage",
            "<",
            "<invoke",
            R"(<invoke name="getDuration">)",
            R"(<invoke name="getDuration></invoke>)",
            R"(<invoke name="stop"></invoke>)",
            R"(<invoke name="GetDuration"></invoke>)",
            R"(<invoke><arguments></arguments></invoke>)",
            R"(<call name="getDuration"></call>)",
            R"(<invoke name="getDuration"></invoke>trailing)",
            R"(<invoke name="sendEvent"></invoke>)",
            R"(<invoke name="sendEvent"><arguments><string>rewind</string></arguments></invoke>)",
            R"(<invoke name="sendEvent"><arguments><string>position</string></arguments></invoke>)",
            R"(<invoke name="sendEvent"><arguments><string>position</string><number>abc</number></arguments></invoke>)",
            R"(<invoke name="sendEvent"><arguments><string>position</string><number>nan</number></arguments></invoke>)",
            R"(<invoke name="sendEvent"><arguments><string>playpause</arguments></invoke>)",
            R"(<invoke name="sendEvent"><arguments><number>1</number></arguments></invoke>)",
        })
        EXPECT_FALSE(ParsePlayerRequest(text)) << text;
}

TEST(PlayerRequest, RepliesNumbersToTheMillisecond) {
    EXPECT_EQ(NumberReply(3.05), "<number>3.05</number>");
    EXPECT_EQ(NumberReply(20), "<number>20</number>");
    EXPECT_EQ(NumberReply(1.23456), "<number>1.235</number>");
    EXPECT_EQ(NumberReply(0), "<number>0</number>");
}

// A wild duration from a broken file still gives a reply the window can read.
TEST(PlayerRequest, RepliesHugeNumbersInFull) {
    EXPECT_EQ(NumberReply(std::ldexp(1.0, 200)),
              "<number>1606938044258990275541962092341162602522202993782792835301376</number>");
    const std::string largest = NumberReply(-std::numeric_limits<double>::max());
    EXPECT_EQ(largest.size(), 8 + 1 + 309 + 9); // tags, sign, every digit
    EXPECT_TRUE(largest.starts_with("<number>-17976931348623157")) << largest;
}

} // namespace
} // namespace luming
