#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace luming {

// A keyword of Latin letters read as the pinyin of names: in full ("jingyesi"), by initials
// ("jys") or mixed ("jingys"), with any reading of a character that has several.
class PinyinKeyword {
public:
    // Past this many letters a keyword is no pinyin (no title reads that long).
    static constexpr size_t kMaxLetters = 63;

    // The keyword's letters in lower case with its blanks left out; nothing when it holds
    // anything but letters and blanks, no letter, or more than kMaxLetters.
    static std::optional<PinyinKeyword> From(std::string_view keyword);

    // Whether a name's reading sets (AppendReadingSets) read the keyword: from some character
    // on, each character in turn gives a non-empty beginning of one of its readings, until the
    // keyword is used up.
    bool ReadIn(std::span<const uint16_t> readingSets) const;

private:
    explicit PinyinKeyword(std::string letters);

    std::string letters_;
    size_t sets_;
    // For keyword position p < length and reading set s, steps_[p * sets_ + s] has bit q set
    // when one character of the set takes the keyword from position p to q. Position 0, where
    // nearly every character is tried, comes first and fits the processor's nearest cache.
    std::vector<uint64_t> steps_;
};

} // namespace luming
