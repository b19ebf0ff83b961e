#include "platform/Platform.h"

#include "platform/FlashControl.h"

namespace luming {

bool FlashAvailable(Platform& platform) {
    return platform.CreateFlashControl(nullptr) != nullptr;
}

} // namespace luming
