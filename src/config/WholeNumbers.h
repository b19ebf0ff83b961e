#pragma once

#include <cstdint>
#include <optional>

namespace luming {

// Rounds to the nearest whole number, an exact half to the even neighbour; nothing when the
// result does not fit 32 bits (or the value is not finite).
std::optional<int32_t> RoundToInt32(double value);

// As RoundToInt32, but out-of-range values give 0: for geometry, where a wild value must not
// move anything far.
int32_t RoundHalfEven(double value);

} // namespace luming
