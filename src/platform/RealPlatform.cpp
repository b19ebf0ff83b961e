#include "platform/RealPlatform.h"

#include "platform/MediaPlayer.h"
#include "platform/flash/EngineFlashControl.h"
#include "platform/mpris/MprisService.h"
#include "platform/mpv/MpvMediaPlayer.h"
#include "platform/mpv/VideoMovie.h"
#include "platform/ruffle/RuffleMovie.h"
#include "platform/web/QtWebPane.h"

namespace luming {

std::unique_ptr<FlashControl> RealPlatform::CreateFlashControl(QWidget* parent) {
    // Both engines or none: a control that plays only some programmes would fail a child later.
    if (!MpvAvailable() || !RuffleFilesPresent(ruffleDir_))
        return nullptr;
    return std::make_unique<EngineFlashControl>(parent, volume_, ruffleDir_);
}

WebPane* RealPlatform::CreateWebPane(QWidget* parent) {
    return new QtWebPane(parent);
}

MediaPlayer* RealPlatform::CreateMediaPlayer(QWidget* parent) {
    return CreateMpvMediaPlayer(parent, volume_);
}

std::unique_ptr<MediaSessionService> RealPlatform::PublishMediaSession(MediaSession& session,
                                                                       int editionNo) {
    return PublishMprisService(session, editionNo);
}

} // namespace luming
