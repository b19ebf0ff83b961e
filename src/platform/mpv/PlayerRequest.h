#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace luming {

// One invoke request the player movie answers.
struct PlayerRequest {
    enum class Kind { PlayPause, Seek, GetDuration, GetPosition, GetPlayState };
    Kind kind;
    double seconds = 0; // Seek: the absolute target, never negative
};

// Reads an ExternalInterface invoke request (`<invoke name="getPosition"></invoke>`, with
// `<arguments>` of `<string>` and `<number>` for sendEvent). Attributes in any order, single or
// double quotes, blanks between elements are accepted; anything else gives nothing.
std::optional<PlayerRequest> ParsePlayerRequest(std::string_view request);

// The reply carrying a number: `<number>3.05</number>` (to the millisecond, no trailing zeros).
std::string NumberReply(double value);

} // namespace luming
