// Arbitrary text as a request to the player movie, and arbitrary numbers in its replies.
#include "platform/mpv/PlayerRequest.h"
#include "playback/FlvBridge.h"

#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

using namespace luming;

void CheckRequest(std::string_view text) {
    const auto request = ParsePlayerRequest(text);
    if (request && !(std::isfinite(request->seconds) && request->seconds >= 0))
        std::abort();
    if (request && request->kind != PlayerRequest::Kind::Seek && request->seconds != 0)
        std::abort();
}

// The reply to a getter is "<number>…</number>" with the value to the millisecond.
void CheckNumberReply(double value) {
    const std::string reply = NumberReply(value);
    constexpr std::string_view open = "<number>", close = "</number>";
    if (reply.size() <= open.size() + close.size() || !reply.starts_with(open) ||
        !reply.ends_with(close))
        std::abort();
    const std::string_view digits(reply.data() + open.size(),
                                  reply.size() - open.size() - close.size());
    double back = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), back);
    if (error != std::errc() || end != digits.data() + digits.size())
        std::abort();
    const double expected = std::isfinite(value) ? value : 0.0;
    if (std::abs(back - expected) > 0.0005 + std::abs(expected) * 1e-15)
        std::abort();
    // The window reads whole seconds from the same reply.
    const int32_t seconds = ReplyNumber(reply, INT32_MIN);
    if (seconds != INT32_MIN && std::abs(seconds - back) > 0.5)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CheckRequest({reinterpret_cast<const char*>(data), size});
    if (size >= sizeof(double)) {
        double value = 0;
        std::memcpy(&value, data, sizeof value);
        CheckNumberReply(value);
    }
    return 0;
}
