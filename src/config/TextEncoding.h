#pragma once

#include <string>
#include <string_view>

namespace luming {

// What NextCodePoint returns for a byte that starts no well-formed sequence.
inline constexpr char32_t kNotUtf8 = 0xFFFFFFFF;

// The code point that starts at byte `at` of UTF-8 text (at < text.size()); `at` moves past it,
// or past one byte when none starts there (kNotUtf8).
char32_t NextCodePoint(std::string_view text, size_t& at);
// Appends a code point (up to U+10FFFF) in UTF-8.
void AppendUtf8(std::string& out, char32_t code);

// True when the bytes form well-formed UTF-8 (no overlongs, no surrogates, nothing past U+10FFFF).
bool IsValidUtf8(std::string_view bytes);

// Converts GBK/GB18030 bytes to UTF-8. Bytes that do not decode become U+FFFD, so a damaged
// value still reads as something rather than as nothing.
std::string Gb18030ToUtf8(std::string_view bytes);

// Settings files written on Windows hold GBK text; ours hold UTF-8. A value that is not valid
// UTF-8 is taken to be GBK.
std::string ToUtf8FromUtf8OrGbk(std::string_view bytes);

} // namespace luming
