#include "publish/Channel.h"

#include <fstream>
#include <sstream>

namespace luming::site {

namespace {

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, separator))
        parts.push_back(part);
    if (!text.empty() && text.back() == separator)
        parts.emplace_back();
    return parts;
}

} // namespace

std::vector<ChannelEntry> ReadChannel(const std::string& path) {
    std::vector<ChannelEntry> entries;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line.front() == '#')
            continue;
        std::vector<std::string> fields = Split(line, '\t');
        fields.resize(6);
        entries.push_back({fields[0], fields[1], fields[2], fields[3], fields[4],
                           fields[5].empty() ? std::vector<std::string>{} : Split(fields[5], '/')});
    }
    return entries;
}

} // namespace luming::site
