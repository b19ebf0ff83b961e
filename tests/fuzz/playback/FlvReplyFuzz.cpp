// Arbitrary text as the player movie's reply: stripping the number tags and reading the number.
#include "playback/FlvBridge.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

bool HasUpperCase(const std::string& text) {
    for (char c : text)
        if (c >= 'A' && c <= 'Z')
            return true;
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace luming;
    const std::string_view reply(reinterpret_cast<const char*>(data), size);

    const std::string stripped = StripNumberTags(reply);
    if (stripped.size() > reply.size() || HasUpperCase(stripped))
        std::abort();

    // The fallback only stands in for a reply that is no number, so two fallbacks either both
    // come back or neither does and the numbers agree.
    const int32_t first = ReplyNumber(reply, -1);
    const int32_t second = ReplyNumber(reply, 7);
    if (first != second && !(first == -1 && second == 7))
        std::abort();
    // A number read from any reply is read back from the plainest reply carrying it.
    if (first != -1 && ReplyNumber("<number>" + std::to_string(first) + "</number>", 0) != first)
        std::abort();
    return 0;
}
