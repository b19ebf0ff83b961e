// The vendor's pages around the player, with fake panes: the document-complete comparisons, the
// pause advertisement, the news pop-up's schedule and slide, the "more" buttons and programme
// links.
#include "config/Settings.h"
#include "content/ContentAddress.h"
#include "content/Des.h"
#include "playback/PlayState.h"
#include "shell/FormParts.h"
#include "shell/TfrmMain.h"
#include "shell/TfrmSystemMsg.h"
#include "support/Edition.h"
#include "support/FakePlatform.h"
#include "support/TempDir.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace luming;
using namespace luming::test;

namespace {

constexpr char kCatalogue[] = "<?xml version=\"1.0\" encoding=\"utf-8\"?><channel>"
                              "<i><type>0</type><id>1</id><pid></pid><name>唐诗</name></i>"
                              "<i><type>3</type><id>100</id><pid>1</pid><name>说明</name></i>"
                              "<i><type>2</type><id>102</id><pid>1</pid><name>春晓</name></i>"
                              "</channel>";

class WebPanes : public ::testing::Test {
protected:
    void SetUp() override {
        settings = MakeEdition(temp.path(), kCatalogue, "[Info]\n1=0\n");
        settings.WebBaseUrl = "http://vendor.test";
        settings.StatusBarAdUrl = "http://vendor.test/ad/StatusBar.html";
        settings.PauseAdUrl = "http://vendor.test/ad/PauseAds.HTML";
        settings.MessagePageUrl = "http://vendor.test/news.html";
        platform.probe.reachable = {"http://vendor.test/ad/StatusBar26.html",
                                    "http://vendor.test/ad/PauseAds26.html",
                                    "http://vendor.test/news.html"};
        window = std::make_unique<TfrmMain>(settings, platform);
        // These pages never load by themselves: the programme does not wait for them.
        window->PagesFirstLimit = std::chrono::milliseconds(0);
        window->show();
        QApplication::processEvents();
    }
    void TearDown() override { window.reset(); }

    static PlaceholderWebPane& Pane(WebPane* pane) {
        return *static_cast<PlaceholderWebPane*>(pane);
    }
    // Lets the probes (on threads of their own) answer.
    void Settle() {
        for (int i = 0; i < 20; ++i) {
            QTest::qWait(5);
            QApplication::processEvents();
        }
    }

    TempDir temp;
    Settings settings;
    FakePlatform platform;
    std::unique_ptr<TfrmMain> window;
};

} // namespace

TEST_F(WebPanes, TheStripShowsOnlyWhileItsPageIsTheEditionsOwn) {
    Settle();
    auto& strip = Pane(window->wbBottom);
    ASSERT_EQ(strip.address(), "http://vendor.test/ad/StatusBar26.html");
    strip.Complete("http://VENDOR.test/ad/statusbar26.html");
    EXPECT_FALSE(window->pnlStatusBarAds->isHidden()) << "letter case does not count";
    strip.Complete("http://vendor.test/frame.html", false);
    EXPECT_FALSE(window->pnlStatusBarAds->isHidden()) << "frames are ignored";
    strip.Complete("http://vendor.test/moved.html");
    EXPECT_TRUE(window->pnlStatusBarAds->isHidden()) << "redirected elsewhere";
    EXPECT_FALSE(strip.contextMenu);
}

TEST_F(WebPanes, ThePauseAdvertisementIsLoadedOnceWhilePausedAndGoesOnPlay) {
    auto& pause = Pane(window->wbPauseAds);
    window->Playback().SetPlayState(PlayState::Paused);
    Settle();
    window->Playback().SetPlayState(PlayState::Paused); // the timer asks again each second
    window->Playback().SetPlayState(PlayState::Paused);
    Settle();
    EXPECT_EQ(pause.navigations, std::vector<std::string>{"http://vendor.test/ad/PauseAds26.html"});
    ASSERT_FALSE(window->pnlPauseAds->isHidden());
    const QRect place = window->pnlPauseAds->geometry();
    EXPECT_EQ(place.center().x() - window->pnlplayMain->width() / 2, 0);
    window->Playback().SetPlayState(PlayState::Playing);
    EXPECT_TRUE(window->pnlPauseAds->isHidden());

    // Paused again: shown again (from the page it still has); its close image hides it.
    window->Playback().SetPlayState(PlayState::Paused);
    Settle();
    EXPECT_FALSE(window->pnlPauseAds->isHidden());
    window->imgPauseAdsCloseClick();
    EXPECT_TRUE(window->pnlPauseAds->isHidden());

    // Closed, it stays closed while the timer keeps saying "paused", until the next pause.
    window->Playback().SetPlayState(PlayState::Paused);
    Settle();
    EXPECT_TRUE(window->pnlPauseAds->isHidden());
    window->Playback().SetPlayState(PlayState::Playing);
    window->Playback().SetPlayState(PlayState::Paused);
    Settle();
    EXPECT_FALSE(window->pnlPauseAds->isHidden());
}

TEST_F(WebPanes, TheNewsComeOnTheThirdTickThenEverySixHoursHeldBackInFullScreen) {
    auto tick = [&](int times) {
        for (int i = 0; i < times; ++i)
            window->TimerSystemMsgTimer();
        Settle();
    };
    tick(2);
    EXPECT_TRUE(window->frmSystemMsg.isNull());
    window->FullScreenOn = 1;
    window->TimerSystemMsgTimer();
    window->TimerSystemMsgTimer(); // the probe answers only after this tick
    Settle();
    EXPECT_TRUE(window->frmSystemMsg.isNull()) << "held back in full screen";
    window->FullScreenOn = 0;
    tick(1);
    ASSERT_FALSE(window->frmSystemMsg.isNull()) << "the first tick after full screen";
    auto& news = Pane(window->frmSystemMsg->wbSystemMsg);
    EXPECT_TRUE(news.uncached);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(window->frmSystemMsg->y(), screen.height()) << "waits below the screen";

    news.Complete("http://vendor.test/NEWS.html");
    EXPECT_TRUE(QTest::qWaitFor([&] { return window->frmSystemMsg->Timer1->isActive(); }, 3000));
    const QRect work = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(window->frmSystemMsg->y(), work.height() - (TfrmSystemMsg::kHeight + 1));
    EXPECT_EQ(window->frmSystemMsg->x(), work.width() - TfrmSystemMsg::kWidth);
    window->frmSystemMsg->Image1Click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return window->frmSystemMsg.isNull(); }, 3000));

    window->SystemMsgTicks = 362;
    platform.desktop.windows = {{"TfrmMain", "鹿鸣果"}};
    tick(1);
    EXPECT_TRUE(window->frmSystemMsg.isNull()) << "the vendor's program shows its own news";
    EXPECT_EQ(window->SystemMsgTicks, 363);
    platform.desktop.windows.clear();
    tick(359);
    EXPECT_TRUE(window->frmSystemMsg.isNull());
    tick(1);
    EXPECT_FALSE(window->frmSystemMsg.isNull()) << "tick 723";
}

TEST_F(WebPanes, TheMoreButtonsOpenTheVendorsProgramOrItsSite) {
    window->SpeedButton1->click();
    EXPECT_EQ(platform.dialogs.information,
              std::vector<std::string>{"更多资源请到鹿鸣果网(http://vendor.test/)下载安装!"});
    EXPECT_EQ(platform.desktop.calls, std::vector<std::string>{"Open http://vendor.test"});

    const std::string program = (temp.path() / "suite" / "kestrivane.exe").string();
    WriteFile(program, "");
    platform.desktop.calls.clear();
    window->sbtnMore->click();
    EXPECT_EQ(platform.desktop.calls,
              (std::vector<std::string>{"Raise TfrmMain 鹿鸣果", "Start " + program}));
    platform.desktop.windows = {{"TfrmMain", "鹿鸣果"}};
    platform.desktop.calls.clear();
    window->SpeedButton1->click();
    EXPECT_EQ(platform.desktop.calls, std::vector<std::string>{"Raise TfrmMain 鹿鸣果"});
}

TEST_F(WebPanes, AProgrammeLinkStartsItsProgrammeAndOnlyThenIsCancelled) {
    auto link = [](const std::string& id, const std::string& items) {
        return "http://vendor.test/go?TJID_" + EncryptToHex(id, ContentKey) + items;
    };
    auto& page = Pane(window->wbMain);
    EXPECT_FALSE(page.PageNavigates("http://vendor.test/other.html"));
    EXPECT_FALSE(page.PageNavigates(link("102", "_春晓_2"))) << "three items: an ordinary link";

    EXPECT_TRUE(page.PageNavigates(link("102", "_春晓_2_1"), false)) << "in a frame too";
    EXPECT_EQ(window->Channel().CurrentIndex, 2) << "the tree's own node";
    EXPECT_EQ(window->Playback().CurrentPlay, &window->Tree().Play(2));

    EXPECT_TRUE(Pane(window->wbAds).PageNavigates(link("999", "_新诗_2_1")));
    ASSERT_NE(window->Playback().CurrentPlay, nullptr);
    EXPECT_EQ(window->Playback().CurrentPlay->Id, "999") << "a record of the link's own";
    EXPECT_EQ(window->Playback().CurrentPlay->Name, "新诗");
}
