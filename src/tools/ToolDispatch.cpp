#include "tools/ToolCommand.h"

#include <ostream>

namespace luming::tool {

std::vector<std::span<const ToolCommand>> AllCommandGroups() {
    return {TimeCommands(), CatalogueCommands(), ContentCommands(), PlaybackCommands(),
            PublishCommands()};
}

namespace {

void PrintHelp(std::ostream& out) {
    out << "usage: luming-tool COMMAND [ARGUMENTS]\n\ncommands:\n";
    for (const auto& group : AllCommandGroups())
        for (const ToolCommand& command : group)
            out << "  " << command.name << ' ' << command.usage << "\n      " << command.summary
                << '\n';
}

} // namespace

int RunTool(const Arguments& arguments, std::ostream& out, std::ostream& err) {
    if (arguments.empty()) {
        PrintHelp(err);
        return 64;
    }
    const std::string& name = arguments.front();
    if (name == "--help" || name == "-h" || name == "help") {
        PrintHelp(out);
        return 0;
    }
    const Arguments rest(arguments.begin() + 1, arguments.end());
    for (const auto& group : AllCommandGroups())
        for (const ToolCommand& command : group)
            if (command.name == name)
                return command.run(rest, out, err);
    err << "luming-tool: unknown command '" << name << "' (see luming-tool --help)\n";
    return 64;
}

} // namespace luming::tool
