#pragma once

#include <string>
#include <vector>

namespace luming {

// True when the first argument (after the program name), in lower case, is "-start": the
// program then starts with its window hidden. "-start" anywhere else is ignored.
bool IsHiddenStart(const std::vector<std::string>& argumentsAfterProgram);

} // namespace luming
