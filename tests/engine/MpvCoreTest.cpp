#include "platform/mpv/MpvCore.h"

#include "engine/MediaFiles.h"
#include "support/TempDir.h"

#include <QTest>

#include <mpv/client.h>

#include <gtest/gtest.h>

namespace luming {
namespace {

// Requests go to mpv without waiting for it, one at a time when the core's picture is drawn on
// this thread and all at once otherwise: either way a burst of them ends as it was asked.
class MpvCoreRequests : public ::testing::TestWithParam<bool> {};

TEST_P(MpvCoreRequests, ABurstOfLoadStopLoadEndsWithTheLastFileAsAsked) {
    if (!test::MediaToolsPresent())
        GTEST_SKIP() << "ffmpeg/ffprobe missing: no test media";
    test::TempDir dir;
    const auto video = test::MakeFlv(dir.path()); // 3 s
    const auto sound = test::MakeMp3(dir.path()); // 2 s
    ASSERT_TRUE(video && sound);
    auto core = MpvCore::Create({{"vo", "null"}, {"ao", "null"}}, GetParam());
    ASSERT_TRUE(core);

    core->Load(video->string(), false);
    core->Stop();
    core->Load(sound->string(), true);
    core->SetPaused(false);
    core->SetPaused(true);

    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return core->Playback().loaded && core->Playback().duration > 0; }, 10000));
    EXPECT_NEAR(core->Playback().duration, 2.0, 0.2) << "the sound, not the video";
    int paused = 0;
    ASSERT_GE(mpv_get_property(core->Handle(), "pause", MPV_FORMAT_FLAG, &paused), 0);
    EXPECT_EQ(paused, 1) << "mpv took the last pause request last";
}

INSTANTIATE_TEST_SUITE_P(OneAtATimeOrAtOnce, MpvCoreRequests, ::testing::Bool());

} // namespace
} // namespace luming
