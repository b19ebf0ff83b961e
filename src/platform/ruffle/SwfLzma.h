#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace luming::swf_lzma {

// An LZMA movie's body: the compressed length (4 bytes) and the coder's properties (5) before
// the data.
inline constexpr size_t kPrefix = 4 + 5;
// A movie whose dictionary needs more is not decoded here (nor worth playing on this machine).
inline constexpr uint64_t kMemoryLimit = 256u << 20;

// What liblzma's ".lzma" decoder reads first, from the body's prefix: the properties and an
// unknown length, as that format allows.
inline std::string AloneHeader(std::string_view prefix) {
    return std::string(prefix.substr(4, 5)) + std::string(8, '\xFF');
}

} // namespace luming::swf_lzma
