#include "app/CommandLine.h"

#include <algorithm>

namespace luming {

bool IsHiddenStart(const std::vector<std::string>& argumentsAfterProgram) {
    if (argumentsAfterProgram.empty())
        return false;
    std::string first = argumentsAfterProgram.front();
    std::transform(first.begin(), first.end(), first.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return first == "-start";
}

} // namespace luming
