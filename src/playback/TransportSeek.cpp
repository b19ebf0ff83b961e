// Seeking by time, for the keyboard, the media session and resuming: the same players the
// position bar drives, in seconds instead of pixels.
#include "playback/FlvBridge.h"
#include "playback/PlayerInterfaces.h"
#include "playback/Transport.h"

#include <algorithm>

namespace luming {

std::optional<Transport::Position> Transport::CurrentPosition() {
    if (!CurrentPlay)
        return std::nullopt;
    try {
        // A video counts only once it plays (or is paused), an audio file only if it opened.
        const std::string& type = CurrentPlay->FileType;
        if (type == "4") {
            const int32_t state = FlvGetPlayState(players_.flash);
            if (state != kFlvPlaying && state != kFlvPaused)
                return std::nullopt;
        } else if (type == "2") {
            IMediaPlayer* audio = players_.audio();
            if (!audio || !audio->LoadError().empty())
                return std::nullopt;
        }
        const auto total = static_cast<int32_t>(LengthMilliseconds() / 1000);
        if (total <= 0)
            return std::nullopt;
        const auto seconds = static_cast<int32_t>(PositionMilliseconds() / 1000);
        return Position{std::clamp(seconds, 0, total), total};
    } catch (...) {
        return std::nullopt;
    }
}

bool Transport::SeekTo(int32_t seconds) {
    if (KnobDragging)
        return false; // the knob being dragged decides
    return SeekToMilliseconds(int64_t{seconds} * 1000);
}

bool Transport::SeekBy(int32_t seconds) {
    if (CurrentPlay && CurrentPlay->FileType == "1") {
        // Frame by frame: whole seconds would lose the frames of the one begun.
        IFlashControl& flash = players_.flash;
        if (!CanSeek() || KnobDragging || flash.ReadyState() != 4)
            return false;
        try {
            const int32_t last = std::max(0, flash.TotalFrames() - 1);
            flash.GotoFrame(
                std::clamp(flash.CurrentFrame() + seconds * kFlashFramesPerSecond, 0, last));
            if (bar_.PlayButtonTag() == kTagPlaying)
                flash.Play();
            return true;
        } catch (...) {
            return false;
        }
    }
    const auto at = CurrentPosition();
    return at && SeekTo(at->seconds + seconds);
}

} // namespace luming
