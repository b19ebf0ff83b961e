#include "playback/PlayState.h"

namespace luming {

namespace {

constexpr int kGlyphPlay = 8;
constexpr int kGlyphPause = 9;

} // namespace

std::optional<PlayStateLook> LookOf(int state) {
    switch (static_cast<PlayState>(state)) {
    case PlayState::Playing:
        return PlayStateLook{true, "暂停", kTagPlaying, kGlyphPause, "正在播放", false, false};
    case PlayState::Paused:
        return PlayStateLook{true, "继续播放", kTagPaused, kGlyphPlay, "暂停中", true, false};
    case PlayState::Stopped:
        return PlayStateLook{true, "重播", kTagStopped, kGlyphPlay, "已停止", std::nullopt, false};
    case PlayState::Loading:
        return PlayStateLook{false,        "暂停", kTagPlaying, kGlyphPause, "正在装载,请稍等",
                             std::nullopt, true};
    }
    return std::nullopt;
}

} // namespace luming
