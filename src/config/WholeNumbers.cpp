#include "config/WholeNumbers.h"

#include <cmath>
#include <limits>

namespace luming {

std::optional<int32_t> RoundToInt32(double value) {
    if (!std::isfinite(value))
        return std::nullopt;
    // nearbyint follows the rounding mode, which is to-nearest-even unless someone changed it.
    const double rounded = std::nearbyint(value);
    if (rounded < std::numeric_limits<int32_t>::min() ||
        rounded > std::numeric_limits<int32_t>::max())
        return std::nullopt;
    return static_cast<int32_t>(rounded);
}

int32_t RoundHalfEven(double value) {
    return RoundToInt32(value).value_or(0);
}

} // namespace luming
