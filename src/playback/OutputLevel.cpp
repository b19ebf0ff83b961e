#include "playback/OutputLevel.h"

#include "playback/PlayerInterfaces.h"

#include <algorithm>

namespace luming {

uint32_t OutputLevel::PackedVolume(int level) {
    const auto byte = static_cast<uint32_t>(std::clamp(level, 0, kMaximum));
    return (byte << 8) | (byte << 24);
}

int OutputLevel::InitVolumeBar() {
    level_ = static_cast<int>(output_.GetVolume() >> 24);
    return kMaximum - level_;
}

void OutputLevel::TrackBarChange(int position) {
    level_ = kMaximum - std::clamp(position, 0, kMaximum);
    output_.SetVolume(PackedVolume(level_));
}

void OutputLevel::ToggleSound() {
    if (soundOn_) {
        output_.SetVolume(0);
        soundOn_ = false;
    } else {
        output_.SetVolume(PackedVolume(level_));
        soundOn_ = true;
    }
}

} // namespace luming
