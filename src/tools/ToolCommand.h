#pragma once

#include <iosfwd>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace luming::tool {

using Arguments = std::vector<std::string>;

// One subcommand of luming-tool. `run` gets the arguments after the subcommand's name and
// returns the exit code; it writes its result to `out` and its complaints to `err`.
struct ToolCommand {
    std::string_view name;
    std::string_view usage; // the arguments, as shown by --help
    std::string_view summary;
    int (*run)(const Arguments& arguments, std::ostream& out, std::ostream& err);
};

// Each group of subcommands lives in a file of its own and lists its commands here.
std::span<const ToolCommand> TimeCommands();
std::span<const ToolCommand> CatalogueCommands();
std::span<const ToolCommand> ContentCommands();
std::span<const ToolCommand> PlaybackCommands();
std::span<const ToolCommand> PublishCommands();

// Every group, in the order --help lists them.
std::vector<std::span<const ToolCommand>> AllCommandGroups();

// Runs the tool as the command line asks: `arguments` starts with the subcommand.
int RunTool(const Arguments& arguments, std::ostream& out, std::ostream& err);

} // namespace luming::tool
