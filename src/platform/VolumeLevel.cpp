#include "platform/VolumeLevel.h"

#include <algorithm>

namespace luming {

void VolumeLevel::SetVolume(uint32_t volume) {
    const int before = Level();
    volume_ = volume;
    if (Level() != before)
        emit levelChanged(Level());
}

int VolumeLevel::Level() const {
    const uint32_t left = volume_ & 0xFFFFu;
    const uint32_t right = volume_ >> 16;
    return static_cast<int>(std::max(left, right) >> 8);
}

} // namespace luming
