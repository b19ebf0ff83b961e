#include "platform/VolumeLevel.h"
#include "platform/flash/EngineFlashControl.h"

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

} // namespace luming
