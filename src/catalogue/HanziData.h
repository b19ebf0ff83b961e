#pragma once

// The tables MakeHanziData writes at build time; HanziTable.h is how the program reads them.

#include "catalogue/HanziTable.h"

#include <cstddef>
#include <cstdint>

namespace luming::hanzi_data {

// Syllable s is kSyllableText[kSyllableStart[s] .. kSyllableStart[s + 1]).
extern const char kSyllableText[];
extern const uint16_t kSyllableStart[];
extern const size_t kSyllableCount;

// Reading set r lists kSetSyllables[kSetStart[r] .. kSetStart[r + 1]); set 0 is empty.
extern const uint32_t kSetStart[];
extern const uint16_t kSetSyllables[];
extern const size_t kSetCount;

// Code point c is kCharacters[kPages[kPageOf[c >> 8]][c & 0xFF]] for c >> 8 < kPageCount;
// entry 0 and page 0 stand for "no character of the data".
extern const Hanzi kCharacters[];
extern const uint16_t kPageOf[];
extern const size_t kPageCount;
extern const uint16_t kPages[][256];

} // namespace luming::hanzi_data
