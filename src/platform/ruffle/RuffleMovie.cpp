#include "platform/ruffle/RuffleMovie.h"

namespace luming {

// The Ruffle engine is being built; until then there are no Flash movies.
bool RuffleFilesPresent(const QString&) {
    return false;
}

MovieEngine* CreateRuffleMovie(QWidget*, VolumeLevel&, const QString&) {
    return nullptr;
}

} // namespace luming
