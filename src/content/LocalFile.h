#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace luming {

// Whether `stem` (a programme's Id or Name) can name a file inside a directory and nothing
// else: not empty, not "." or "..", no "/" or "\", no control characters. Ids and names can come
// from links in web pages, so a path must never be built from them unchecked.
bool IsSafeFileStem(std::string_view stem);

// `directory` + `stem` + `extension` when the stem is safe, nothing otherwise. `directory`
// ends with "/" as the program keeps its directories.
std::optional<std::string> SafeLocalFile(std::string_view directory, std::string_view stem,
                                         std::string_view extension);

} // namespace luming
