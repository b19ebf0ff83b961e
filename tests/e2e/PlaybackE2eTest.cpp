// The window with every real part: libmpv, Ruffle in Qt WebEngine, libkestrivane and the vendor's
// site on this machine, over the demo suite with small generated programmes.
#include "DemoSite.h"
#include "X11Windows.h"
#include "config/DataModule.h"
#include "config/Settings.h"
#include "content/ContentAddress.h"
#include "platform/FlashControl.h"
#include "platform/MediaPlayer.h"
#include "platform/RealPlatform.h"
#include "platform/WebPane.h"
#include "playback/FlvBridge.h"
#include "shell/StatusLabel.h"
#include "shell/TfrmMain.h"
#include "shell/TfrmSystemMsg.h"
#include "support/ScreenGrab.h"
#include "support/TempDir.h"

#include <QApplication>

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <cmath>

#include <gtest/gtest.h>

using namespace luming;
using namespace luming::test;
namespace fs = std::filesystem;

namespace {

// Generous: a loaded machine (a build beside the tests) slows Ruffle and the rate-limited site.
constexpr int kTimeoutMs = 90000;

// WCAG's relative luminance of a colour and the contrast ratio of two.
double Luminance(QRgb colour) {
    const auto linear = [](int channel) {
        const double c = channel / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(qRed(colour)) + 0.7152 * linear(qGreen(colour)) +
           0.0722 * linear(qBlue(colour));
}

double Contrast(QRgb one, QRgb other) {
    const double a = Luminance(one);
    const double b = Luminance(other);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

// Pixels of `a` clearly unlike those of `b` (the same size).
int DifferentPixels(const QImage& a, const QImage& b) {
    int different = 0;
    for (int y = 0; y < std::min(a.height(), b.height()); ++y)
        for (int x = 0; x < std::min(a.width(), b.width()); ++x) {
            const QColor p = a.pixelColor(x, y), q = b.pixelColor(x, y);
            different += std::max({std::abs(p.red() - q.red()), std::abs(p.green() - q.green()),
                                   std::abs(p.blue() - q.blue())}) > 40;
        }
    return different;
}

// What the X server shows in `area` (global coordinates) once it stops changing.
QImage ScreenAt(const QRect& area) {
    QImage last;
    for (int attempt = 0; attempt < 100; ++attempt) {
        QApplication::processEvents();
        const QImage now = GrabScreen(area);
        if (now == last)
            return now;
        last = now;
    }
    return last;
}

// Where the focus ring drawn over `ground` (giving `ring`) does not stand out: across its
// 4-pixel band, at every point of each side but the rounded corners, at least two pixels must
// differ from their ground by 3 : 1.
QStringList FaintPlaces(const QImage& ground, const QImage& ring) {
    constexpr int kBand = 4;
    constexpr int kCorner = 6;
    constexpr double kRequired = 3.0;
    const int width = ring.width();
    const int height = ring.height();
    QStringList faint;
    const auto across = [&](const char* side, QPoint start, QPoint step) {
        int standing = 0;
        for (int i = 0; i < kBand; ++i) {
            const QPoint at = start + step * i;
            standing += Contrast(ring.pixel(at), ground.pixel(at)) >= kRequired;
        }
        if (standing < 2)
            faint << QString("%1 at %2,%3").arg(side).arg(start.x()).arg(start.y());
    };
    for (int x = kCorner; x < width - kCorner; ++x) {
        across("top", {x, 0}, {0, 1});
        across("bottom", {x, height - 1}, {0, -1});
    }
    for (int y = kCorner; y < height - kCorner; ++y) {
        across("left", {0, y}, {1, 0});
        across("right", {width - 1, y}, {-1, 0});
    }
    return faint;
}

class DemoPlayback : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(PublishDemo(media, published));
        site = StartSite();
        ASSERT_FALSE(site->url().empty());
        siteUrl = site->url();

        QProcess suiteScript;
        suiteScript.setProcessChannelMode(QProcess::MergedChannels);
        suiteScript.start("bash", {LUMING_SOURCE_DIR "/demo/make-suite.sh", LUMING_BUILD_DIR,
                                   QString::fromStdString(media.string()),
                                   QString::fromStdString(suite.string()),
                                   QString::fromStdString(siteUrl)});
        ASSERT_TRUE(suiteScript.waitForFinished(kTimeoutMs));
        ASSERT_EQ(suiteScript.exitCode(), 0) << suiteScript.readAll().toStdString();

        const std::string appDir = (suite / "poetry").string() + "/";
        settings.EditionNo = 26;
        TDataModule1(appDir, settings).DataModuleCreate();
        platform = std::make_unique<RealPlatform>(QString::fromStdString(appDir + "ruffle"));
        window = std::make_unique<TfrmMain>(settings, *platform);
        window->show();
    }

    void TearDown() override {
        window.reset();
        platform.reset();
        site.reset();
    }

    // A slow site, so that a download is seen to grow.
    virtual std::unique_ptr<SiteServer> StartSite() { return StartVendorSite(published, 24); }

    // A programme of each kind that only the site has plays from it through the vendor's
    // library, with the site's strip beside it.
    void PlayEachKindFromTheSite() {
        ASSERT_TRUE(Wait([&] {
            return window->wbBottom->Address() == siteUrl + "/ad/StatusBar26.html" &&
                   !window->pnlStatusBarAds->isHidden();
        })) << site->Log();
        Click(4); // 望庐山瀑布, a video
        EXPECT_FALSE(window->Playback().PlayingLocal);
        EXPECT_TRUE(Wait([&] { return FlvGetPosition(*window->ShockwaveFlash1) >= 1; }))
            << Status().toStdString();
        Click(2); // 春晓, audio
        EXPECT_TRUE(Wait([&] {
            return window->AudioPlayer && window->AudioPlayer->Position() > 500 &&
                   Status() == QStringLiteral("正在播放");
        })) << Status().toStdString();
        Click(3); // 登鹳雀楼, a Flash movie
        FlashControl& flash = *window->ShockwaveFlash1;
        EXPECT_TRUE(Wait([&] { return flash.ReadyState() == 4 && flash.CurrentFrame() > 1; }))
            << flash.LoadError();
        for (const auto& [id, type] : {std::pair{"104", "4"}, {"102", "2"}, {"103", "1"}}) {
            const std::string path = SourceUrlFor("/dl/", id, type);
            EXPECT_NE(site->Log().find("GET " + path + " 20"), std::string::npos) << path;
        }
    }

    void Click(NodeIndex node) {
        window->Tree().Select(node);
        window->tv1Click();
    }
    bool Wait(const std::function<bool()>& condition) {
        return QTest::qWaitFor(condition, kTimeoutMs);
    }
    QString Status() { return window->lblStatus->text(); }
    // The control with the keyboard focus gets a key, as from the keyboard.
    void Press(Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key); }
    // The ring on the control with the focus stands out from what it is drawn over, as the
    // screen shows both.
    void ExpectRingStandsOut() {
        const QString stop = QApplication::focusWidget()->objectName();
        auto* mark = window->findChild<QWidget*>("focusMark");
        ASSERT_TRUE(mark && mark->isVisible() && mark->geometry().intersects(FocusedArea()))
            << "no ring at " << stop.toStdString();
        const QRect area(mark->mapToGlobal(QPoint()), mark->size());
        mark->hide();
        const QImage ground = ScreenAt(area);
        mark->show();
        const QStringList faint = FaintPlaces(ground, ScreenAt(area));
        EXPECT_TRUE(faint.isEmpty())
            << stop.toStdString() << ": " << faint.mid(0, 8).join("; ").toStdString();
    }
    QRect FocusedArea() {
        QWidget* focused = QApplication::focusWidget();
        return {focused->mapTo(window.get(), QPoint()), focused->size()};
    }
    int Loaded() { return window->pnlLoadPercent->width(); }

    TempDir temp;
    fs::path media = temp.path() / "media";
    fs::path suite = temp.path() / "suite";
    fs::path published = temp.path() / "site";
    std::unique_ptr<SiteServer> site;
    std::string siteUrl;
    Settings settings;
    std::unique_ptr<RealPlatform> platform;
    std::unique_ptr<TfrmMain> window;
};

} // namespace

TEST_F(DemoPlayback, TheCachedVideoPlaysWhenTheWindowOpens) {
    ASSERT_EQ(window->Channel().CurrentIndex, 1); // 静夜思, in the cache
    ASSERT_TRUE(Wait([&] { return FlvGetPosition(*window->ShockwaveFlash1) >= 1; }))
        << Status().toStdString();
    EXPECT_EQ(FlvGetPlayState(*window->ShockwaveFlash1), kFlvPlaying);
    EXPECT_EQ(FlvGetDuration(*window->ShockwaveFlash1), 8);
    EXPECT_TRUE(window->Playback().PlayingLocal);
    EXPECT_EQ(Status(), QStringLiteral("正在播放"));
    // A local file is all there.
    EXPECT_TRUE(Wait([&] { return Loaded() == window->pnlLoadAll->width() - 2; })) << Loaded();
}

TEST_F(DemoPlayback, TheTransportBarPausesResumesAndSeeksTheRealPlayer) {
    FlashControl& flash = *window->ShockwaveFlash1;
    ASSERT_TRUE(Wait([&] { return Status() == QStringLiteral("正在播放") && Loaded() > 0; }));
    QTest::mouseClick(window->btnPlay, Qt::LeftButton);
    EXPECT_TRUE(Wait([&] { return FlvGetPlayState(flash) == kFlvPaused; }));
    EXPECT_EQ(Status(), QStringLiteral("暂停中"));
    // Nothing to wait for but time: three seconds of play would move it three seconds on; the
    // position read as the pause began may still be a second behind.
    const int pausedAt = FlvGetPosition(flash);
    QTest::qWait(3000);
    EXPECT_LE(FlvGetPosition(flash) - pausedAt, 1) << "a pause holds";

    QTest::mouseClick(window->btnPlay, Qt::LeftButton);
    EXPECT_TRUE(Wait([&] { return FlvGetPlayState(flash) == kFlvPlaying; }));
    // A click at three quarters of the loaded bar: 6 of the 8 seconds.
    QTest::mouseClick(window->pnlLoadPercent, Qt::LeftButton, {},
                      {window->pnlLoadAll->width() * 3 / 4, 2});
    EXPECT_TRUE(Wait([&] { return FlvGetPosition(flash) >= 6; })) << FlvGetPosition(flash);
}

TEST_F(DemoPlayback, AudioFromTheSiteGrowsItsLoadedBarAndLoopModeMovesOnToAFlashMovie) {
    Click(2); // 春晓, only on the site
    EXPECT_FALSE(window->Playback().PlayingLocal);
    EXPECT_GT(window->Playback().CurrentPlay->TaskNo, 0);
    std::vector<int> widths;
    ASSERT_TRUE(Wait([&] {
        widths.push_back(Loaded());
        return window->AudioPlayer && window->AudioPlayer->Position() > 500 &&
               Status() == QStringLiteral("正在播放");
    })) << Status().toStdString();
    ASSERT_TRUE(Wait([&] {
        widths.push_back(Loaded());
        return Loaded() >= window->pnlLoadAll->width() - 2;
    }));
    EXPECT_LT(widths.front(), widths.back()) << "the bar grew as the programme came in";

    // Mode "0": at the end the next programme of the folder starts: 登鹳雀楼, a Flash movie
    // that also comes from the site.
    ASSERT_TRUE(Wait([&] { return window->Channel().CurrentIndex == 3; }));
    FlashControl& flash = *window->ShockwaveFlash1;
    ASSERT_TRUE(Wait([&] { return flash.ReadyState() == 4 && flash.CurrentFrame() > 1; }))
        << flash.LoadError();
    EXPECT_EQ(flash.TotalFrames(), 36);
    // The movie fills the control, though the video's engine came first.
    for (QWidget* engine : flash.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (engine->isVisible()) {
            EXPECT_EQ(engine->geometry(), flash.rect());
        }
    }
}

TEST_F(DemoPlayback, AProgrammeDownloadedOncePlaysAgainWithTheSiteStopped) {
    Click(2); // 春晓, only on the site
    ASSERT_TRUE(Wait([&] { return Loaded() >= window->pnlLoadAll->width() - 2; }));
    const auto heard = [&] {
        return window->AudioPlayer && window->AudioPlayer->Position() > 500 &&
               Status() == QStringLiteral("正在播放");
    };
    ASSERT_TRUE(Wait(heard));

    // On a train: no site, and the program started anew.
    site.reset();
    window.reset();
    platform = std::make_unique<RealPlatform>(QString::fromStdString(settings.AppDir + "ruffle"));
    window = std::make_unique<TfrmMain>(settings, *platform);
    window->show();
    Click(2);
    EXPECT_FALSE(window->Playback().PlayingLocal) << "served by the vendor's library";
    EXPECT_TRUE(Wait(heard)) << Status().toStdString();
}

TEST_F(DemoPlayback, ACachedFlashMoviePlaysAndAMissingOneSaysSo) {
    Click(9); // 独坐敬亭山, in the cache
    FlashControl& flash = *window->ShockwaveFlash1;
    // Its frames go on (it lasts three seconds: on a busy machine it may be over when asked).
    ASSERT_TRUE(Wait([&] { return flash.ReadyState() == 4 && flash.CurrentFrame() > 6; }))
        << flash.LoadError();
    ASSERT_TRUE(Wait([&] { return Status() == QStringLiteral("正在播放"); }));

    fs::remove(published / SourceUrlFor("dl/", "302", "1")); // 拉大锯: the site no longer has it
    Click(16);
    ASSERT_TRUE(Wait([&] { return Status().startsWith(QStringLiteral("无法播放")); }))
        << Status().toStdString();
}

namespace {

// The published demo served by nginx, and by the vendor's own site at full speed.
class FromNginx : public DemoPlayback {
    std::unique_ptr<SiteServer> StartSite() override {
        return StartNginx(published, temp.path() / "nginx");
    }
};
class FromVendorSite : public DemoPlayback {
    std::unique_ptr<SiteServer> StartSite() override { return StartVendorSite(published, 0); }
};

} // namespace

TEST_F(FromNginx, EachKindOfProgrammePlaysFromTheSite) {
    PlayEachKindFromTheSite();
}

TEST_F(FromVendorSite, EachKindOfProgrammePlaysFromTheSite) {
    PlayEachKindFromTheSite();
}

namespace {

// The same demo with the news pop-up's minute shortened to a tenth of a second.
class DemoPages : public DemoPlayback {
protected:
    void SetUp() override {
        qputenv("LUMING_SYSTEM_MSG_TICK_MS", "100");
        DemoPlayback::SetUp();
    }
    void TearDown() override {
        DemoPlayback::TearDown();
        qunsetenv("LUMING_SYSTEM_MSG_TICK_MS");
    }
};

} // namespace

namespace {

// The same pages under a real window manager, which decides what stands above what.
class DemoPagesUnderWindowManager : public DemoPages {
protected:
    void SetUp() override {
        windowManager.start("openbox", {"--sm-disable"});
        ASSERT_TRUE(windowManager.waitForStarted(kTimeoutMs));
        DemoPages::SetUp();
        ASSERT_TRUE(Wait([&] { return Stacked(window->winId()) >= 0; })) << "managed";
    }
    void TearDown() override {
        DemoPages::TearDown();
        windowManager.terminate();
        windowManager.waitForFinished(5000);
    }
    // Where the window stands in the manager's stack, bottom first; -1 when it is not there.
    static long Stacked(WId window) {
        const std::vector<uint32_t> stack = StackedClientWindows();
        const auto at = std::find(stack.begin(), stack.end(), static_cast<uint32_t>(window));
        return at == stack.end() ? -1 : at - stack.begin();
    }

    QProcess windowManager;
};

} // namespace

TEST_F(DemoPagesUnderWindowManager, TheNewsPopUpComesAboveTheMaximisedWindow) {
    window->limgMaxClick();
    ASSERT_TRUE(Wait([&] {
        return window->frmSystemMsg && window->frmSystemMsg->Timer1->isActive();
    })) << "slid in";
    const WId popUp = window->frmSystemMsg->winId();
    EXPECT_TRUE(Wait([&] { return Stacked(popUp) > Stacked(window->winId()); }))
        << "pop-up at " << Stacked(popUp) << ", window at " << Stacked(window->winId());
}

TEST_F(DemoPlayback, TheAdvertisingPanesShowTheEditionsPagesAndPausingShowsItsAdvertisement) {
    // Shown once their pages have come, at the edition's own addresses.
    ASSERT_TRUE(Wait([&] {
        return window->wbBottom->Address().find("/ad/StatusBar26.html") != std::string::npos &&
               window->wbAds->Address().find("/ad/ChannelAds26.html") != std::string::npos;
    }));
    EXPECT_FALSE(window->pnlStatusBarAds->isHidden());
    EXPECT_FALSE(window->pnlAds->isHidden());

    // Started again, so that it is not over before the pause on a busy machine.
    Click(1); // 静夜思, a video
    ASSERT_TRUE(Wait([&] { return Status() == QStringLiteral("正在播放") && Loaded() > 0; }));
    QTest::mouseClick(window->btnPlay, Qt::LeftButton);
    ASSERT_TRUE(Wait([&] { return !window->pnlPauseAds->isHidden(); }));
    EXPECT_TRUE(Wait([&] {
        return window->wbPauseAds->Address().find("/ad/PauseAds26.html") != std::string::npos;
    }));
    // On screen above the paused picture (colour bars), as the panel draws itself.
    const QRect ad(window->pnlPauseAds->mapToGlobal(QPoint()), window->pnlPauseAds->size());
    EXPECT_TRUE(Wait([&] {
        return DifferentPixels(GrabScreen(ad), window->pnlPauseAds->grab().toImage()) <
               ad.width() * ad.height() / 50;
    }));
    QTest::mouseClick(window->btnPlay, Qt::LeftButton);
    EXPECT_TRUE(window->pnlPauseAds->isHidden());
}

TEST_F(DemoPlayback, AProgrammeLinkInThePageStartsTheProgrammeAndThePageStays) {
    window->wbMain->Navigate(siteUrl + "/links.html");
    ASSERT_TRUE(Wait([&] { return window->wbMain->Address() == siteUrl + "/links.html"; }));
    // The second link of the page: 春晓, node 2.
    window->wbMain->RunScript("document.querySelectorAll('a')[1].click()");
    ASSERT_TRUE(Wait([&] { return window->Channel().CurrentIndex == 2; }));
    EXPECT_EQ(window->wbMain->Address(), siteUrl + "/links.html");
}

TEST_F(DemoPages, TheNewsPopUpSlidesInAndItsRecommendationPlays) {
    ASSERT_TRUE(Wait([&] {
        return window->frmSystemMsg && window->frmSystemMsg->Timer1->isActive();
    })) << "slid in";
    const QRect work = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(window->frmSystemMsg->y(), work.height() - (TfrmSystemMsg::kHeight + 1));
    // 今日推荐: the channel's first Flash movie, 登鹳雀楼 (node 3).
    window->frmSystemMsg->wbSystemMsg->RunScript("document.querySelector('a').click()");
    ASSERT_TRUE(Wait([&] { return window->Channel().CurrentIndex == 3; }));
    FlashControl& flash = *window->ShockwaveFlash1;
    EXPECT_TRUE(Wait([&] { return flash.ReadyState() == 4; })) << flash.LoadError();
}

TEST_F(DemoPlayback, EveryTabStopWearsARingThatStandsOutFromItsGround) {
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    // Paused, so that the picture around the volume bar's ring holds still.
    ASSERT_TRUE(Wait([&] { return Status() == QStringLiteral("正在播放"); }));
    window->btnPlayClick();
    ASSERT_TRUE(Wait([&] { return Status() == QStringLiteral("暂停中"); }));
    window->edtkey->setFocus(Qt::TabFocusReason);
    QStringList stops;
    do {
        stops << QApplication::focusWidget()->objectName();
        ExpectRingStandsOut();
        Press(Qt::Key_Tab);
    } while (QApplication::focusWidget() != window->edtkey && stops.size() < 30);
    for (const char* stop : {"imgSearch", "tv1", "pnlLoadAll", "TrackBar2", "sbtnMore",
                             "SpeedButton1", "limgNor", "limgClose"})
        EXPECT_TRUE(stops.contains(stop)) << stop << " in " << stops.join(", ").toStdString();
}

TEST_F(DemoPlayback, AFlashMovieFillsTheScreenAndComesBack) {
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    const QRect normal = window->geometry();
    Click(9); // 独坐敬亭山, in the cache
    FlashControl& flash = *window->ShockwaveFlash1;
    ASSERT_TRUE(Wait([&] { return flash.ReadyState() == 4; })) << flash.LoadError();
    window->sbtnFullScreen->click();
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    ASSERT_TRUE(Wait([&] { return window->geometry() == screen; }));
    EXPECT_EQ(flash.parentWidget(), window.get());
    EXPECT_EQ(flash.geometry(), QRect(QPoint(), screen.size()));
    EXPECT_FALSE(window->pnlExitFullScreen->isHidden());

    // Tab reaches the exit button, which shows it has the keys, and Space leaves.
    Press(Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), window->btnExitFullScreen);
    ExpectRingStandsOut();
    Press(Qt::Key_Space);
    EXPECT_EQ(window->FullScreenOn, 0);
    EXPECT_TRUE(Wait([&] { return window->geometry() == normal; }));
    EXPECT_EQ(flash.parentWidget(), window->pnlplayMain);
    EXPECT_TRUE(window->pnlExitFullScreen->isHidden());

    // The keys go on at the play button, where Space pauses and plays.
    ASSERT_EQ(QApplication::focusWidget(), window->btnPlay);
    ExpectRingStandsOut();
    Press(Qt::Key_Space);
    EXPECT_TRUE(Wait([&] { return Status() == QStringLiteral("暂停中"); }))
        << Status().toStdString();
    Press(Qt::Key_Space);
    EXPECT_TRUE(Wait([&] { return Status() == QStringLiteral("正在播放"); }))
        << Status().toStdString();
}
