#include "catalogue/HanziTable.h"

#include "catalogue/HanziData.h"

namespace luming {

const Hanzi* FindHanzi(char32_t code) {
    using namespace hanzi_data;
    const size_t page = code >> 8;
    if (page >= kPageCount)
        return nullptr;
    const uint16_t entry = kPages[kPageOf[page]][code & 0xFF];
    return entry == 0 ? nullptr : &kCharacters[entry];
}

std::span<const uint16_t> ReadingSet(uint16_t set) {
    using namespace hanzi_data;
    if (set >= kSetCount)
        return {};
    return {kSetSyllables + kSetStart[set], kSetSyllables + kSetStart[set + 1]};
}

size_t ReadingSetCount() {
    return hanzi_data::kSetCount;
}

std::string_view Syllable(uint16_t syllable) {
    using namespace hanzi_data;
    if (syllable >= kSyllableCount)
        return {};
    return {kSyllableText + kSyllableStart[syllable],
            static_cast<size_t>(kSyllableStart[syllable + 1] - kSyllableStart[syllable])};
}

} // namespace luming
