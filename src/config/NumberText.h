#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace luming {

// A decimal integer that fits 32 bits: optional sign, digits, nothing else (surrounding blanks
// allowed). Nothing for anything else, including the empty text.
std::optional<int32_t> ParseInt32(std::string_view text);

} // namespace luming
