#include "platform/mpv/MpvVideoMovie.h"
#include "platform/mpv/PlayerBar.h"

#include "engine/MediaFiles.h"
#include "platform/VolumeLevel.h"
#include "support/TempDir.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace luming {
namespace {

constexpr int kWaitMs = 10000;
constexpr char kPlayPause[] =
    R"(<invoke name="sendEvent"><arguments><string>playpause</string></arguments></invoke>)";

std::string SeekTo(const char* seconds) {
    return std::string(R"(<invoke name="sendEvent"><arguments><string>position</string><number>)") +
           seconds + "</number></arguments></invoke>";
}

double Number(const std::string& reply) {
    EXPECT_EQ(reply.rfind("<number>", 0), 0u) << reply;
    return std::stod(reply.substr(8));
}

class VideoMovieTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!test::MediaToolsPresent())
            return;
        dir_ = new test::TempDir;
        flv_ = test::MakeFlv(dir_->path());
        if (flv_)
            duration_ = test::ProbeDuration(*flv_);
    }
    static void TearDownTestSuite() {
        delete dir_;
        dir_ = nullptr;
    }
    void SetUp() override {
        if (!flv_ || !duration_)
            GTEST_SKIP() << "ffmpeg/ffprobe missing: no test video";
    }

    void Start(const std::string& speed, const std::string& vars) {
        movie_.reset(MpvVideoMovie::Create(nullptr, volume_,
                                           {{"vo", "null"}, {"ao", "null"}, {"speed", speed}}));
        ASSERT_TRUE(movie_);
        movie_->Load("flvplayer.swf", "file=" + flv_->string() + vars);
    }
    int State() {
        return static_cast<int>(
            Number(movie_->CallFunction("<invoke name=\"getPlayState\"></invoke>")));
    }
    double Position() {
        return Number(movie_->CallFunction("<invoke name=\"getPosition\"></invoke>"));
    }
    double Duration() {
        return Number(movie_->CallFunction("<invoke name=\"getDuration\"></invoke>"));
    }

    static inline test::TempDir* dir_ = nullptr;
    static inline std::optional<std::filesystem::path> flv_;
    static inline std::optional<double> duration_;
    VolumeLevel volume_;
    std::unique_ptr<MpvVideoMovie> movie_;
};

TEST_F(VideoMovieTest, LoadsPausedWithItsDurationAndSeeks) {
    Start("100", "&autostart=false&showplayerbar=true&showdigits=true");
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return movie_->ReadyState() == 4 && State() == 2; }, kWaitMs));
    EXPECT_TRUE(QTest::qWaitFor([&] { return Duration() > 0; }, kWaitMs));
    EXPECT_NEAR(Duration(), *duration_, 0.1);
    EXPECT_EQ(movie_->CallFunction(SeekTo("1.5")), "<undefined/>");
    EXPECT_TRUE(QTest::qWaitFor([&] { return std::abs(Position() - 1.5) < 0.1; }, kWaitMs))
        << Position();
    EXPECT_EQ(State(), 2);
    movie_->CallFunction(SeekTo("-4"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return Position() < 0.05; }, kWaitMs)) << Position();
    EXPECT_TRUE(movie_->LoadError().empty());
}

TEST_F(VideoMovieTest, PlaysAndPausesOnPlayPause) {
    Start("1", "&autostart=true");
    ASSERT_TRUE(QTest::qWaitFor([&] { return State() == 1 && Position() > 0; }, kWaitMs));
    EXPECT_TRUE(movie_->IsPlaying());
    movie_->CallFunction(kPlayPause);
    EXPECT_TRUE(QTest::qWaitFor([&] { return State() == 2; }, kWaitMs));
    EXPECT_FALSE(movie_->IsPlaying());
}

TEST_F(VideoMovieTest, StopsAtTheEndAndPlaysAgainFromTheStart) {
    Start("100", "&autostart=true");
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return movie_->ReadyState() == 4 && State() == 0; }, kWaitMs));
    EXPECT_NEAR(Position(), *duration_, 0.2);
    EXPECT_FALSE(movie_->IsPlaying());
    movie_->CallFunction(kPlayPause);
    // Played again from the start, it comes back to the end.
    EXPECT_TRUE(QTest::qWaitFor([&] { return State() != 0; }, kWaitMs));
    EXPECT_TRUE(QTest::qWaitFor([&] { return State() == 0; }, kWaitMs));
}

TEST_F(VideoMovieTest, AMissingFileIsALoadErrorAndCallsThrow) {
    Start("100", "");
    movie_->Load("flvplayer.swf", "file=" + (dir_->path() / "missing.flv").string());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !movie_->LoadError().empty(); }, kWaitMs));
    EXPECT_EQ(movie_->ReadyState(), 0);
    EXPECT_THROW(movie_->CallFunction("<invoke name=\"getDuration\"></invoke>"), FlashCallError);
    // A good file after it plays, and the error is gone.
    movie_->Load("flvplayer.swf", "file=" + flv_->string());
    EXPECT_TRUE(QTest::qWaitFor([&] { return movie_->ReadyState() == 4; }, kWaitMs));
    EXPECT_TRUE(movie_->LoadError().empty());
}

TEST_F(VideoMovieTest, CallsThrowWithoutAFileOrForUnknownRequests) {
    movie_.reset(MpvVideoMovie::Create(nullptr, volume_, {{"vo", "null"}, {"ao", "null"}}));
    ASSERT_TRUE(movie_);
    EXPECT_THROW(movie_->CallFunction(kPlayPause), FlashCallError);
    movie_->Load("flvplayer.swf", "file=" + flv_->string());
    ASSERT_TRUE(QTest::qWaitFor([&] { return movie_->ReadyState() == 4; }, kWaitMs));
    EXPECT_THROW(movie_->CallFunction("<invoke name=\"rewind\"></invoke>"), FlashCallError);
    movie_->Clear();
    EXPECT_EQ(movie_->ReadyState(), 0);
    EXPECT_THROW(movie_->CallFunction("<invoke name=\"getPosition\"></invoke>"), FlashCallError);
}

TEST_F(VideoMovieTest, DoubleClickGoesFullScreenAndEscapeComesBack) {
    QWidget control;
    auto* movie = MpvVideoMovie::Create(&control, volume_, {{"vo", "null"}, {"ao", "null"}});
    ASSERT_TRUE(movie);
    control.show();
    auto* stage = movie->findChild<QWidget*>("Stage");
    ASSERT_TRUE(stage);
    QSignalSpy changes(movie, &MovieEngine::fullScreenChanged);
    QTest::mouseDClick(stage, Qt::LeftButton);
    EXPECT_TRUE(stage->isWindow());
    EXPECT_TRUE(stage->isFullScreen());
    QTest::keyClick(stage, Qt::Key_Escape);
    EXPECT_FALSE(stage->isWindow());
    EXPECT_EQ(stage->parentWidget(), movie);
    ASSERT_EQ(changes.size(), 2);
    EXPECT_TRUE(changes[0][0].toBool());
    EXPECT_FALSE(changes[1][0].toBool());
}

// The movie's own clock and the window's time label read the same second: 8.6 s is 00:09 on both.
TEST(PlayerBarClock, CountsSecondsAsTheWindowDoes) {
    PlayerBar bar(nullptr);
    bar.SetShowDigits(true);
    bar.Show(true, 8.6, 23.4);
    const QLabel* digits = bar.findChild<QLabel*>();
    ASSERT_NE(digits, nullptr);
    EXPECT_EQ(digits->text(), "00:09/00:23");
}

} // namespace
} // namespace luming
