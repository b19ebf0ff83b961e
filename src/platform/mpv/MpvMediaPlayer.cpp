#include "platform/mpv/MpvMediaPlayer.h"

namespace luming {

// The libmpv engine is being built; until then there is no audio player.
MediaPlayer* CreateMpvMediaPlayer(QWidget*, VolumeLevel&) {
    return nullptr;
}

} // namespace luming
