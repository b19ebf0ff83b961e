#pragma once

#include "support/ScriptedOrigin.h"

#include <cstddef>
#include <string>
#include <vector>

namespace kestrivane::test {

using luming::test::ScriptedOrigin;

// An origin whose first answer tells no length and hangs up after `cut` bytes: to the client
// that looks like the end. Later requests for "bytes=N-" get the rest, with the size.
class HangUpOrigin {
public:
    HangUpOrigin(std::size_t size, std::size_t cut);

    std::string url(const std::string& path) const { return origin_.url(path); }
    const std::string& bytes() const { return bytes_; }
    std::vector<std::string> RangesAsked() { return origin_.RangesAsked(); }

private:
    void Answer(const ScriptedOrigin::Request& request, int connection) const;

    std::string bytes_;
    std::size_t cut_;
    ScriptedOrigin origin_; // last: it answers from the bytes above
};

} // namespace kestrivane::test
