#include "playback/FlashVars.h"

#include "config/TextCase.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace luming {

namespace {

// "name=" at the start of `piece`, with a name of letters, digits and underscores.
bool StartsWithName(std::string_view piece) {
    const auto equals = piece.find('=');
    if (equals == std::string_view::npos || equals == 0)
        return false;
    return std::all_of(piece.begin(), piece.begin() + static_cast<std::ptrdiff_t>(equals),
                       [](unsigned char c) { return std::isalnum(c) || c == '_'; });
}

} // namespace

std::map<std::string, std::string> ParseFlashVars(std::string_view text) {
    std::vector<std::string> pairs;
    std::size_t start = 0;
    while (start <= text.size()) {
        const auto amp = text.find('&', start);
        const std::string_view piece = text.substr(
            start, amp == std::string_view::npos ? std::string_view::npos : amp - start);
        if (pairs.empty() || StartsWithName(piece))
            pairs.emplace_back(piece);
        else
            pairs.back().append("&").append(piece);
        if (amp == std::string_view::npos)
            break;
        start = amp + 1;
    }
    std::map<std::string, std::string> vars;
    for (const std::string& pair : pairs) {
        const auto equals = pair.find('=');
        if (equals == std::string::npos || equals == 0)
            continue;
        vars[LowerAscii(std::string_view(pair).substr(0, equals))] = pair.substr(equals + 1);
    }
    return vars;
}

std::string_view MovieQuery(std::string_view movie) {
    const auto question = movie.find('?');
    return question == std::string_view::npos ? std::string_view() : movie.substr(question + 1);
}

bool IsPlayerMovie(std::string_view movie) {
    std::string_view path = movie.substr(0, movie.find('?'));
    const auto slash = path.find_last_of("/\\");
    if (slash != std::string_view::npos)
        path.remove_prefix(slash + 1);
    return LowerAscii(path) == "flvplayer.swf";
}

} // namespace luming
