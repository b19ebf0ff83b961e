#pragma once

#include <map>
#include <string>
#include <string_view>

namespace luming {

// The parameters of a movie: "name=value&name=value". Values are not escaped (paths keep their
// characters), so an "&" that is not followed by a "name=" belongs to the value before it.
// Names are lower-cased; a later name wins.
std::map<std::string, std::string> ParseFlashVars(std::string_view text);

// True when `movie` (a path or an address, with or without a query) names the player movie
// "flvplayer.swf", in any letter case.
bool IsPlayerMovie(std::string_view movie);

// The query of a movie address ("flvplayer.swf?file=0.swf" gives "file=0.swf"), or empty text.
std::string_view MovieQuery(std::string_view movie);

} // namespace luming
