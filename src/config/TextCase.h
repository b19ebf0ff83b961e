#pragma once

#include <algorithm>
#include <cctype>
#include <string>
#include <string_view>

namespace luming {

// `text` with its ASCII letters in lower case (addresses, keys and tags are compared this way).
inline std::string LowerAscii(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

} // namespace luming
