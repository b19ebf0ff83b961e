#pragma once

#include <cstdint>

namespace luming {

class IOutputVolume;

// The volume control: a level 0..255 (top of the vertical track bar loudest), written to the
// output as level × 256 in both channels, and a mute toggle that remembers the level.
class OutputLevel {
public:
    explicit OutputLevel(IOutputVolume& output) : output_(output) {}

    static constexpr int kMaximum = 255;
    static uint32_t PackedVolume(int level);

    // The track bar's position for the output's present level; remembers that level.
    int InitVolumeBar();
    // The track bar moved to `position`.
    void TrackBarChange(int position);
    // Mute or unmute; the track bar is usable exactly while the sound is on.
    void ToggleSound();

    bool SoundOn() const { return soundOn_; }
    int Level() const { return level_; }

private:
    IOutputVolume& output_;
    int level_ = -1; // the last level set, as the track bar's tag keeps it
    bool soundOn_ = true;
};

} // namespace luming
