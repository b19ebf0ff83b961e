#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kestrivane {

// The parts of a play address's path: "/<token>/P2P/<task><extension>".
struct StreamPath {
    std::string token;
    int32_t task = 0;
    std::string extension;
};

std::string MakeStreamPath(const StreamPath& path);

// Nothing for any path that is not of that exact form (the server answers those with 404).
std::optional<StreamPath> ParseStreamPath(std::string_view path);

} // namespace kestrivane
