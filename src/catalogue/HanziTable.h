#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace luming {

// A Chinese character as the search reads it: its simplified form and its pinyin readings
// without tones (ü spelled both v and u), every reading of a character with several. Made at
// build time from Unicode's Unihan data.
struct Hanzi {
    char32_t simplified; // 0 when the character is simplified itself
    uint16_t readings;   // a reading set, kNoReadings when the data gives none
};

inline constexpr uint16_t kNoReadings = 0;

// The character's entry, or nullptr for what is no Chinese character of the data.
const Hanzi* FindHanzi(char32_t code);

// The syllables of a reading set (numbers for Syllable()); sets are numbered below
// ReadingSetCount().
std::span<const uint16_t> ReadingSet(uint16_t set);
size_t ReadingSetCount();
// A toneless syllable in lower case ("jing", "lv").
std::string_view Syllable(uint16_t syllable);

} // namespace luming
