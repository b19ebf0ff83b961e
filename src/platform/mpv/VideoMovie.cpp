#include "platform/mpv/VideoMovie.h"

#include "platform/mpv/MpvCore.h"
#include "platform/mpv/MpvVideoMovie.h"

namespace luming {

bool MpvAvailable() {
    return MpvCore::Available();
}

MovieEngine* CreateVideoMovie(QWidget* parent, VolumeLevel& volume) {
    return MpvVideoMovie::Create(parent, volume);
}

} // namespace luming
