// The play-list tick, the play button and seeking, against fake players.
#include "playback/Transport.h"
#include "playback/FlvBridge.h"
#include "support/FakePlatform.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace luming;
using namespace luming::test;

namespace {

// The transport bar as plain numbers: the design bar (left 12, 575 wide, knob 6).
struct BarRecord : ITransportBar {
    BarGeometry bar{12, 575, 0, 12, 6};
    std::string time = "00:00/00:00", status, detail;
    int tag = 0;
    std::vector<int> looks; // the tags shown, in order
    BarGeometry Bar() override { return bar; }
    void SetKnobLeft(int left) override { bar.knobLeft = left; }
    void SetLoadedWidth(int width) override { bar.loadedWidth = width; }
    void SetTimeText(const std::string& text) override { time = text; }
    void SetStatusText(const std::string& text) override { status = text; }
    void SetStatusDetail(const std::string& text) override { detail = text; }
    void ShowLook(const PlayStateLook& look) override {
        tag = look.tag;
        status = std::string(look.status);
        looks.push_back(look.tag);
    }
    int PlayButtonTag() override { return tag; }
};

struct TransportTest : ::testing::Test {
    BarRecord bar;
    FakeFlashControl flash;
    FakeMediaPlayer audio;
    FakeVendorLibrary vendor;
    int nexts = 0, replays = 0, passOvers = 0;
    Transport transport{bar,
                        {flash, [this]() -> IMediaPlayer* { return &audio; }, vendor},
                        {[this] { ++nexts; }, [this] { ++replays; }, [this] { ++passOvers; }}};
    TKrvPlay play{"1", 0, "0", "p", "", "1", ""};

    void Start(const char* type) {
        play.FileType = type;
        transport.CurrentPlay = &play;
        transport.PlayingLocal = true;
    }
    void VideoSays(int state, const char* duration = "<number>569</number>",
                   const char* position = "<number>100</number>") {
        flash.replies[std::string(kPlayStateRequest)] =
            "<number>" + std::to_string(state) + "</number>";
        flash.replies[std::string(kDurationRequest)] = duration;
        flash.replies[std::string(kPositionRequest)] = position;
    }
};

} // namespace

TEST_F(TransportTest, FlashMoviesEndOnTheirLastFrameOrTwentyBeforeTheEndOfALongOne) {
    Start("1");
    flash.totalFrames = 40;
    flash.frameNum = 39;
    transport.Tick();
    EXPECT_EQ(nexts, 0);
    flash.frameNum = 40;
    transport.Tick();
    EXPECT_EQ(nexts, 1);

    flash.totalFrames = 400;
    flash.frameNum = flash.currentFrame = 380;
    transport.Tick();
    EXPECT_EQ(nexts, 1) << "20 frames left";
    flash.frameNum = flash.currentFrame = 381;
    transport.Tick();
    EXPECT_EQ(nexts, 2);
    EXPECT_EQ(bar.time, "00:32/00:33") << "381/12 = 31.75, 400/12 = 33.3";
    EXPECT_EQ(bar.bar.loadedWidth, 573) << "local: full from the first tick";

    flash.totalFrames = flash.frameNum = 0;
    transport.Tick();
    EXPECT_EQ(nexts, 2) << "a movie without frames has no end to reach";
    flash.totalFrames = flash.frameNum = 1;
    transport.Tick();
    EXPECT_EQ(nexts, 2) << "nor one of a single frame, which its code plays";
}

// Shown for four ticks, then the play list may pass over it; once. A failed download is not
// passed over: the line or the disk may come back.
TEST_F(TransportTest, AMovieThatCannotPlayIsPassedOverAfterItsMessageWasShown) {
    Start("1");
    flash.readyState = 0;
    flash.loadError = "无法播放这种 Flash 动画";
    for (int tick = 1; tick < kTicksBeforePassingOver; ++tick)
        transport.Tick();
    EXPECT_EQ(bar.status, "无法播放: 无法播放这种 Flash 动画");
    EXPECT_EQ(passOvers, 0);
    transport.Tick();
    transport.Tick();
    EXPECT_EQ(passOvers, 1);

    Start("4");
    transport.ResetPosition();
    transport.PlayingLocal = false;
    vendor.progError = 1;
    VideoSays(0);
    for (int tick = 0; tick < 2 * kTicksBeforePassingOver; ++tick)
        transport.Tick();
    EXPECT_EQ(bar.status, "无法播放: 节目下载失败");
    EXPECT_EQ(passOvers, 1);
}

TEST_F(TransportTest, AudioOfUnknownLengthNeverEndsAndShowsNoTime) {
    Start("2");
    audio.mode = MediaMode::Playing;
    transport.Tick();
    EXPECT_EQ(nexts, 0);
    EXPECT_EQ(bar.time, "00:00/00:00");
    EXPECT_EQ(bar.status, "正在播放");

    audio.waiting = true; // its download tries again
    transport.Tick();
    EXPECT_EQ(bar.status, "正在装载,请稍等");
    audio.waiting = false;

    audio.length = 20400;
    audio.position = 19600; // 20 of 20 seconds
    transport.Tick();
    EXPECT_EQ(bar.time, "00:20/00:20");
    EXPECT_EQ(nexts, 1);
}

TEST_F(TransportTest, VideoStatesDriveTheBarAndTheEnd) {
    Start("4");
    transport.PlayingLocal = false;
    VideoSays(1);
    transport.Tick();
    EXPECT_EQ(bar.status, "正在播放");
    EXPECT_EQ(bar.bar.knobLeft, 112);
    EXPECT_EQ(bar.time, "01:40/09:29");
    EXPECT_EQ(bar.bar.loadedWidth, 0) << "the vendor knows nothing of task 0";

    VideoSays(2);
    transport.Tick();
    EXPECT_EQ(bar.status, "暂停中");
    EXPECT_EQ(bar.tag, kTagPaused);

    VideoSays(0);
    transport.Tick();
    EXPECT_EQ(bar.tag, kTagStopped);
    EXPECT_EQ(nexts, 1);

    flash.replies.clear(); // the movie has no answer: no change, unless it says why
    transport.Tick();
    EXPECT_EQ(bar.looks.size(), 3u);
    flash.loadError = "HTTP 404";
    transport.Tick();
    EXPECT_EQ(bar.status, "无法播放: 节目下载失败");
    EXPECT_EQ(bar.detail, "HTTP 404");
    EXPECT_EQ(nexts, 1);
}

// A video waiting for bytes reads as loading; when its download fails for good, its end is not
// the programme's: the bar says why and the play list stays.
TEST_F(TransportTest, VideoWaitingForItsDownloadLoadsAndAFailedOneNeverEnds) {
    Start("4");
    transport.PlayingLocal = false;
    VideoSays(3);
    transport.Tick();
    EXPECT_EQ(bar.status, "正在装载,请稍等");
    vendor.percent = 37;
    transport.Tick();
    EXPECT_EQ(bar.status, "正在装载 37%");
    // A full store is told as soon as the library says so, while the player still has bytes:
    // it is paused there, once.
    VideoSays(1);
    vendor.progError = 2;
    transport.Tick();
    transport.Tick();
    EXPECT_EQ(bar.status, "无法播放: 磁盘空间不足");
    EXPECT_EQ(bar.tag, kTagStopped);
    EXPECT_EQ(std::count(flash.calls.begin(), flash.calls.end(), std::string(kPlayPauseRequest)), 1);
    VideoSays(0);
    transport.Tick();
    EXPECT_EQ(bar.status, "无法播放: 磁盘空间不足");
    EXPECT_EQ(nexts, 0);
}

TEST_F(TransportTest, DraggingSeeksOnEveryTickWithinTheLoadedPart) {
    Start("4");
    VideoSays(1);
    bar.bar.loadedWidth = 200;
    transport.KnobMouseDown(3);
    transport.KnobMouseMove(900);
    EXPECT_EQ(bar.bar.knobLeft, 12 + 200 - 6);
    transport.Tick();
    EXPECT_NE(std::find(flash.calls.begin(), flash.calls.end(), SeekRequest(194)),
              flash.calls.end())
        << "(206 - 12) / 1 = 194 seconds";
    EXPECT_EQ(bar.bar.knobLeft, 206) << "the timer leaves a held knob alone";
    transport.KnobMouseUp();

    Start("1");
    flash.canGotoFrame = false; // a movie that cannot jump
    transport.KnobMouseDown(3);
    EXPECT_FALSE(transport.KnobDragging);
}

TEST_F(TransportTest, PlayButtonPausesResumesAndReplays) {
    Start("2");
    audio.mode = MediaMode::Playing;
    transport.PlayButtonClick();
    EXPECT_EQ(audio.mode, MediaMode::Paused);
    EXPECT_EQ(bar.tag, kTagPaused);
    transport.PlayButtonClick();
    EXPECT_EQ(audio.mode, MediaMode::Playing);
    EXPECT_EQ(bar.tag, kTagPlaying);

    Start("4");
    VideoSays(1);
    transport.PlayButtonClick();
    EXPECT_EQ(flash.calls.back(), std::string(kPlayPauseRequest));
    transport.SetPlayState(PlayState::Playing);
    VideoSays(0); // ended a moment ago; the tick has not moved on yet
    flash.calls.clear();
    transport.PlayButtonClick();
    EXPECT_EQ(std::count(flash.calls.begin(), flash.calls.end(), std::string(kPlayPauseRequest)), 0)
        << "a pause does not start the ended video again";
    EXPECT_EQ(bar.tag, kTagPlaying) << "the tick moves on from it";
    transport.SetPlayState(PlayState::Stopped);
    transport.PlayButtonClick();
    EXPECT_EQ(replays, 1);
}

TEST_F(TransportTest, ClickOnTheLoadedBarSeeksOnlyWhereThereIsSomethingToSeek) {
    Start("2");
    transport.LoadBarClick(300);
    EXPECT_TRUE(audio.calls.empty()) << "length not known yet";

    audio.length = 569000;
    transport.LoadBarClick(103); // the knob centres at 12 + 103 - 3
    EXPECT_EQ(audio.position, 100000);
    EXPECT_EQ(bar.bar.knobLeft, 112);

    Start("4");
    VideoSays(2);
    transport.LoadBarClick(103);
    ASSERT_GE(flash.calls.size(), 2u);
    EXPECT_EQ(flash.calls[flash.calls.size() - 2], SeekRequest(100));
    EXPECT_EQ(flash.calls.back(), std::string(kPlayPauseRequest)) << "a paused movie plays on";
    EXPECT_EQ(bar.tag, kTagPlaying);
    EXPECT_EQ(bar.time, "01:40/09:29");
}

TEST_F(TransportTest, SeekingBySecondsStaysInsideTheProgramme) {
    Start("4");
    VideoSays(1); // at 100 of 569 s
    EXPECT_TRUE(transport.SeekBy(5));
    EXPECT_EQ(flash.calls.back(), SeekRequest(105));
    EXPECT_TRUE(transport.SeekTo(600));
    EXPECT_EQ(flash.calls.back(), SeekRequest(569));
    VideoSays(0);
    EXPECT_FALSE(transport.SeekBy(5)) << "stopped";

    Start("2");
    audio.length = 20400;
    audio.position = 3000;
    EXPECT_TRUE(transport.SeekBy(-5));
    EXPECT_EQ(audio.position, 0);

    Start("1"); // 5 s of plain Flash are 60 frames
    flash.totalFrames = 400;
    flash.currentFrame = 380;
    flash.calls.clear();
    EXPECT_TRUE(transport.SeekBy(5));
    EXPECT_EQ(flash.calls.front(), "GotoFrame 399");
    flash.canGotoFrame = false; // a movie that cannot jump
    EXPECT_FALSE(transport.SeekBy(-5));
}

TEST_F(TransportTest, SeekingToATimeStaysWithinTheProgrammeAndKeepsAPauseAPause) {
    Start("2");
    audio.length = 569000;
    bar.tag = kTagPaused;
    transport.SeekToMilliseconds(100400);
    EXPECT_EQ(audio.calls, std::vector<std::string>{"Position 100400"}) << "no Play while paused";
    EXPECT_EQ(bar.bar.knobLeft, 112) << "100 of 569 seconds on the 575-pixel bar";
    EXPECT_EQ(bar.time, "01:40/09:29");
    bar.tag = kTagPlaying;
    transport.SeekToMilliseconds(-5);
    EXPECT_EQ(audio.calls, (std::vector<std::string>{"Position 100400", "Position 0", "Play"}));

    Start("4");
    VideoSays(2);
    const size_t looks = bar.looks.size();
    transport.SeekToMilliseconds(100400);
    EXPECT_EQ(flash.calls.back(), SeekRequest(100));
    EXPECT_EQ(bar.looks.size(), looks) << "the paused video stays paused";
    transport.SeekToMilliseconds(3600000);
    EXPECT_EQ(flash.calls.back(), SeekRequest(569)) << "an hour is past the end";

    Start("1");
    flash.totalFrames = 400; // 33 1/3 seconds at 12 frames a second
    bar.tag = kTagPaused;
    transport.SeekToMilliseconds(10000);
    EXPECT_EQ(flash.calls.back(), "GotoFrame 120");
    EXPECT_EQ(transport.PositionMilliseconds(), 10000);
    EXPECT_EQ(transport.LengthMilliseconds(), 33333);
    transport.SeekToMilliseconds(3600000);
    EXPECT_EQ(flash.calls.back(), "GotoFrame 400");
    flash.canGotoFrame = false;
    transport.SeekToMilliseconds(0);
    EXPECT_EQ(flash.calls.back(), "GotoFrame 400") << "a movie that cannot jump is left alone";

    Start("3");
    transport.StartReading(20);
    transport.Tick();
    EXPECT_EQ(transport.PositionMilliseconds(), 1000) << "a text tells its reading clock";
    EXPECT_EQ(transport.LengthMilliseconds(), 20000);
}
