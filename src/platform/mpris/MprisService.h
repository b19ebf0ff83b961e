#pragma once

#include "platform/MediaSession.h"

#include <memory>

namespace luming {

// The bus name the desktop's media controls look for, and the one of a further edition running
// beside the one that holds it.
inline constexpr char kMprisBusName[] = "org.mpris.MediaPlayer2.luming";
std::string MprisEditionBusName(int editionNo);

// Publishes `session` on the session bus for the desktop's media keys and player applets; none
// when there is no session bus or neither name can be had. The session outlives the service.
std::unique_ptr<MediaSessionService> PublishMprisService(MediaSession& session, int editionNo);

} // namespace luming
