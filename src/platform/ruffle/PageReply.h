#pragma once

#include <QVariant>

#include <optional>
#include <string>

namespace luming {

// The longest error text taken from the page; Ruffle's own are a line.
inline constexpr std::size_t kLongestPageError = 200;

// What the Ruffle page answered to a poll (bridge.js, luming.state()), once checked.
struct PageReply {
    int load = 0;  // the load the page's movie belongs to
    int ready = 0; // 0, or 4 once the movie plays
    int frame = 0; // 0 .. the movie's frame count (when known)
    bool playing = false;
    std::string error;    // printable, at most kLongestPageError bytes
    double received = 0;  // bytes the page has received so far, of any file
    bool waiting = false; // the page waits for the network
};

// Nothing for an answer that is not the state as the page gives it: whatever got at the page
// (a movie, say) could make it answer anything, and the program believes only what fits.
// `totalFrames`: the movie's frame count, 0 when not known.
std::optional<PageReply> ReadPageReply(const QVariant& reply, int totalFrames);

} // namespace luming
