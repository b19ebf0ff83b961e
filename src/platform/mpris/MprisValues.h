#pragma once

#include "platform/MediaSession.h"

#include <QString>
#include <QVariantMap>

#include <optional>

namespace luming {

// The object path the desktop's players are found at, and their interfaces.
inline constexpr char kMprisObjectPath[] = "/org/mpris/MediaPlayer2";
inline constexpr char kMprisRootInterface[] = "org.mpris.MediaPlayer2";
inline constexpr char kMprisPlayerInterface[] = "org.mpris.MediaPlayer2.Player";

// "Playing", "Paused" or "Stopped".
QString PlaybackStatusText(MediaStatus status);

// A track id for a programme id: an object path whose last element is the id with every
// character a path may not hold written as _XX (hex).
QString TrackIdPath(const std::string& programmeId);

// The Metadata property of a track; only the "no track" id when there is none.
QVariantMap TrackMetadata(const std::optional<MediaTrack>& track);

} // namespace luming
