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
        const std::string& type = CurrentPlay->FileType;
        Position at;
        if (type == "4") {
            const int32_t state = FlvGetPlayState(players_.flash);
            if (state != kFlvPlaying && state != kFlvPaused)
                return std::nullopt;
            at = {FlvGetPosition(players_.flash), FlvGetDuration(players_.flash)};
        } else if (type == "2") {
            IMediaPlayer* audio = players_.audio();
            if (!audio || !audio->LoadError().empty())
                return std::nullopt;
            audio->SetTimeFormatMilliseconds();
            at = {static_cast<int32_t>(audio->Position() / 1000),
                  static_cast<int32_t>(audio->Length() / 1000)};
        } else if (type == "1") {
            IFlashControl& flash = players_.flash;
            if (flash.ReadyState() != 4)
                return std::nullopt;
            at = {flash.CurrentFrame() / kFlashFramesPerSecond,
                  flash.TotalFrames() / kFlashFramesPerSecond};
        } else {
            return std::nullopt;
        }
        if (at.total <= 0)
            return std::nullopt;
        at.seconds = std::clamp(at.seconds, 0, at.total);
        return at;
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
