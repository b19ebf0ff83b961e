#include "platform/mpv/MpvMediaPlayer.h"

#include "platform/mpv/MpvAudioPlayer.h"

namespace luming {

MediaPlayer* CreateMpvMediaPlayer(QWidget* parent, VolumeLevel& volume) {
    return MpvAudioPlayer::Create(parent, volume);
}

} // namespace luming
