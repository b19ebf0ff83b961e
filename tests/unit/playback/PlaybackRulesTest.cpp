#include "playback/BarGeometry.h"
#include "playback/FlashVars.h"
#include "playback/FlvBridge.h"
#include "playback/OutputLevel.h"
#include "playback/PlayFailure.h"
#include "playback/PlayStart.h"
#include "playback/PlayerInterfaces.h"

#include <gtest/gtest.h>

#include <set>

using namespace luming;

TEST(FlvBridge, RequestsAreExactAndSecondsPlainDecimal) {
    EXPECT_EQ(SeekRequest(0), "<invoke name=\"sendEvent\"><arguments><string>position</string>"
                              "<number>0</number></arguments></invoke>");
    EXPECT_NE(SeekRequest(-15).find("<number>-15</number>"), std::string::npos);
    EXPECT_NE(SeekRequest(7).find("<number>7</number>"), std::string::npos) << "no leading zeros";
}

TEST(FlvBridge, RepliesRoundHalvesToEvenAndFallBackOnAnythingButANumber) {
    EXPECT_EQ(ReplyNumber("<number>83.6</number>", 0), 84);
    EXPECT_EQ(ReplyNumber("<NUMBER>2.5</NUMBER>", -1), 2);
    EXPECT_EQ(ReplyNumber("<number>3.5</number>", -1), 4);
    EXPECT_EQ(ReplyNumber("<number>0</number>", -1), 0) << "stopped at the end";
    EXPECT_EQ(ReplyNumber("<string>1</string>", -1), -1);
    EXPECT_EQ(ReplyNumber("", 0), 0);
    EXPECT_EQ(ReplyNumber("<number>1e300</number>", -1), -1) << "does not fit";
    EXPECT_EQ(ReplyNumber("<number>nan</number>", 0), 0);
    EXPECT_EQ(StripNumberTags("<Number>5</NUMBER>"), "5");
}

TEST(BarGeometry, PlacesRoundsDownAndReadsToNearest) {
    const BarGeometry bar{12, 575, 0, 12, 6};
    EXPECT_EQ(KnobLeftFor(100, 569, bar), 112);
    EXPECT_EQ(KnobLeftFor(569, 569, bar), 12 + 575 - 6);
    EXPECT_EQ(KnobLeftFor(5, 0, {12, 575, 0, 40, 6}), 40) << "no total: the knob stays";
    EXPECT_EQ(KnobLeftFor(1, 3, bar), 12 + 189) << "569/3 = 189.67, rounded down";
    EXPECT_EQ(KnobValue(0, bar), -1);
    EXPECT_EQ(KnobValue(3, {12, 575, 0, 12 + 285, 6}), 2) << "285/189.67 = 1.503 → 2";
    EXPECT_EQ(KnobValue(569, {12, 575, 0, 112, 6}), 100);
}

TEST(BarGeometry, LoadedPartIsTwoPixelsShortWhenFullAndNeverBehindThePlayPosition) {
    const BarGeometry bar{12, 575, 33, 12, 6};
    EXPECT_EQ(LoadWidthFor(100, bar), 573);
    EXPECT_EQ(LoadWidthFor(50, bar), 288) << "287.5 to even";
    EXPECT_EQ(LoadWidthFor(-1, bar), 33);
    EXPECT_EQ(LoadWidthAfterUpdate(45, 100, false, 30, bar), 259) << "played 45 % beats 30 %";
    EXPECT_EQ(LoadWidthAfterUpdate(10, 100, false, 60, bar), 345);
    EXPECT_EQ(LoadWidthAfterUpdate(10, 100, false, -1, bar), 33) << "vendor does not know";
    EXPECT_EQ(LoadWidthAfterUpdate(1, 100, true, -1, bar), 573) << "a local file is all there";
    EXPECT_EQ(LoadWidthAfterUpdate(1, 0, true, 50, bar), 33) << "no total, no change";
}

TEST(BarGeometry, DraggedKnobStaysBetweenTheBarsStartAndTheLoadedEnd) {
    const BarGeometry bar{12, 575, 200, 100, 6};
    EXPECT_EQ(DraggedKnobLeft(10, 3, bar), 107);
    EXPECT_EQ(DraggedKnobLeft(-500, 3, bar), 12);
    EXPECT_EQ(DraggedKnobLeft(900, 3, bar), 12 + 200 - 6) << "right edge at the loaded end";
    EXPECT_EQ(DraggedKnobLeft(900, 3, {12, 575, 2, 12, 6}), 12) << "never left of the bar";
    EXPECT_EQ(CentredKnobLeft(100, bar), 109);
}

TEST(PlayStart, PrefersTheCacheThenTheDownloadAndNeverLeavesTheirDirectories) {
    TKrvPlay play{"101", 0, "1", "静夜思", "", "4", ""};
    std::set<std::string> files = {"/c/26/101.flv", "/d/静夜思.flv"};
    auto exists = [&](const std::string& path) { return files.count(path) > 0; };
    EXPECT_EQ(LocalCopy(play, "/c/", 26, "/d/", exists), "/c/26/101.flv");
    files.erase("/c/26/101.flv");
    EXPECT_EQ(LocalCopy(play, "/c/", 26, "/d/", exists), "/d/静夜思.flv");
    play.Name = "../静夜思";
    files.insert("/d/../静夜思.flv");
    EXPECT_EQ(LocalCopy(play, "/c/", 26, "/d/", exists), std::nullopt);
}

TEST(PlayStart, VideoParametersAndFullScreenChanges) {
    EXPECT_EQ(VideoFlashVars(R"(C:\a b\1.flv)"),
              R"(file=C:\a b\1.flv&overstretch=true&showdigits=true&autostart=true)"
              "&showplayerbar=true&callback=true&enablejs=true&streamscript=http://");
    EXPECT_TRUE(LeavesFullScreen("1", "4"));
    EXPECT_TRUE(LeavesFullScreen("4", "1"));
    EXPECT_FALSE(LeavesFullScreen("1", "1"));
    EXPECT_FALSE(LeavesFullScreen("4", "4"));
    EXPECT_FALSE(LeavesFullScreen("2", "4"));
    EXPECT_EQ(AudioPageAddress("http://x/Mp3PageHtml", 26), "http://x/Mp3PageHtml_26.html");
}

TEST(FlashVars, ValuesKeepTheirAmpersandsAndThePlayerMovieIsKnownByName) {
    auto vars = ParseFlashVars("file=/m/rock&roll.flv&AutoStart=true&x=1&&y");
    EXPECT_EQ(vars["file"], "/m/rock&roll.flv");
    EXPECT_EQ(vars["autostart"], "true");
    EXPECT_EQ(vars["x"], "1&&y");
    EXPECT_TRUE(IsPlayerMovie("/app/flvplayer.swf?file=0.swf"));
    EXPECT_TRUE(IsPlayerMovie(R"(C:\app\FLVPlayer.SWF)"));
    EXPECT_FALSE(IsPlayerMovie("/app/flvplayer.swf.swf"));
    EXPECT_FALSE(IsPlayerMovie("http://h/P2P/1.swf?flvplayer.swf"));
    EXPECT_EQ(MovieQuery("/a/flvplayer.swf?file=0.swf"), "file=0.swf");
}

namespace {

struct PlainVolume : IOutputVolume {
    uint32_t volume = 0;
    uint32_t GetVolume() override { return volume; }
    void SetVolume(uint32_t value) override { volume = value; }
};

} // namespace

TEST(OutputLevel, TrackBarMuteAndUnmute) {
    PlainVolume output;
    output.volume = 0x80FF80FFu; // high byte of the right channel: 0x80
    OutputLevel level(output);
    EXPECT_EQ(level.InitVolumeBar(), 255 - 0x80);
    level.ToggleSound();
    EXPECT_EQ(output.volume, 0u);
    level.ToggleSound();
    EXPECT_EQ(output.volume, 0x80008000u) << "the level read at start";
    level.TrackBarChange(0);
    EXPECT_EQ(output.volume, 0xFF00FF00u);
    level.TrackBarChange(255);
    EXPECT_EQ(output.volume, 0u);
    level.TrackBarChange(55);
    level.ToggleSound();
    level.ToggleSound();
    EXPECT_EQ(output.volume, 0xC800C800u) << "the last level set";
}

// Every failure reaches the bar as a few plain Chinese words; the player's words stay beside.
TEST(PlayFailure, EnglishTextsBecomePlainMessagesAndChineseOnesStand) {
    EXPECT_EQ(DescribePlayFailure("loading failed", false).message, "节目下载失败");
    EXPECT_EQ(DescribePlayFailure("loading failed", true).message, "节目文件无法打开");
    EXPECT_EQ(DescribePlayFailure("no file to open", false).message, "没有节目地址");
    EXPECT_EQ(DescribePlayFailure("audio output initialization failed", true).message,
              "本机无法播放此类节目");
    const PlayFailure flash = DescribePlayFailure("无法播放这种 Flash 动画 (AVM2 only)", true);
    EXPECT_EQ(flash.message, "无法播放这种 Flash 动画");
    EXPECT_EQ(flash.detail, "无法播放这种 Flash 动画 (AVM2 only)");
    EXPECT_EQ(DescribePlayFailure("磁盘空间不足", false).message, "磁盘空间不足");
}
