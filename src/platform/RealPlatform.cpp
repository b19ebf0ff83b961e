#include "platform/RealPlatform.h"

#include "platform/MediaPlayer.h"
#include "platform/PlaceholderWebPane.h"
#include "platform/flash/EngineFlashControl.h"
#include "platform/mpv/MpvMediaPlayer.h"

#include <QCoreApplication>

namespace luming {

namespace {

// Ruffle's files are shipped beside the executable.
QString RuffleDir() {
    return QCoreApplication::applicationDirPath() + "/ruffle";
}

} // namespace

std::unique_ptr<FlashControl> RealPlatform::CreateFlashControl(QWidget* parent) {
    return std::make_unique<EngineFlashControl>(parent, volume_, RuffleDir());
}

WebPane* RealPlatform::CreateWebPane(QWidget* parent) {
    // Stands in the browsers' places until the browser engine arrives.
    return new PlaceholderWebPane(parent);
}

MediaPlayer* RealPlatform::CreateMediaPlayer(QWidget* parent) {
    return CreateMpvMediaPlayer(parent, volume_);
}

} // namespace luming
