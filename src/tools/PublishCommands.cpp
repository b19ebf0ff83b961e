#include "config/NumberText.h"
#include "publish/Publish.h"
#include "tools/ToolCommand.h"

#include <array>
#include <ostream>

namespace luming::tool {

namespace {

int PublishCommand(const Arguments& arguments, std::ostream& out, std::ostream& err) {
    const auto channel =
        arguments.size() == 5 ? ParseInt32(arguments[4]) : std::optional<int32_t>(26);
    if ((arguments.size() != 4 && arguments.size() != 5) || !channel || *channel < 0) {
        err << "usage: luming-tool publish CHANNEL_FILE MEDIA_DIR SITE_URL OUT_DIR [CHANNEL]\n";
        return 64;
    }
    site::PublishRequest request{arguments[0], arguments[1], arguments[2], arguments[3], *channel};
    try {
        site::Publish(request);
    } catch (const site::PublishError& error) {
        err << "luming-tool publish: " << error.what() << '\n';
        return 1;
    }
    out << request.outDir << '\n';
    return 0;
}

constexpr std::array kCommands = {
    ToolCommand{"publish", "CHANNEL_FILE MEDIA_DIR SITE_URL OUT_DIR [CHANNEL]",
                "writes the vendor's site for a channel (channel.tsv form, media as <id><ext>) "
                "into OUT_DIR, for a static web server at SITE_URL (CHANNEL defaults to 26)",
                &PublishCommand},
};

} // namespace

std::span<const ToolCommand> PublishCommands() {
    return kCommands;
}

} // namespace luming::tool
