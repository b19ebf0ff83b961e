// Arbitrary bytes as the start of a Flash movie; every header accepted is turned into a wrapper
// movie, which must read back as the stage and frame rate it was built from. The same bytes
// arriving in two pieces are followed frame by frame; a movie of the frames so far must read
// back as a plain movie of its own length.
#include "platform/ruffle/SwfHeader.h"
#include "platform/ruffle/SwfStream.h"
#include "platform/ruffle/WrapperMovie.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

using namespace luming;

// The wrapper cuts a stage to what its 31-bit signed fields hold.
constexpr int kLargestStageTwips = (1 << 30) - 1;

bool SameHeader(const SwfHeader& a, const SwfHeader& b) {
    return a.version == b.version && a.compressed == b.compressed && a.fileLength == b.fileLength &&
           a.widthTwips == b.widthTwips && a.heightTwips == b.heightTwips &&
           a.frameRate88 == b.frameRate88 && a.frameCount == b.frameCount &&
           a.actionScript3 == b.actionScript3;
}

void CheckWrapper(const SwfHeader& programme, int backgroundColor) {
    const std::string movie =
        BuildWrapperMovie(programme, "http://127.0.0.1:8080/movie/0.swf", backgroundColor);
    const SwfHeaderResult wrapper = ReadSwfHeader(movie);
    if (wrapper.status != SwfHeaderStatus::Ok)
        std::abort();
    const SwfHeader& header = wrapper.header;
    if (header.version != 8 || header.compressed || header.fileLength != movie.size() ||
        header.widthTwips != std::min(programme.widthTwips, kLargestStageTwips) ||
        header.heightTwips != std::min(programme.heightTwips, kLargestStageTwips) ||
        header.frameRate88 != programme.frameRate88 || header.frameCount != 1 ||
        header.actionScript3)
        std::abort();
}

void CheckStream(std::string_view bytes) {
    SwfStream stream;
    if (stream.Append(bytes.substr(0, bytes.size() / 2)))
        stream.Append(bytes.substr(bytes.size() / 2));
    const std::string prefix = stream.PrefixMovie();
    if (prefix.empty())
        return;
    const SwfHeaderResult result = ReadSwfHeader(prefix);
    if (stream.CompleteFrames() <= 0 || result.status == SwfHeaderStatus::Invalid ||
        (result.status == SwfHeaderStatus::Ok &&
         (result.header.fileLength != prefix.size() ||
          result.header.frameCount != stream.header()->frameCount)))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    CheckStream(bytes);
    const SwfHeaderResult result = ReadSwfHeader(bytes);
    if (result.status != SwfHeaderStatus::Ok) {
        if (result.error.empty())
            std::abort();
        // A plain movie never asks for more than its fixed header and the first tag.
        if (result.status == SwfHeaderStatus::NeedMoreBytes && bytes.starts_with("FWS") &&
            size >= 36)
            std::abort();
        return 0;
    }
    const SwfHeader& header = result.header;
    if (header.version <= 0 || header.fileLength < 8 || header.widthTwips < 0 ||
        header.heightTwips < 0 || header.compressed != bytes.starts_with("CWS"))
        std::abort();
    // Bytes after a plain movie's header change nothing.
    if (!header.compressed && !header.lzma) {
        const SwfHeaderResult longer = ReadSwfHeader(std::string(bytes) + std::string(64, '\xff'));
        if (longer.status != SwfHeaderStatus::Ok || !SameHeader(longer.header, header))
            std::abort();
    }
    CheckWrapper(header, static_cast<int>(size * 0x10101u));
    return 0;
}
