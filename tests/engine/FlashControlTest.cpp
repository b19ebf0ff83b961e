#include "platform/VolumeLevel.h"
#include "platform/flash/EngineFlashControl.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace luming {

// A programme the vendor gave no address for must say so, not load for ever; the blank movie
// only clears the control.
TEST(EngineFlashControl, AnEmptyAddressIsALoadErrorAndTheBlankMovieClears) {
    VolumeLevel volume;
    EngineFlashControl control(nullptr, volume, "/nonexistent");
    control.SetFlashVars("file=&autostart=true");
    control.SetMovie("/app/flvplayer.swf");
    EXPECT_FALSE(control.LoadError().empty());
    EXPECT_THROW(control.CallFunction("<invoke name=\"getPlayState\"></invoke>"), FlashCallError);

    control.SetFlashVars("");
    control.SetMovie("");
    EXPECT_FALSE(control.LoadError().empty()) << "a Flash movie without an address";

    control.SetMovie("/app/flvplayer.swf?file=0.swf");
    EXPECT_EQ(control.LoadError(), "");
    EXPECT_EQ(control.ReadyState(), 0);
}

// The window asks the player movie for its full screen; the next video ends it, and the window
// hears of each change.
TEST(EngineFlashControl, ThePlayerMovieFillsTheScreenOnRequestUntilTheNextVideo) {
    VolumeLevel volume;
    EngineFlashControl control(nullptr, volume, "/nonexistent");
    control.SetFlashVars("file=/nonexistent/a.flv");
    control.SetMovie("/app/flvplayer.swf");
    control.show();
    auto* stage = control.findChild<QWidget*>("Stage");
    ASSERT_TRUE(stage);
    QSignalSpy changes(&control, &FlashControl::fullScreenChanged);

    control.SetMovieFullScreen(true);
    control.SetMovieFullScreen(true);
    EXPECT_TRUE(stage->isFullScreen());
    control.SetMovieFullScreen(false);
    EXPECT_FALSE(stage->isWindow());
    control.SetMovieFullScreen(true);
    control.SetMovie("/app/flvplayer.swf"); // the next video
    EXPECT_FALSE(stage->isWindow());

    ASSERT_EQ(changes.size(), 4) << "one signal per change, none for a repeated request";
    EXPECT_TRUE(changes[0][0].toBool());
    EXPECT_FALSE(changes[1][0].toBool());
    EXPECT_TRUE(changes[2][0].toBool());
    EXPECT_FALSE(changes[3][0].toBool());
}

} // namespace luming
