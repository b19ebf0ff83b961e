#pragma once

#include "platform/ruffle/SwfHeader.h"

#include <string>
#include <string_view>

namespace luming {

// ExternalInterface callbacks of the wrapper movie, called as methods of the player element.
namespace wrapper {
// "current,total,playing" of the programme, e.g. "30,72,true"; the numbers are "undefined"
// until it has loaded.
constexpr char kState[] = "lumingState";
constexpr char kPlay[] = "lumingPlay";
constexpr char kStop[] = "lumingStop";
constexpr char kGotoAndPlay[] = "lumingGotoAndPlay"; // (frame)
constexpr char kGotoAndStop[] = "lumingGotoAndStop"; // (frame)
constexpr char kSetLoop[] = "lumingSetLoop";         // (loop); without it the last frame stops
} // namespace wrapper

// A one-frame ActionScript 2 movie with the programme's stage size and frame rate that loads the
// programme at `programmeUrl` (an absolute address) into _level1 and offers the callbacks above,
// so that the page can read and move the programme's frames. A stage wider or taller than
// 2^30 - 1 twips (a malformed programme) is cut to that size.
std::string BuildWrapperMovie(const SwfHeader& programme, std::string_view programmeUrl,
                              int backgroundColor);

} // namespace luming
