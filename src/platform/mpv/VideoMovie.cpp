#include "platform/mpv/VideoMovie.h"

namespace luming {

// The libmpv engine is being built; until then there is no player movie.
bool MpvAvailable() {
    return false;
}

MovieEngine* CreateVideoMovie(QWidget*, VolumeLevel&) {
    return nullptr;
}

} // namespace luming
