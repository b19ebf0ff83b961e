#include "playback/FlvBridge.h"

#include "config/TextCase.h"
#include "config/WholeNumbers.h"
#include "playback/PlayerInterfaces.h"

#include <cctype>
#include <charconv>
#include <cmath>

namespace luming {

namespace {

void RemoveAll(std::string& text, std::string_view part) {
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at))
        text.erase(at, part.size());
}

// The reply as a floating-point number: optional spaces around it, the point as separator.
bool ParseNumber(std::string_view text, double& value) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty())
        return false;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && std::isfinite(value);
}

int32_t NumberRequest(IFlashControl& flash, std::string_view request, int32_t fallback) {
    try {
        return ReplyNumber(flash.CallFunction(std::string(request)), fallback);
    } catch (...) {
        return fallback;
    }
}

} // namespace

std::string SeekRequest(int32_t seconds) {
    return "<invoke name=\"sendEvent\"><arguments><string>position</string><number>" +
           std::to_string(seconds) + "</number></arguments></invoke>";
}

std::string StripNumberTags(std::string_view reply) {
    std::string text = LowerAscii(reply);
    RemoveAll(text, "<number>");
    RemoveAll(text, "</number>");
    return text;
}

int32_t ReplyNumber(std::string_view reply, int32_t fallback) {
    double value = 0;
    if (!ParseNumber(StripNumberTags(reply), value))
        return fallback;
    return RoundToInt32(value).value_or(fallback);
}

void FlvPlayPause(IFlashControl& flash) {
    try {
        flash.CallFunction(std::string(kPlayPauseRequest));
    } catch (...) {
    }
}

void FlvSeek(IFlashControl& flash, int32_t seconds) {
    try {
        flash.CallFunction(SeekRequest(seconds));
    } catch (...) {
    }
}

int32_t FlvGetDuration(IFlashControl& flash) {
    return NumberRequest(flash, kDurationRequest, 0);
}

int32_t FlvGetPosition(IFlashControl& flash) {
    return NumberRequest(flash, kPositionRequest, 0);
}

int32_t FlvGetPlayState(IFlashControl& flash) {
    return NumberRequest(flash, kPlayStateRequest, -1);
}

} // namespace luming
