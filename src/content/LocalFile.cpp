#include "content/LocalFile.h"

#include <algorithm>

namespace luming {

bool IsSafeFileStem(std::string_view stem) {
    if (stem.empty() || stem == "." || stem == "..")
        return false;
    return std::none_of(stem.begin(), stem.end(), [](char c) {
        const auto code = static_cast<unsigned char>(c);
        return c == '/' || c == '\\' || code < 32 || code == 127;
    });
}

std::optional<std::string> SafeLocalFile(std::string_view directory, std::string_view stem,
                                         std::string_view extension) {
    if (!IsSafeFileStem(stem))
        return std::nullopt;
    std::string path(directory);
    path += stem;
    path += extension;
    return path;
}

} // namespace luming
