#include "platform/Platform.h"

#include <QWidget>

namespace luming {

bool FlashAvailable(Platform& platform) {
    return platform.CreateFlashControl(nullptr) != nullptr;
}

} // namespace luming
