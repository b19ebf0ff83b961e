#pragma once

#include "platform/ruffle/SwfHeader.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace luming {

// Follows a Flash movie as its bytes arrive, as the Flash Player of the time did: which frames
// have wholly arrived, and a movie of just those frames that a player can start on while the
// rest comes. Plain, zlib ("CWS") and LZMA ("ZWS") movies; the body is unpacked as it comes.
class SwfStream {
public:
    SwfStream();
    ~SwfStream();
    SwfStream(const SwfStream&) = delete;
    SwfStream& operator=(const SwfStream&) = delete;

    // The next bytes of the movie. False once they are no movie that can be followed; then
    // error() says why and `unsupported` whether it is a movie this player cannot read at all.
    bool Append(std::string_view bytes);
    const std::string& error() const { return error_; }
    bool unsupported() const { return unsupported_; }

    // Known once the first bytes have arrived.
    const std::optional<SwfHeader>& header() const { return header_; }
    // Frames of the main timeline whose every tag has arrived.
    int CompleteFrames() const { return frames_; }
    // The main timeline's end tag has arrived.
    bool Ended() const { return ended_; }
    // The bytes as they arrived.
    const std::string& Received() const { return received_; }

    // A plain movie of the complete frames: the header as the movie gives it (its frame count
    // included: the player knows more is to come), its tags up to the last complete frame, and
    // an end tag. Empty before the first frame is complete.
    std::string PrefixMovie() const;

private:
    struct Unpacker;
    bool Fail(std::string error, bool unsupported = false);
    void Scan();

    std::string received_;
    std::optional<SwfHeader> header_;
    std::unique_ptr<Unpacker> unpacker_;
    std::string body_;     // unpacked, after the 8 bytes of signature, version and length
    size_t nextTag_ = 0;   // where the next tag's header starts in body_, once known
    size_t framesEnd_ = 0; // after the last complete frame's ShowFrame
    int frames_ = 0;
    bool ended_ = false;
    bool unsupported_ = false;
    std::string error_;
};

} // namespace luming
