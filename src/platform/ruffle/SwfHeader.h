#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace luming {

// What a Flash movie says about itself in its first bytes.
struct SwfHeader {
    int version = 0;
    bool compressed = false; // zlib ("CWS")
    bool lzma = false;       // LZMA ("ZWS", Flash 11 and later)
    uint32_t fileLength = 0; // uncompressed length, from the header
    int widthTwips = 0;      // stage size, 20 twips a pixel
    int heightTwips = 0;
    uint16_t frameRate88 = 0; // frames a second, 8.8 fixed point
    int frameCount = 0;
    bool actionScript3 = false; // FileAttributes says so

    double FrameRate() const { return frameRate88 / 256.0; }
};

enum class SwfHeaderStatus {
    Ok,
    NeedMoreBytes, // the bytes so far are a good start; more are needed to decide
    Invalid,       // not a Flash movie
    Unsupported,   // a Flash movie we cannot read
};

struct SwfHeaderResult {
    SwfHeaderStatus status = SwfHeaderStatus::Invalid;
    SwfHeader header;
    std::string error; // why, unless Ok
};

// Reads the header and the first tag of a movie from its first bytes (a few hundred are enough;
// a compressed movie is only inflated as far as needed). Never reads past `bytes`.
SwfHeaderResult ReadSwfHeader(std::string_view bytes);

} // namespace luming
