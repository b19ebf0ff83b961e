// Programmes started from the window: the player of each kind, the audio player's life, the
// play modes and the volume, with fake players.
#include "config/IniFile.h"
#include "config/Settings.h"
#include "platform/MediaSession.h"
#include "playback/FlvBridge.h"
#include "shell/FormParts.h"
#include "shell/StatusLabel.h"
#include "shell/TextProgrammeView.h"
#include "shell/TfrmMain.h"
#include "support/Edition.h"
#include "support/FakePlatform.h"
#include "support/TempDir.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

using namespace luming;
using namespace luming::test;

namespace {

constexpr char kCatalogue[] = "<?xml version=\"1.0\" encoding=\"utf-8\"?><channel>"
                              "<i><type>0</type><id>1</id><pid></pid><name>唐诗</name></i>"
                              "<i><type>4</type><id>101</id><pid>1</pid><name>静夜思</name></i>"
                              "<i><type>2</type><id>102</id><pid>1</pid><name>春晓</name></i>"
                              "<i><type>1</type><id>103</id><pid>1</pid><name>登鹳雀楼</name></i>"
                              "<i><type>2</type><id>104</id><pid>1</pid><name>咏鹅</name></i>"
                              "</channel>";

class PlaybackWindow : public ::testing::Test {
protected:
    void SetUp() override {
        settings = MakeEdition(temp.path(), kCatalogue, "[Info]\n1=0\n11=0\n",
                               {"101.flv", "102.mp3", "103.swf"});
        window = std::make_unique<TfrmMain>(settings, platform);
        window->show();
        QApplication::processEvents();
    }

    FakeFlashControl& Flash() { return *static_cast<FakeFlashControl*>(window->ShockwaveFlash1); }
    FakeMediaPlayer* Audio() { return static_cast<FakeMediaPlayer*>(window->AudioPlayer); }
    void Click(NodeIndex node) {
        window->Tree().Select(node);
        window->tv1Click();
    }

    TempDir temp;
    Settings settings;
    FakePlatform platform;
    std::unique_ptr<TfrmMain> window;
};

} // namespace

TEST_F(PlaybackWindow, AVideoFromTheCachePlaysInThePlayerMovieAtOnce) {
    // The first programme started when the window was shown.
    const std::string cached = settings.AppDir + "Caches/26/101.flv";
    EXPECT_EQ(Flash().calls, (std::vector<std::string>{
                                 "Movie " + settings.AppDir + "flvplayer.swf?file=0.swf",
                                 "FlashVars", "Movie " + settings.AppDir + "flvplayer.swf"}));
    EXPECT_EQ(Flash().flashVars,
              "file=" + cached +
                  "&overstretch=true&showdigits=true&autostart=true&showplayerbar=true"
                  "&callback=true&enablejs=true&streamscript=http://");
    EXPECT_FALSE(Flash().loop);
    EXPECT_EQ(window->lblStatus->text(), QStringLiteral("正在播放"));
    EXPECT_TRUE(window->TimerPlayList->isActive());
    EXPECT_TRUE(window->Playback().PlayingLocal);

    Click(3); // a Flash movie: exact fit on black
    EXPECT_EQ(Flash().movie, settings.AppDir + "Caches/26/103.swf");
    EXPECT_EQ(Flash().scaleMode, 2);
    EXPECT_EQ(Flash().backgroundColor, 0);
}

TEST_F(PlaybackWindow, APlayingAudioPlayerIsReusedAndAPausedOneReplaced) {
    Click(2);
    ASSERT_NE(Audio(), nullptr);
    EXPECT_EQ(Audio()->fileName, settings.AppDir + "Caches/26/102.mp3");
    EXPECT_EQ(Audio()->mode, MediaMode::Playing);
    FakeMediaPlayer* first = Audio();

    Click(4); // no copy anywhere and the vendor refuses: the player gets what PlayUrl holds
    EXPECT_EQ(Audio(), first);
    EXPECT_EQ(Audio()->objectName(), "FrameMP1");
    EXPECT_EQ(Audio()->fileName, "");
    EXPECT_FALSE(window->Playback().PlayingLocal);
    EXPECT_EQ(window->lblStatus->text(), QStringLiteral("正在装载,请稍等"));

    Audio()->mode = MediaMode::Paused;
    Click(2);
    EXPECT_EQ(Audio()->objectName(), "FrameMP3") << "a new player, named with the next serial";
}

TEST_F(PlaybackWindow, AnAudioPlayerThatCannotOpenIsReportedNotLeftLoading) {
    Click(2);
    Audio()->mode = MediaMode::Paused; // replaced by a fresh one on the next audio start
    Click(1);
    Audio()->failOpen = true;
    Click(2);
    EXPECT_TRUE(platform.dialogs.errors.empty()) << "no box stands in the way";
    EXPECT_EQ(window->lblStatus->text(), QStringLiteral("无法播放: 节目文件无法打开"));
    EXPECT_TRUE(window->lblStatus->toolTip().contains("102.mp3"));
    EXPECT_TRUE(window->btnPlay->isEnabled()) << "the button offers to try again";
}

TEST_F(PlaybackWindow, InSequenceModeTheEndOfTheFolderIsToldOnce) {
    window->N14->trigger();
    Click(4);
    Audio()->length = 3000;
    Audio()->position = 3000;
    window->TimerPlayListTimer();
    EXPECT_EQ(platform.dialogs.information, std::vector<std::string>{"节目列表按顺序播放完成!"});
    EXPECT_FALSE(window->TimerPlayList->isActive()) << "so the end is not found again each second";

    window->btnNext->click(); // the next button wraps to the first of the folder
    EXPECT_EQ(window->Channel().CurrentIndex, 1);
}

TEST_F(PlaybackWindow, PlayModeIsShownAndKept) {
    window->N16->trigger();
    EXPECT_EQ(ReadIniValue(settings.LocalIniPath, kInfoSection, "11"), "3");
    EXPECT_TRUE(window->N16->isChecked());
    EXPECT_FALSE(window->N13->isChecked());
    window->btnPre->click(); // from the first of the folder to the last
    EXPECT_EQ(window->Channel().CurrentIndex, 4);
}

TEST_F(PlaybackWindow, MuteRemembersTheLevelAndTheTrackBarSetsIt) {
    EXPECT_EQ(window->TrackBar2->value(), 0) << "full at start: the top of the bar";
    window->TrackBar2->setValue(55);
    EXPECT_EQ(platform.volume.volume, 0xC800C800u);
    window->btnSound->click();
    EXPECT_EQ(platform.volume.volume, 0u);
    EXPECT_FALSE(window->TrackBar2->isEnabled());
    window->btnSound->click();
    EXPECT_EQ(platform.volume.volume, 0xC800C800u);
    EXPECT_TRUE(window->TrackBar2->isEnabled());
}

TEST_F(PlaybackWindow, MediaKeysPressTheTransportButtonsAndMoveTheVolumeBar) {
    ASSERT_NE(platform.mediaSession, nullptr);
    MediaSession& session = *platform.mediaSession;
    // The video of the first start plays.
    EXPECT_EQ(session.Status(), MediaStatus::Playing);
    EXPECT_EQ(session.Track(), (MediaTrack{"101", "静夜思", "唐诗", std::nullopt, ""}));

    const int changes = platform.mediaSessionChanges;
    session.Play();
    EXPECT_EQ(session.Status(), MediaStatus::Playing) << "play while playing does nothing";
    session.PlayPause();
    EXPECT_EQ(window->lblStatus->text(), QStringLiteral("暂停中"));
    EXPECT_EQ(session.Status(), MediaStatus::Paused);
    session.Pause();
    EXPECT_EQ(session.Status(), MediaStatus::Paused) << "pause while paused does nothing";
    EXPECT_GT(platform.mediaSessionChanges, changes);
    window->Playback().SetPlayState(PlayState::Loading); // waiting for bytes: nothing moves
    EXPECT_EQ(session.Status(), MediaStatus::Paused);

    session.Next();
    EXPECT_EQ(window->Channel().CurrentIndex, 2);
    EXPECT_EQ(session.Track()->title, "春晓");
    Audio()->length = 20000;
    Audio()->position = 5000;
    session.Stop(); // pauses and goes back to the start
    EXPECT_EQ(Audio()->calls, (std::vector<std::string>{"Open", "Play", "Pause", "Position 0"}));
    EXPECT_EQ(session.Status(), MediaStatus::Paused);
    EXPECT_EQ(session.Track()->length, 20000000);
    session.Previous();
    EXPECT_EQ(window->Channel().CurrentIndex, 1);

    session.SetVolume(0.2); // level 51 of 255
    EXPECT_EQ(window->TrackBar2->value(), 204);
    EXPECT_EQ(platform.volume.volume, 0x33003300u);
    EXPECT_DOUBLE_EQ(session.Volume(), 0.2);
    window->btnSound->click();
    EXPECT_EQ(session.Volume(), 0.0) << "muted";
    session.SetVolume(1.0);
    EXPECT_TRUE(window->TrackBar2->isEnabled()) << "a volume key brings the sound back";
    EXPECT_EQ(platform.volume.volume, 0xFF00FF00u);
}

TEST(HiddenStart, PlaysTheRememberedProgrammeOnceWithoutShowingTheWindow) {
    TempDir temp;
    Settings settings = MakeEdition(temp.path(), kCatalogue, "[Info]\n1=0\n26=2\n", {"102.mp3"});
    settings.StartHidden = true;
    FakePlatform platform;
    TfrmMain window(settings, platform);
    EXPECT_FALSE(window.isVisible());
    ASSERT_NE(window.AudioPlayer, nullptr);
    auto* audio = static_cast<FakeMediaPlayer*>(window.AudioPlayer);
    EXPECT_EQ(audio->calls, (std::vector<std::string>{"Open", "Play"})) << "春晓 plays hidden";

    window.show(); // brought forward later by a second start
    QApplication::processEvents();
    EXPECT_EQ(audio->calls, (std::vector<std::string>{"Open", "Play"})) << "not started again";
}

TEST_F(PlaybackWindow, KeysReachThePlayersHandlersButNotTheSearchBox) {
    Click(2); // audio, playing
    QWidget* player = window->ShockwaveFlash1;
    QTest::keyClick(player, Qt::Key_Space);
    EXPECT_EQ(Audio()->mode, MediaMode::Paused);
    EXPECT_EQ(window->btnPlay->toolTip(), QStringLiteral("继续播放 (空格)"));

    const int level = window->TrackBar2->value();
    QTest::keyClick(player, Qt::Key_Down); // quieter: the bar's knob goes down
    EXPECT_EQ(window->TrackBar2->value(), level + 16);
    QTest::keyClick(player, Qt::Key_M);
    EXPECT_FALSE(window->TrackBar2->isEnabled()) << "muted";

    QTest::keyClick(player, Qt::Key_N);
    EXPECT_EQ(window->Channel().CurrentIndex, 3);
    QTest::keyClick(window->edtkey, Qt::Key_N);
    EXPECT_EQ(window->Channel().CurrentIndex, 3) << "typed into the box";
    QTest::keyClick(window->tv1, Qt::Key_Up);
    EXPECT_EQ(window->Channel().CurrentIndex, 3) << "the tree's arrow moves the selection only";
    QTest::keyClick(window->tv1, Qt::Key_Return);
    EXPECT_EQ(window->Channel().CurrentIndex, 2) << "Enter plays the selected programme";
    EXPECT_EQ(window->btnNext->toolTip(), QStringLiteral("下一首 (N)"));
    EXPECT_EQ(window->btnNext->accessibleName(), QStringLiteral("下一首"));
}

TEST_F(PlaybackWindow, AVideoLeftHalfWayGoesOnFromThereNextTime) {
    const auto says = [this](const char* position) {
        Flash().replies[std::string(kPlayStateRequest)] = "<number>1</number>";
        Flash().replies[std::string(kDurationRequest)] = "<number>569</number>";
        Flash().replies[std::string(kPositionRequest)] = position;
    };
    says("<number>100</number>");
    Click(2); // 静夜思 is left at 100 s
    EXPECT_EQ(ReadFile(settings.AppDir + "Config/positions.ini"), "[26]\n101=100\n");

    says("<number>0</number>");
    Click(1);
    window->TimerPlayListTimer();
    window->TimerPlayListTimer();
    EXPECT_EQ(std::count(Flash().calls.begin(), Flash().calls.end(), SeekRequest(100)), 1);
}

namespace {

// 静夜思 (a video) and a text programme in GBK, as catalogues written on Windows hold them.
class TextProgrammeWindow : public PlaybackWindow {
protected:
    void SetUp() override {
        settings = MakeEdition(
            temp.path(),
            "<?xml version=\"1.0\" encoding=\"utf-8\"?><channel>"
            "<i><type>0</type><id>1</id><pid></pid><name>唐诗</name></i>"
            "<i><type>4</type><id>101</id><pid>1</pid><name>静夜思</name></i>"
            "<i><type>3</type><id>105</id><pid>1</pid><name>小知识</name></i></channel>",
            "[Info]\n1=0\n11=0\n", {"101.flv"});
        // "床前明月光" in GBK.
        WriteFile(temp.path() / "suite" / "26" / "Caches" / "26" / "105.txt",
                  "\xB4\xB2\xC7\xB0\xC3\xF7\xD4\xC2\xB9\xE2");
        window = std::make_unique<TfrmMain>(settings, platform);
        window->show();
        QApplication::processEvents();
    }
};

} // namespace

TEST_F(TextProgrammeWindow, ATextIsShownReadForItsTimeAndTheListGoesOn) {
    Click(2);
    EXPECT_TRUE(window->txtProgramme->isVisible());
    EXPECT_EQ(window->txtProgramme->toPlainText(), QStringLiteral("床前明月光"));
    EXPECT_EQ(window->lblStatus->text(), QStringLiteral("正在阅读"));
    // Five characters: 8 s + 5 × 0.3 s = 9.5 s, counted as 10 ticks of the play-list timer.
    EXPECT_EQ(window->lblTime->text(), "00:00/00:10");
    for (int tick = 0; tick < 9; ++tick)
        window->TimerPlayListTimer();
    EXPECT_EQ(window->Channel().CurrentIndex, 2);
    window->TimerPlayListTimer();
    EXPECT_EQ(window->Channel().CurrentIndex, 1) << "the list goes on to 静夜思";
    EXPECT_FALSE(window->txtProgramme->isVisible());
}

TEST_F(TextProgrammeWindow, ATextRepeatedIsReadAgainFromThePageItIsOn) {
    window->setPlayMode("2"); // 单曲循环
    Click(2);
    ASSERT_EQ(window->lblStatus->text(), QStringLiteral("正在阅读"));
    // Read again from the page, not fetched and shown anew: without its file it goes on.
    std::filesystem::remove(temp.path() / "suite" / "26" / "Caches" / "26" / "105.txt");
    for (int tick = 0; tick < 10; ++tick)
        window->TimerPlayListTimer();
    EXPECT_EQ(window->Channel().CurrentIndex, 2);
    EXPECT_EQ(window->txtProgramme->toPlainText(), QStringLiteral("床前明月光"));
    EXPECT_EQ(window->lblStatus->text(), QStringLiteral("正在阅读"));
    EXPECT_EQ(window->lblTime->text(), "00:00/00:10");
}
