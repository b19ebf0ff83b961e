#include "playback/LrcReader.h"

#include "config/TextEncoding.h"
#include "playback/TextProgramme.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace luming {

namespace {

// No programme lasts a day; a time past that is a broken tag.
constexpr int64_t kLongestTime = 24LL * 60 * 60 * 1000;

std::string_view Trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool AllDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::optional<int64_t> Number(std::string_view digits) {
    int64_t value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size())
        return std::nullopt;
    return value;
}

// "mm:ss", "mm:ss.x", "mm:ss.xx", "mm:ss.xxx" (some players write ":" before the fraction).
std::optional<int64_t> TimeTag(std::string_view tag) {
    const size_t colon = tag.find(':');
    if (colon == std::string_view::npos)
        return std::nullopt;
    const std::string_view minutes = tag.substr(0, colon);
    std::string_view rest = tag.substr(colon + 1);
    const size_t mark = rest.find_first_of(".:");
    const std::string_view seconds = rest.substr(0, mark);
    const std::string_view fraction =
        mark == std::string_view::npos ? std::string_view() : rest.substr(mark + 1);
    if (!AllDigits(minutes) || minutes.size() > 4 || !AllDigits(seconds) || seconds.size() > 2 ||
        (mark != std::string_view::npos && (!AllDigits(fraction) || fraction.size() > 3)))
        return std::nullopt;
    const int64_t secondsValue = *Number(seconds);
    if (secondsValue > 59)
        return std::nullopt;
    int64_t milliseconds = 0;
    if (!fraction.empty()) {
        milliseconds = *Number(fraction);
        for (size_t digits = fraction.size(); digits < 3; ++digits)
            milliseconds *= 10;
    }
    const int64_t time = (*Number(minutes) * 60 + secondsValue) * 1000 + milliseconds;
    if (time > kLongestTime)
        return std::nullopt;
    return time;
}

// A letter of written pinyin: ASCII letters, ü and the vowels with tone marks (Latin-1 and
// Latin Extended), or a combining tone mark.
bool PinyinLetter(char32_t code) {
    return (code >= 'a' && code <= 'z') || (code >= 'A' && code <= 'Z') ||
           (code >= 0xC0 && code <= 0x24F && code != 0xD7 && code != 0xF7) ||
           (code >= 0x300 && code <= 0x36F);
}

bool IsChinese(char32_t code) {
    return (code >= 0x3400 && code <= 0x4DBF) || (code >= 0x4E00 && code <= 0x9FFF) ||
           (code >= 0xF900 && code <= 0xFAFF) || (code >= 0x20000 && code <= 0x3134F);
}

// A line written in pinyin: syllables of pinyin letters (tone numbers allowed) between blanks,
// apostrophes or hyphens, and nothing else.
std::optional<std::vector<std::string>> PinyinSyllables(std::string_view text) {
    std::vector<std::string> syllables;
    std::string syllable;
    bool letters = false;
    for (size_t at = 0; at < text.size();) {
        const size_t start = at;
        const char32_t code = NextCodePoint(text, at);
        if (PinyinLetter(code)) {
            syllable.append(text.substr(start, at - start));
            letters = true;
        } else if (code >= '1' && code <= '5' && !syllable.empty()) {
            syllable.push_back(static_cast<char>(code));
        } else if (code == ' ' || code == '\t' || code == '\'' || code == '-') {
            if (!syllable.empty())
                syllables.push_back(std::move(syllable));
            syllable.clear();
        } else {
            return std::nullopt;
        }
    }
    if (!syllable.empty())
        syllables.push_back(std::move(syllable));
    if (!letters)
        return std::nullopt;
    return syllables;
}

size_t ChineseCount(std::string_view text) {
    const auto pieces = SplitForReadings(text);
    return static_cast<size_t>(
        std::count_if(pieces.begin(), pieces.end(), [](const TextPiece& p) { return p.chinese; }));
}

struct ParsedLine {
    std::vector<int64_t> times;
    std::string_view text;
};

// The tags at the start of a line: times go to `times`, "ti", "ar" and "offset" to the
// read-along; the text is what follows the last tag.
ParsedLine ParseTags(std::string_view line, ReadAlong& readAlong, int64_t& offset) {
    ParsedLine parsed;
    while (!line.empty() && line.front() == '[') {
        const size_t close = line.find(']');
        if (close == std::string_view::npos)
            break;
        const std::string_view tag = Trimmed(line.substr(1, close - 1));
        if (const auto time = TimeTag(tag)) {
            parsed.times.push_back(*time);
        } else {
            const size_t colon = tag.find(':');
            if (colon == std::string_view::npos)
                break; // no tag: the text begins with a bracket
            std::string key(tag.substr(0, colon));
            std::transform(key.begin(), key.end(), key.begin(),
                           [](char c) { return static_cast<char>(std::tolower(c)); });
            const std::string_view value = Trimmed(tag.substr(colon + 1));
            if (key == "ti")
                readAlong.title = value;
            else if (key == "ar")
                readAlong.author = value;
            else if (key == "offset") {
                std::string_view digits = value;
                const bool negative = !digits.empty() && digits.front() == '-';
                if (!digits.empty() && (digits.front() == '+' || digits.front() == '-'))
                    digits.remove_prefix(1);
                if (AllDigits(digits) && digits.size() <= 8)
                    offset = negative ? -*Number(digits) : *Number(digits);
            }
        }
        line.remove_prefix(close + 1);
    }
    parsed.text = Trimmed(line);
    return parsed;
}

} // namespace

std::vector<TextPiece> SplitForReadings(std::string_view utf8) {
    std::vector<TextPiece> pieces;
    for (size_t at = 0; at < utf8.size();) {
        const size_t start = at;
        const char32_t code = NextCodePoint(utf8, at);
        const bool chinese = IsChinese(code);
        if (!chinese && !pieces.empty() && !pieces.back().chinese)
            pieces.back().text.append(utf8.substr(start, at - start));
        else
            pieces.push_back({std::string(utf8.substr(start, at - start)), chinese});
    }
    return pieces;
}

LrcResult ReadLrc(std::string_view bytes) {
    if (bytes.size() > kLargestLrcFile)
        return {std::nullopt, "read-along file larger than 64 KB"};
    const std::string text = ProgrammeTextToUtf8(bytes);
    ReadAlong readAlong;
    int64_t offset = 0;
    std::vector<std::pair<std::vector<int64_t>, std::string>> timed;
    size_t lineCount = 0;
    size_t timedCount = 0;
    for (size_t start = 0; start <= text.size();) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string_view line(text.data() + start, end - start);
        start = end + 1;
        if (++lineCount > kMostLrcLines)
            return {std::nullopt, "read-along file of more than 1000 lines"};
        if (line.size() > kLongestLrcLine)
            return {std::nullopt, "read-along line longer than 1024 bytes"};
        ParsedLine parsed = ParseTags(line, readAlong, offset);
        if (parsed.times.empty())
            continue;
        timedCount += parsed.times.size();
        if (timedCount > kMostTimedLines)
            return {std::nullopt, "read-along file of more than 2000 timed lines"};
        std::sort(parsed.times.begin(), parsed.times.end());
        // A line of pinyin with the same times as the line before it gives its readings.
        if (!timed.empty() && timed.back().first == parsed.times) {
            if (const auto syllables = PinyinSyllables(parsed.text)) {
                const std::string& previous = timed.back().second;
                if (syllables->size() == ChineseCount(previous)) {
                    for (const int64_t time : parsed.times)
                        readAlong.lines.push_back({time, previous, *syllables});
                    timed.back().second.clear();
                    timed.back().first.clear();
                }
                continue; // readings that do not fit the line are left out
            }
        }
        timed.emplace_back(std::move(parsed.times), std::string(parsed.text));
    }
    for (const auto& [times, lineText] : timed)
        for (const int64_t time : times)
            readAlong.lines.push_back({time, lineText, {}});
    if (readAlong.lines.empty())
        return {std::nullopt, "read-along file without a timed line"};
    for (ReadAlongLine& line : readAlong.lines)
        line.milliseconds = std::clamp<int64_t>(line.milliseconds - offset, 0, kLongestTime);
    std::stable_sort(readAlong.lines.begin(), readAlong.lines.end(),
                     [](const ReadAlongLine& a, const ReadAlongLine& b) {
                         return a.milliseconds < b.milliseconds;
                     });
    return {std::move(readAlong), {}};
}

std::optional<size_t> CurrentReadAlongLine(const ReadAlong& readAlong, int64_t milliseconds) {
    const auto after = std::upper_bound(
        readAlong.lines.begin(), readAlong.lines.end(), milliseconds,
        [](int64_t time, const ReadAlongLine& line) { return time < line.milliseconds; });
    if (after == readAlong.lines.begin())
        return std::nullopt;
    return static_cast<size_t>(after - readAlong.lines.begin() - 1);
}

} // namespace luming
