#pragma once

class QWidget;

namespace luming {

class MediaPlayer;
class VolumeLevel;

// The audio player on libmpv (audio only). nullptr when libmpv cannot be created. Follows
// `volume`.
MediaPlayer* CreateMpvMediaPlayer(QWidget* parent, VolumeLevel& volume);

} // namespace luming
