#include "playback/TextProgramme.h"

#include "config/TextEncoding.h"

#include <iconv.h>

#include <algorithm>
#include <cmath>

namespace luming {

namespace {

constexpr double kStartSeconds = 8.0;
constexpr double kSecondsPerCharacter = 0.3;
constexpr int32_t kLongestReading = 300;

std::string Utf16ToUtf8(std::string_view bytes) {
    iconv_t convert = iconv_open("UTF-8", "UTF-16"); // reads the byte-order mark
    if (convert == reinterpret_cast<iconv_t>(-1))
        return {};
    std::string out(bytes.size() * 2 + 4, '\0');
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    char* to = out.data();
    size_t outLeft = out.size();
    while (inLeft > 0 && iconv(convert, &in, &inLeft, &to, &outLeft) == static_cast<size_t>(-1)) {
        if (inLeft < 2 || outLeft < 3)
            break; // a torn last unit, or no room: what came so far stands
        in += 2;   // a unit that does not decode is skipped
        inLeft -= 2;
    }
    iconv_close(convert);
    out.resize(out.size() - outLeft);
    return out;
}

bool StartsWith(std::string_view bytes, std::string_view mark) {
    return bytes.substr(0, mark.size()) == mark;
}

} // namespace

std::string ProgrammeTextToUtf8(std::string_view bytes) {
    if (StartsWith(bytes, "\xEF\xBB\xBF"))
        bytes.remove_prefix(3);
    else if (StartsWith(bytes, "\xFF\xFE") || StartsWith(bytes, "\xFE\xFF"))
        return Utf16ToUtf8(bytes);
    return ToUtf8FromUtf8OrGbk(bytes);
}

int32_t ReadingSeconds(std::string_view utf8) {
    int64_t characters = 0;
    for (const char byte : utf8) {
        const auto unit = static_cast<unsigned char>(byte);
        const bool continuation = (unit & 0xC0) == 0x80;
        const bool blank = unit == ' ' || unit == '\t' || unit == '\r' || unit == '\n';
        if (!continuation && !blank)
            ++characters;
    }
    const double seconds = kStartSeconds + kSecondsPerCharacter * static_cast<double>(characters);
    return static_cast<int32_t>(std::min<double>(std::ceil(seconds), kLongestReading));
}

} // namespace luming
