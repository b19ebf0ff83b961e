// Full screen by the kind of the programme: the window's own for Flash movies (from the normal
// and the maximised window), the player movie's for videos, none for audio and text.
#include "config/Settings.h"
#include "shell/PageControl.h"
#include "shell/TfrmMain.h"
#include "support/Edition.h"
#include "support/FakePlatform.h"
#include "support/TempDir.h"

#include <QApplication>
#include <QFrame>
#include <QScreen>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace luming;
using namespace luming::test;

namespace {

constexpr char kCatalogue[] = "<?xml version=\"1.0\" encoding=\"utf-8\"?><channel>"
                              "<i><type>0</type><id>1</id><pid></pid><name>唐诗</name></i>"
                              "<i><type>4</type><id>101</id><pid>1</pid><name>静夜思</name></i>"
                              "<i><type>2</type><id>102</id><pid>1</pid><name>春晓</name></i>"
                              "<i><type>1</type><id>103</id><pid>1</pid><name>登鹳雀楼</name></i>"
                              "<i><type>3</type><id>104</id><pid>1</pid><name>咏鹅</name></i>"
                              "<i><type>1</type><id>105</id><pid>1</pid><name>悯农</name></i>"
                              "</channel>";
constexpr NodeIndex kVideo = 1, kAudio = 2, kFlash = 3, kText = 4, kOtherFlash = 5;

class FullScreen : public ::testing::Test {
protected:
    void SetUp() override {
        settings = MakeEdition(temp.path(), kCatalogue, "[Info]\n1=0\n11=0\n",
                               {"101.flv", "102.mp3", "103.swf", "104.txt", "105.swf"});
        window = std::make_unique<TfrmMain>(settings, platform);
        window->show();
        QApplication::processEvents();
    }

    void Play(NodeIndex node) {
        window->Tree().Select(node);
        window->tv1Click();
    }
    FakeFlashControl& Flash() { return *static_cast<FakeFlashControl*>(window->ShockwaveFlash1); }
    QRect Screen() const { return window->screen()->geometry(); }

    void ExpectOwnFullScreen() {
        EXPECT_EQ(window->FullScreenOn, 1);
        EXPECT_EQ(window->geometry(), Screen());
        EXPECT_EQ(window->ShockwaveFlash1->parentWidget(), window.get());
        EXPECT_EQ(window->ShockwaveFlash1->geometry(), window->rect());
        EXPECT_EQ(window->pnlExitFullScreen->geometry(), QRect(10, 10, 30, 24));
        EXPECT_EQ(window->childAt(15, 15), window->btnExitFullScreen) << "in front of the movie";
    }
    // Back in the frame: movie in the play area, page control 5 pixels beyond the frame.
    void ExpectFramed() {
        EXPECT_EQ(window->FullScreenOn, 0);
        EXPECT_EQ(window->ShockwaveFlash1->parentWidget(), window->pnlplayMain);
        EXPECT_EQ(window->ShockwaveFlash1->geometry(), window->pnlplayMain->rect());
        EXPECT_TRUE(window->pnlExitFullScreen->isHidden());
        EXPECT_FALSE(window->pnlPlayFlv->isHidden());
        EXPECT_EQ(window->pnlTop->geometry(), QRect(0, 0, window->width(), 20));
        EXPECT_EQ(window->pnlStatus->geometry().bottom(), window->pnlGameC->height() - 1);
        EXPECT_EQ(window->PageControl1->geometry(),
                  QRect(-5, -5, window->width() + 10, window->height() - 20 - 27 + 10));
    }

    TempDir temp;
    Settings settings;
    FakePlatform platform;
    std::unique_ptr<TfrmMain> window;
};

} // namespace

TEST_F(FullScreen, AFlashMovieFillsTheScreenFromTheNormalWindowAndEscapeRestoresIt) {
    window->limgNorClick();
    window->move(30, 40);
    Play(kFlash);
    window->sbtnFullScreen->click();
    ExpectOwnFullScreen();
    EXPECT_TRUE(window->pnlPlayFlv->isHidden());
    EXPECT_EQ(window->PageControl1->geometry(), window->pnlGameC->rect());
    EXPECT_EQ(window->focusWidget(), window->ShockwaveFlash1);
    EXPECT_EQ(window->NormalLeft, 30);
    EXPECT_EQ(window->NormalTop, 40);
    EXPECT_EQ(platform.desktop.calls, std::vector<std::string>{"Register Escape"});

    ASSERT_TRUE(platform.desktop.escape);
    platform.desktop.escape();
    EXPECT_EQ(window->geometry(), QRect(30, 40, 823, 592));
    ExpectFramed();
    EXPECT_EQ(window->focusWidget(), window->btnPlay) << "Space plays and pauses there";
    EXPECT_EQ(platform.desktop.calls,
              (std::vector<std::string>{"Register Escape", "Unregister Escape"}));
}

TEST_F(FullScreen, FromTheMaximisedWindowNoPlaceIsSavedAndTheWindowComesBackMaximised) {
    window->NormalLeft = 7;
    const QRect maximised = window->geometry();
    Play(kFlash);
    window->sbtnFullScreen->click();
    ExpectOwnFullScreen();
    EXPECT_EQ(window->NormalLeft, 7);

    window->btnExitFullScreen->click();
    EXPECT_EQ(window->FrameMaximized, 1);
    EXPECT_EQ(window->geometry(), maximised);
    ExpectFramed();
    window->limgNorClick();
    EXPECT_EQ(window->size(), QSize(823, 592)) << "the normal size from before the maximising";
}

TEST_F(FullScreen, AVideoUsesThePlayerMoviesOwnFullScreenAndFollowsIt) {
    Play(kVideo);
    window->sbtnFullScreen->click();
    EXPECT_EQ(Flash().calls.back(), "MovieFullScreen on");
    EXPECT_EQ(window->FullScreenOn, 1);
    EXPECT_TRUE(window->pnlExitFullScreen->isHidden());
    EXPECT_TRUE(platform.desktop.calls.empty()) << "no hot key for the movie's full screen";

    emit window->ShockwaveFlash1->fullScreenChanged(false); // Escape inside the movie
    EXPECT_EQ(window->FullScreenOn, 0);
    emit window->ShockwaveFlash1->fullScreenChanged(true); // a double click inside it
    window->btnExitFullScreenClick();
    EXPECT_EQ(Flash().calls.back(), "MovieFullScreen off");
    EXPECT_EQ(window->FullScreenOn, 0);
}

TEST_F(FullScreen, AudioSaysItCannotAndTextOrNoProgrammeDoNothing) {
    const QRect before = window->geometry();
    for (NodeIndex node : {kAudio, kText}) {
        Play(node);
        window->sbtnFullScreen->click();
    }
    window->Playback().CurrentPlay = nullptr;
    window->sbtnFullScreen->click();
    window->btnExitFullScreenClick();

    EXPECT_EQ(platform.dialogs.information, std::vector<std::string>{"音频文件不能全屏!"});
    EXPECT_EQ(window->FullScreenOn, 0);
    EXPECT_EQ(window->geometry(), before);
    EXPECT_TRUE(platform.desktop.calls.empty());
}

TEST_F(FullScreen, ANewProgrammeLeavesOnlyForAnotherKindOfPlayer) {
    Play(kFlash);
    window->sbtnFullScreen->click();
    Play(kOtherFlash);
    ExpectOwnFullScreen();
    Play(kVideo);
    ExpectFramed();
    EXPECT_EQ(platform.desktop.calls.back(), "Unregister Escape");

    // A text programme is shown in the window's play area: the window comes back for it.
    Play(kFlash);
    window->sbtnFullScreen->click();
    Play(kText);
    ExpectFramed();
}
