#pragma once

#include <cstdint>
#include <string>

namespace luming {

// A time as the player shows it: "mm:ss", with the hours in front from one hour on ("1:02:05").
// A negative time has no meaning for a programme and reads "00:00".
std::string FormatSeconds(int64_t seconds);

} // namespace luming
