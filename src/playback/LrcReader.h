#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace luming {

// One timed line of a read-along: when the voice reaches it, its text, and the readings its file
// gives (one syllable for each Chinese character of the text; empty when the file gives none).
struct ReadAlongLine {
    int64_t milliseconds = 0;
    std::string text;
    std::vector<std::string> readings;
    bool operator==(const ReadAlongLine&) const = default;
};

// A programme's read-along: the poem's title and author and its lines in time order.
struct ReadAlong {
    std::string title;
    std::string author;
    std::vector<ReadAlongLine> lines;
    bool operator==(const ReadAlong&) const = default;
};

// What came of reading a read-along file: the read-along, or why there is none.
struct LrcResult {
    std::optional<ReadAlong> readAlong;
    std::string error;
};

// A read-along file comes from the vendor's server or a shared folder, so it is bounded: larger
// files, more lines or longer lines are refused whole.
inline constexpr size_t kLargestLrcFile = 64 * 1024;
inline constexpr size_t kMostLrcLines = 1000;
inline constexpr size_t kLongestLrcLine = 1024;
// Several time tags on a line make a timed line each: a line with a hundred tags is not a
// hundred times as much to keep.
inline constexpr size_t kMostTimedLines = 2000;

// Reads a timed-lyrics file: "[mm:ss]", "[mm:ss.xx]" or "[mm:ss.xxx]" time tags (several on one
// line), "[ti:]", "[ar:]" and "[offset:]" (milliseconds the lines come earlier), in UTF-8 with or
// without its mark, UTF-16 with its mark, or GB18030. A line of pinyin right after a line with
// the same time tags gives that line's readings. A file with no timed line is broken.
LrcResult ReadLrc(std::string_view bytes);

// The line the voice is at `milliseconds` into the programme: the last line whose time has
// come; nothing before the first.
std::optional<size_t> CurrentReadAlongLine(const ReadAlong& readAlong, int64_t milliseconds);

// The Chinese characters of `text` (the ones a reading stands over), as UTF-8 pieces of the
// text in order, each marked whether it takes a reading.
struct TextPiece {
    std::string text;
    bool chinese = false;
};
std::vector<TextPiece> SplitForReadings(std::string_view utf8);

} // namespace luming
