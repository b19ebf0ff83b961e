#pragma once

#include <string>
#include <vector>

namespace luming::site {

// One entry of the demo channel (demo/channel.tsv): what the catalogue lists, plus where the
// programme is kept and the text of the poem.
struct ChannelEntry {
    std::string type;
    std::string id;
    std::string pid;
    std::string name;
    std::string source; // "site", "cache" or "dl"
    std::vector<std::string> lines;
};

// The entries of a channel file; an unreadable file gives none. Lines starting with "#" and
// blank lines are skipped.
std::vector<ChannelEntry> ReadChannel(const std::string& path);

} // namespace luming::site
