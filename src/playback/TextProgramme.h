#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace luming {

// A text programme's bytes as UTF-8: UTF-8 (with or without its byte-order mark), UTF-16 with
// its mark, or else the GBK/GB18030 of the catalogues written on Windows.
std::string ProgrammeTextToUtf8(std::string_view bytes);

// How long the play list leaves a text on the screen before it goes on, in seconds: a child
// reads about 200 characters a minute, and needs a moment to start; at most five minutes.
int32_t ReadingSeconds(std::string_view utf8);

} // namespace luming
