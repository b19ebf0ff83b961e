#include "engine/MediaFiles.h"
#include "platform/VolumeLevel.h"
#include "platform/flash/EngineFlashControl.h"
#include "support/ScreenGrab.h"
#include "support/TempDir.h"

#include <QGuiApplication>
#include <QImage>
#include <QTest>

#include <gtest/gtest.h>

namespace luming {
namespace {

constexpr int kWaitMs = 10000;

double Position(FlashControl& control) {
    const std::string reply = control.CallFunction(R"(<invoke name="getPosition"></invoke>)");
    return std::stod(reply.substr(reply.find('>') + 1));
}

// Pixels clearly brighter than the black around the picture (the test video is colour bars).
int BrightPixels(const QImage& image) {
    int bright = 0;
    for (int y = 0; y < image.height(); y += 4)
        for (int x = 0; x < image.width(); x += 4)
            bright += qGray(image.pixel(x, y)) > 60;
    return bright;
}

QRect OnScreen(const QWidget& widget) {
    return {widget.mapToGlobal(QPoint()), widget.size()};
}

// The X server shows the picture over `widget` (a widget's own grab leaves native windows out).
bool PictureShowsOver(const QWidget& widget) {
    return QTest::qWaitFor(
        [&] { return BrightPixels(test::GrabScreen(OnScreen(widget))) > 100; }, kWaitMs);
}

// The player movie's picture, drawn with OpenGL in a real X server.
TEST(VideoPicture, ShowsTheVideoInTheControlInFullScreenAndBackAndUnderWidgetsWhilePaused) {
    if (QGuiApplication::platformName() != "xcb")
        GTEST_SKIP() << "needs an X server (run under Xvfb)";
    if (!test::MediaToolsPresent())
        GTEST_SKIP() << "ffmpeg/ffprobe missing: no test video";
    test::TempDir dir;
    const auto flv = test::MakeFlv(dir.path());
    ASSERT_TRUE(flv);
    VolumeLevel volume;
    EngineFlashControl control(nullptr, volume, QString());
    control.resize(320, 240);
    control.show();
    control.SetFlashVars("file=" + flv->string() + "&autostart=true");
    control.SetMovie("flvplayer.swf");
    ASSERT_TRUE(QTest::qWaitFor([&] { return control.ReadyState() == 4; }, kWaitMs))
        << control.LoadError();
    EXPECT_TRUE(PictureShowsOver(control));

    auto* stage = control.findChild<QWidget*>("Stage");
    ASSERT_TRUE(stage);
    QTest::mouseDClick(stage, Qt::LeftButton);
    ASSERT_TRUE(stage->isWindow());
    ASSERT_TRUE(QTest::qWaitFor([&] { return stage->isFullScreen(); }, kWaitMs));
    EXPECT_TRUE(PictureShowsOver(*stage));
    QTest::keyClick(stage, Qt::Key_Escape);
    ASSERT_FALSE(stage->isWindow());
    // Back in the control: the picture moves on there.
    control.CallFunction(
        R"(<invoke name="sendEvent"><arguments><string>position</string><number>0.5</number></arguments></invoke>)");
    EXPECT_TRUE(QTest::qWaitFor([&] { return Position(control) > 0.7; }, kWaitMs));
    EXPECT_TRUE(control.LoadError().empty()) << control.LoadError();
    EXPECT_TRUE(PictureShowsOver(control));

    // Paused, the picture stays, and a widget laid over it shows above it.
    control.Stop();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !control.IsPlaying(); }, kWaitMs));
    EXPECT_TRUE(PictureShowsOver(control));
    QWidget cover(&control);
    cover.setGeometry(40, 40, 80, 60);
    cover.setAutoFillBackground(true);
    cover.setPalette(QPalette(Qt::black));
    cover.show();
    cover.raise();
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return BrightPixels(test::GrabScreen(OnScreen(cover))) == 0; }, kWaitMs));
}

} // namespace
} // namespace luming
