#include "content/ContentAddress.h"

#include "config/NumberText.h"
#include "content/ContentError.h"
#include "content/Des.h"

#include <array>
#include <utility>

namespace luming {

std::string_view GetFileExt(std::string_view fileType) {
    // The code is a number: "04" is a video as much as "4" is.
    static constexpr std::array<std::pair<int32_t, std::string_view>, 6> kExtensions = {{
        {1, ".swf"},
        {2, ".mp3"},
        {3, ".txt"},
        {4, ".flv"},
        {10, ".rar"},
        {11, ".zip"},
    }};
    const auto code = ParseInt32(fileType);
    if (!code)
        return {};
    for (const auto& [type, extension] : kExtensions)
        if (type == *code)
            return extension;
    return {};
}

int32_t ProgrammeIdNumber(std::string_view id) {
    const auto number = ParseInt32(id);
    if (!number)
        throw ContentError("'" + std::string(id) + "' is not a valid programme id");
    return *number;
}

int64_t IdBucket(int32_t id) {
    // Division truncates towards zero, which rounds negative quotients up already.
    const int64_t n = id;
    return n > 0 ? (n + 127) / 128 : n / 128;
}

std::string SourceUrlFor(std::string_view downloadBaseUrl, std::string_view id,
                         std::string_view fileType) {
    const int32_t number = ProgrammeIdNumber(id);
    std::string url(downloadBaseUrl);
    url += std::to_string(IdBucket(number));
    url += '/';
    url += EncryptToHex(std::to_string(number), ContentKey);
    url += GetFileExt(fileType);
    return url;
}

std::string DecodeNameSpaces(std::string_view name) {
    std::string decoded;
    decoded.reserve(name.size());
    for (std::size_t i = 0; i < name.size();) {
        if (name.substr(i, 3) == "%20") {
            decoded += ' ';
            i += 3;
        } else {
            decoded += name[i++];
        }
    }
    return decoded;
}

} // namespace luming
