#include "config/FormatSeconds.h"
#include "config/NumberText.h"
#include "tools/ToolCommand.h"

#include <array>
#include <ostream>

namespace luming::tool {

namespace {

int FormatSecondsCommand(const Arguments& arguments, std::ostream& out, std::ostream& err) {
    const auto seconds = arguments.size() == 1 ? ParseInt32(arguments[0]) : std::nullopt;
    if (!seconds) {
        err << "usage: luming-tool format-seconds N (N a whole number of seconds)\n";
        return 1;
    }
    out << FormatSeconds(*seconds) << '\n';
    return 0;
}

constexpr std::array kCommands = {
    ToolCommand{"format-seconds", "N", "the time text the player shows for N seconds",
                &FormatSecondsCommand},
};

} // namespace

std::span<const ToolCommand> TimeCommands() {
    return kCommands;
}

} // namespace luming::tool
