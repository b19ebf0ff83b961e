#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace luming {

// A blank of a keyword or a name: ASCII blanks and control characters, and the ideographic
// space an input method types.
inline bool IsBlank(char32_t code) {
    return code <= ' ' || code == 0x3000;
}

// Whether the text has a traditional Chinese character, which SimplifiedText would change.
bool HasTraditional(std::string_view text);
// The text with each traditional Chinese character in its simplified form; everything else
// (even bytes that are not UTF-8) stays as it is.
std::string SimplifiedText(std::string_view text);

// The reading sets (HanziTable.h) of the text's Chinese characters in their order. Blanks are
// passed over; anything else, a character without readings included, stands between them as
// one kNoReadings (none at either end).
void AppendReadingSets(std::string_view text, std::vector<uint16_t>& out);

} // namespace luming
