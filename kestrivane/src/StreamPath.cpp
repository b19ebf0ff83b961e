#include "StreamPath.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace kestrivane {

namespace {

constexpr std::string_view kMiddle = "/P2P/";
constexpr std::size_t kExtensionSize = 4;

bool IsHexDigits(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](unsigned char c) { return std::isxdigit(c) != 0; });
}

bool IsDigits(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](unsigned char c) { return std::isdigit(c) != 0; });
}

bool IsAlnum(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](unsigned char c) { return std::isalnum(c) != 0; });
}

} // namespace

std::string MakeStreamPath(const StreamPath& path) {
    return "/" + path.token + std::string(kMiddle) + std::to_string(path.task) + path.extension;
}

std::optional<StreamPath> ParseStreamPath(std::string_view path) {
    if (path.empty() || path.front() != '/')
        return std::nullopt;
    path.remove_prefix(1);
    const std::size_t middle = path.find(kMiddle);
    if (middle == std::string_view::npos || middle == 0)
        return std::nullopt;
    const std::string_view token = path.substr(0, middle);
    const std::string_view rest = path.substr(middle + kMiddle.size());
    if (!IsHexDigits(token) || rest.size() <= kExtensionSize)
        return std::nullopt;
    const std::string_view digits = rest.substr(0, rest.size() - kExtensionSize);
    const std::string_view extension = rest.substr(rest.size() - kExtensionSize);
    if (extension.front() != '.' || !IsAlnum(extension.substr(1)) || !IsDigits(digits))
        return std::nullopt;
    int32_t task = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), task);
    if (error != std::errc() || end != digits.data() + digits.size())
        return std::nullopt;
    return StreamPath{std::string(token), task, std::string(extension)};
}

} // namespace kestrivane
