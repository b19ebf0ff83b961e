#include "catalogue/PinyinKeyword.h"

#include "catalogue/HanziTable.h"
#include "catalogue/HanziText.h"
#include "config/TextEncoding.h"

#include <bit>

namespace luming {

std::optional<PinyinKeyword> PinyinKeyword::From(std::string_view keyword) {
    std::string letters;
    for (size_t at = 0; at < keyword.size();) {
        const char32_t code = NextCodePoint(keyword, at);
        if (IsBlank(code))
            continue;
        if (code >= 'A' && code <= 'Z')
            letters += static_cast<char>(code - 'A' + 'a');
        else if (code >= 'a' && code <= 'z')
            letters += static_cast<char>(code);
        else
            return std::nullopt;
    }
    if (letters.empty() || letters.size() > kMaxLetters)
        return std::nullopt;
    return PinyinKeyword(std::move(letters));
}

PinyinKeyword::PinyinKeyword(std::string letters)
    : letters_(std::move(letters)), sets_(ReadingSetCount()) {
    const size_t length = letters_.size();
    steps_.assign(length * sets_, 0);
    for (size_t set = 0; set < sets_; ++set) {
        for (const uint16_t syllable : ReadingSet(static_cast<uint16_t>(set))) {
            const std::string_view reading = Syllable(syllable);
            for (size_t from = 0; from < length; ++from) {
                uint64_t& to = steps_[from * sets_ + set];
                for (size_t taken = 1; taken <= reading.size() && from + taken <= length; ++taken) {
                    if (reading[taken - 1] != letters_[from + taken - 1])
                        break;
                    to |= uint64_t{1} << (from + taken);
                }
            }
        }
    }
}

bool PinyinKeyword::ReadIn(std::span<const uint16_t> readingSets) const {
    const uint64_t whole = uint64_t{1} << letters_.size();
    // The keyword positions reached at the characters so far, besides 0, where the keyword may
    // begin at every character. kNoReadings, an empty set, takes nothing anywhere.
    uint64_t reached = 0;
    for (uint16_t set : readingSets) {
        if (set >= sets_)
            set = kNoReadings;
        uint64_t next = steps_[set];
        for (uint64_t from = reached; from != 0; from &= from - 1)
            next |= steps_[std::countr_zero(from) * sets_ + set];
        if (next & whole)
            return true;
        reached = next;
    }
    return false;
}

} // namespace luming
