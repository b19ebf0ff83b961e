#pragma once

#include <optional>
#include <string_view>

namespace luming {

enum class PlayState : int { Playing = 1, Paused = 2, Stopped = 3, Loading = 4 };

// What a player state shows on the transport bar.
struct PlayStateLook {
    bool buttonEnabled;
    std::string_view hint;
    int tag;   // the play button reads it back: 0 playing, 1 paused, 2 stopped
    int glyph; // of ImageList2
    std::string_view status;
    std::optional<bool> pauseAds; // show or hide the pause advertisement, or leave it
    bool showTransport;
};

// The look of `state`; nothing for a number that is no state.
std::optional<PlayStateLook> LookOf(int state);

// The play button's tags.
inline constexpr int kTagPlaying = 0;
inline constexpr int kTagPaused = 1;
inline constexpr int kTagStopped = 2;

} // namespace luming
