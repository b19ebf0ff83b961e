#include "platform/RealPlatform.h"

#include "platform/PlaceholderWebPane.h"

#include <QWidget>

namespace luming {

std::unique_ptr<QWidget> RealPlatform::CreateFlashControl(QWidget* parent) {
    // Stands in the player's place until the playback engines arrive.
    auto control = std::make_unique<QWidget>(parent);
    control->setObjectName("ShockwaveFlash1");
    return control;
}

WebPane* RealPlatform::CreateWebPane(QWidget* parent) {
    // Stands in the browsers' places until the browser engine arrives.
    return new PlaceholderWebPane(parent);
}

QWidget* RealPlatform::CreateMediaPlayer(QWidget* parent) {
    // Stands in for the audio player until the media engine arrives.
    return new QWidget(parent);
}

} // namespace luming
