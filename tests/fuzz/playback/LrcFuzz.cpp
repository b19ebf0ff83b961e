// Arbitrary bytes as a read-along file: read within its bounds, in time order, readings only
// where they fit their line, and the current line found for any time.
#include "playback/LrcReader.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace luming;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const LrcResult result = ReadLrc(bytes);
    if (result.readAlong.has_value() == !result.error.empty())
        std::abort(); // a read-along or a reason, never both or neither
    if (!result.readAlong)
        return 0;
    const ReadAlong& poem = *result.readAlong;
    if (poem.lines.empty() || poem.lines.size() > kMostTimedLines)
        std::abort();
    int64_t previous = 0;
    for (const ReadAlongLine& line : poem.lines) {
        if (line.milliseconds < previous)
            std::abort();
        previous = line.milliseconds;
        if (!line.readings.empty()) {
            size_t chinese = 0;
            for (const TextPiece& piece : SplitForReadings(line.text))
                chinese += piece.chinese ? 1 : 0;
            if (chinese != line.readings.size())
                std::abort();
        }
    }
    for (const int64_t time : {int64_t{-1}, int64_t{0}, previous, previous + 1})
        if (const auto lit = CurrentReadAlongLine(poem, time);
            lit && (*lit >= poem.lines.size() || poem.lines[*lit].milliseconds > time))
            std::abort();
    return 0;
}
