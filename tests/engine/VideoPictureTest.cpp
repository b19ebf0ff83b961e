#include "engine/MediaFiles.h"
#include "platform/VolumeLevel.h"
#include "platform/flash/EngineFlashControl.h"
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

// The player movie's picture, drawn with OpenGL in a real X server.
TEST(VideoPicture, ShowsTheVideoInTheControlAndAfterFullScreen) {
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
    ASSERT_TRUE(QTest::qWaitFor([&] { return Position(control) > 0.3; }, kWaitMs));
    EXPECT_GT(BrightPixels(control.grab().toImage()), 100);

    auto* stage = control.findChild<QWidget*>("Stage");
    ASSERT_TRUE(stage);
    QTest::mouseDClick(stage, Qt::LeftButton);
    ASSERT_TRUE(stage->isWindow());
    QTest::qWait(300);
    EXPECT_TRUE(stage->isFullScreen());
    EXPECT_GT(BrightPixels(stage->grab().toImage()), 100);
    QTest::keyClick(stage, Qt::Key_Escape);
    ASSERT_FALSE(stage->isWindow());
    // Back in the control, with a renderer for the new GL context: the picture moves on.
    control.CallFunction(
        R"(<invoke name="sendEvent"><arguments><string>position</string><number>0.5</number></arguments></invoke>)");
    QTest::qWait(500);
    EXPECT_TRUE(control.LoadError().empty()) << control.LoadError();
    EXPECT_GT(BrightPixels(control.grab().toImage()), 100);
}

} // namespace
} // namespace luming
