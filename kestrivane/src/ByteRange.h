#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace kestrivane {

// What to send for a request's Range header against a programme of `total` bytes.
struct RangeAnswer {
    enum class Kind {
        Whole,         // 200: no Range, one we ignore, or several (allowed instead of multipart)
        Part,          // 206: bytes first .. first + length - 1
        Unsatisfiable, // 416: the one range starts past the end
    };
    Kind kind = Kind::Whole;
    uint64_t first = 0;
    uint64_t length = 0;
};

// An end past the programme is cut at its last byte; a malformed header is ignored.
RangeAnswer ResolveRange(std::string_view header, uint64_t total);

// An origin's Content-Range: "bytes 100-199/1000", "bytes 100-199/*" or "bytes */1000".
struct ContentRange {
    std::optional<uint64_t> first, last; // both or neither
    std::optional<uint64_t> total;
};

// Nothing for a header not of that form, or with a part that does not fit its total.
std::optional<ContentRange> ParseContentRange(std::string_view value);

// Without the blanks and tabs around it, as header values are read.
std::string_view TrimBlanks(std::string_view text);

} // namespace kestrivane
