#pragma once

class QWidget;

namespace luming {

class MovieEngine;
class VolumeLevel;

// True when libmpv can be created on this machine.
bool MpvAvailable();

// The player movie "flvplayer.swf" on libmpv: plays the `file` of its parameters (a path or an
// http address), draws its own slim control bar, and answers the invoke requests sendEvent
// ("playpause", "position" N), getDuration, getPosition and getPlayState. nullptr when libmpv
// cannot be created. Follows `volume`.
MovieEngine* CreateVideoMovie(QWidget* parent, VolumeLevel& volume);

} // namespace luming
