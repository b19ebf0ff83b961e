#include "platform/RealPlatform.h"

#include <QWidget>

namespace luming {

std::unique_ptr<QWidget> RealPlatform::CreateFlashControl(QWidget* parent) {
    // Stands in the player's place until the playback engines arrive.
    auto control = std::make_unique<QWidget>(parent);
    control->setObjectName("ShockwaveFlash1");
    return control;
}

} // namespace luming
