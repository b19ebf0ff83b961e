// Arbitrary text as a movie address and as its parameters.
#include "playback/FlashVars.h"

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

bool ContainsIgnoringCase(std::string_view text, std::string_view part) {
    const auto same = [](unsigned char a, unsigned char b) {
        return std::tolower(a) == std::tolower(b);
    };
    return std::search(text.begin(), text.end(), part.begin(), part.end(), same) != text.end();
}

bool IsPlainName(const std::string& name) {
    return std::all_of(name.begin(), name.end(),
                       [](unsigned char c) { return std::isalnum(c) || c == '_'; });
}

void CheckFlashVars(std::string_view text) {
    int unusualNames = 0;
    for (const auto& [name, value] : luming::ParseFlashVars(text)) {
        // Every pair is a run of the text: its name (lower-cased) and its value after an "=".
        if (name.empty() ||
            std::any_of(name.begin(), name.end(),
                        [](unsigned char c) { return std::isupper(c); }) ||
            !ContainsIgnoringCase(text, name + "=") ||
            text.find("=" + value) == std::string_view::npos)
            std::abort();
        // Only the first pair may have a name that is not letters, digits and underscores.
        if (!IsPlainName(name) && ++unusualNames > 1)
            std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace luming;
    const std::string_view movie(reinterpret_cast<const char*>(data), size);

    CheckFlashVars(movie);

    const std::string_view query = MovieQuery(movie);
    if (!query.empty() && (query.data() + query.size() != movie.data() + movie.size() ||
                           query.data() == movie.data() || query.data()[-1] != '?'))
        std::abort();
    CheckFlashVars(query);

    // Neither a folder before the movie nor a query after it changes which movie it is.
    const bool player = IsPlayerMovie(movie);
    if (IsPlayerMovie("dir/" + std::string(movie)) != player ||
        IsPlayerMovie(std::string(movie) + "?file=x.flv") != player)
        std::abort();
    if (player && !ContainsIgnoringCase(movie, "flvplayer.swf"))
        std::abort();
    return 0;
}
