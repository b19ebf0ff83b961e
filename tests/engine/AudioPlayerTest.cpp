#include "platform/mpv/MpvAudioPlayer.h"

#include "engine/MediaFiles.h"
#include "platform/VolumeLevel.h"
#include "support/TempDir.h"

#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace luming {
namespace {

constexpr int kWaitMs = 10000;

class AudioPlayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!test::MediaToolsPresent())
            GTEST_SKIP() << "ffmpeg/ffprobe missing: no test sound";
        mp3_ = test::MakeMp3(dir_.path());
        ASSERT_TRUE(mp3_);
        const auto seconds = test::ProbeDuration(*mp3_);
        ASSERT_TRUE(seconds);
        lengthMs_ = *seconds * 1000;
        // Faster still, the null output swallows the whole file while it is paused.
        player_.reset(MpvAudioPlayer::Create(nullptr, volume_, {{"ao", "null"}, {"speed", "10"}}));
        ASSERT_TRUE(player_);
    }

    test::TempDir dir_;
    std::optional<std::filesystem::path> mp3_;
    double lengthMs_ = 0;
    VolumeLevel volume_;
    std::unique_ptr<MpvAudioPlayer> player_;
};

TEST_F(AudioPlayerTest, PlaysToTheEndWherePositionEqualsLength) {
    EXPECT_EQ(player_->Mode(), MediaMode::NotReady);
    player_->SetFileName(mp3_->string());
    player_->Open();
    EXPECT_EQ(player_->Mode(), MediaMode::Stopped);
    ASSERT_TRUE(QTest::qWaitFor([&] { return player_->Length() > 0; }, kWaitMs));
    EXPECT_NEAR(player_->Length(), lengthMs_, 100);
    player_->Play();
    EXPECT_EQ(player_->Mode(), MediaMode::Playing);
    ASSERT_TRUE(QTest::qWaitFor([&] { return player_->Mode() == MediaMode::Stopped; }, kWaitMs));
    EXPECT_EQ(player_->Position(), player_->Length());
    EXPECT_TRUE(player_->LoadError().empty());
    // Play at the end starts again.
    player_->Play();
    EXPECT_TRUE(QTest::qWaitFor([&] { return player_->Position() < player_->Length(); }, kWaitMs));
}

TEST_F(AudioPlayerTest, PauseTogglesAndStopHolds) {
    player_.reset(MpvAudioPlayer::Create(nullptr, volume_, {{"ao", "null"}}));
    player_->SetFileName(mp3_->string());
    player_->Open();
    player_->Play();
    player_->Pause();
    EXPECT_EQ(player_->Mode(), MediaMode::Paused);
    player_->Pause();
    EXPECT_EQ(player_->Mode(), MediaMode::Playing);
    player_->Stop();
    EXPECT_EQ(player_->Mode(), MediaMode::Stopped);
    player_->SetPosition(1500);
    EXPECT_TRUE(QTest::qWaitFor([&] { return std::abs(player_->Position() - 1500) < 50; }, kWaitMs))
        << player_->Position();
    EXPECT_EQ(player_->Mode(), MediaMode::Stopped);
}

TEST_F(AudioPlayerTest, OpeningAMissingFileThrows) {
    player_->SetFileName((dir_.path() / "missing.mp3").string());
    EXPECT_THROW(player_->Open(), MediaError);
    EXPECT_EQ(player_->Mode(), MediaMode::NotReady);
    player_->SetFileName("");
    EXPECT_THROW(player_->Open(), MediaError);
}

} // namespace
} // namespace luming
