#include "config/NumberText.h"
#include "playback/BarGeometry.h"
#include "playback/FlvBridge.h"
#include "playback/PlayStart.h"
#include "tools/ToolCommand.h"

#include <array>
#include <ostream>

namespace luming::tool {

namespace {

// All of `arguments` from `first` on as 32-bit integers; complains and gives nothing when one
// is not.
std::optional<std::vector<int32_t>> Numbers(const Arguments& arguments, std::size_t first,
                                            std::ostream& err) {
    std::vector<int32_t> numbers;
    for (std::size_t at = first; at < arguments.size(); ++at) {
        const auto number = ParseInt32(arguments[at]);
        if (!number) {
            err << "luming-tool: '" << arguments[at] << "' is not a 32-bit whole number\n";
            return std::nullopt;
        }
        numbers.push_back(*number);
    }
    return numbers;
}

int Usage(std::ostream& err, std::string_view usage) {
    err << "usage: luming-tool " << usage << '\n';
    return 1;
}

int InvokeRequestCommand(const Arguments& arguments, std::ostream& out, std::ostream& err) {
    constexpr std::string_view usage = "invoke-request playpause|seek|duration|position|state "
                                       "[SECONDS]";
    if (arguments.empty() || arguments.size() > 2)
        return Usage(err, usage);
    const std::string& name = arguments[0];
    if (name == "seek") {
        if (arguments.size() != 2)
            return Usage(err, "invoke-request seek SECONDS");
        const auto seconds = Numbers(arguments, 1, err);
        if (!seconds)
            return 1;
        out << SeekRequest(seconds->front()) << '\n';
        return 0;
    }
    if (arguments.size() != 1)
        return Usage(err, usage);
    if (name == "playpause")
        out << kPlayPauseRequest << '\n';
    else if (name == "duration")
        out << kDurationRequest << '\n';
    else if (name == "position")
        out << kPositionRequest << '\n';
    else if (name == "state")
        out << kPlayStateRequest << '\n';
    else
        return Usage(err, usage);
    return 0;
}

int InvokeReplyCommand(const Arguments& arguments, std::ostream& out, std::ostream& err) {
    constexpr std::string_view usage = "invoke-reply duration|position|state REPLY";
    if (arguments.size() != 2)
        return Usage(err, usage);
    const std::string& kind = arguments[0];
    if (kind != "duration" && kind != "position" && kind != "state")
        return Usage(err, usage);
    out << ReplyNumber(arguments[1], kind == "state" ? -1 : 0) << '\n';
    return 0;
}

// Runs `compute` over exactly `count` whole numbers.
template <class Compute>
int NumbersCommand(const Arguments& arguments, std::size_t count, std::string_view usage,
                   std::ostream& out, std::ostream& err, Compute compute) {
    if (arguments.size() != count)
        return Usage(err, usage);
    const auto n = Numbers(arguments, 0, err);
    if (!n)
        return 1;
    out << compute(*n) << '\n';
    return 0;
}

int KnobLeftCommand(const Arguments& arguments, std::ostream& out, std::ostream& err) {
    return NumbersCommand(arguments, 6, "knob-left VALUE TOTAL BARLEFT BARWIDTH KNOBWIDTH KNOBLEFT",
                          out, err, [](const std::vector<int32_t>& n) {
                              return KnobLeftFor(n[0], n[1], {n[2], n[3], 0, n[5], n[4]});
                          });
}

int KnobValueCommand(const Arguments& arguments, std::ostream& out, std::ostream& err) {
    return NumbersCommand(arguments, 5, "knob-value TOTAL BARLEFT BARWIDTH KNOBWIDTH KNOBLEFT", out,
                          err, [](const std::vector<int32_t>& n) {
                              return KnobValue(n[0], {n[1], n[2], 0, n[4], n[3]});
                          });
}

int LoadWidthCommand(const Arguments& arguments, std::ostream& out, std::ostream& err) {
    return NumbersCommand(arguments, 3, "load-width PERCENT BARWIDTH LOADEDWIDTH", out, err,
                          [](const std::vector<int32_t>& n) {
                              return LoadWidthFor(n[0], {0, n[1], n[2], 0, 0});
                          });
}

int UpdateLoadBarCommand(const Arguments& arguments, std::ostream& out, std::ostream& err) {
    constexpr std::string_view usage =
        "update-load-bar POS TOTAL LOCAL VENDORPERCENT BARWIDTH LOADEDWIDTH (LOCAL 1 or 0)";
    if (arguments.size() == 6 && arguments[2] != "0" && arguments[2] != "1" &&
        ParseInt32(arguments[2]))
        return Usage(err, usage);
    return NumbersCommand(arguments, 6, usage, out, err, [](const std::vector<int32_t>& n) {
        return LoadWidthAfterUpdate(n[0], n[1], n[2] == 1, n[3], {0, n[4], n[5], 0, 0});
    });
}

int DragKnobCommand(const Arguments& arguments, std::ostream& out, std::ostream& err) {
    return NumbersCommand(arguments, 6, "drag-knob KNOBLEFT GRABX X BARLEFT LOADEDWIDTH KNOBWIDTH",
                          out, err, [](const std::vector<int32_t>& n) {
                              return DraggedKnobLeft(n[2], n[1], {n[3], 0, n[4], n[0], n[5]});
                          });
}

int FlashVarsCommand(const Arguments& arguments, std::ostream& out, std::ostream& err) {
    if (arguments.size() != 1)
        return Usage(err, "flashvars SOURCE");
    out << VideoFlashVars(arguments[0]) << '\n';
    return 0;
}

constexpr std::array kCommands = {
    ToolCommand{"invoke-request", "NAME [SECONDS]",
                "the request text sent to the player movie (playpause, seek, duration, position, "
                "state)",
                &InvokeRequestCommand},
    ToolCommand{"invoke-reply", "KIND REPLY",
                "the whole number read from a player movie's reply (duration, position, state)",
                &InvokeReplyCommand},
    ToolCommand{"knob-left", "VALUE TOTAL BARLEFT BARWIDTH KNOBWIDTH KNOBLEFT",
                "where the position knob goes for VALUE out of TOTAL", &KnobLeftCommand},
    ToolCommand{"knob-value", "TOTAL BARLEFT BARWIDTH KNOBWIDTH KNOBLEFT",
                "the value under the position knob, or -1", &KnobValueCommand},
    ToolCommand{"load-width", "PERCENT BARWIDTH LOADEDWIDTH",
                "the loaded part's width for PERCENT (-1 leaves it)", &LoadWidthCommand},
    ToolCommand{"update-load-bar", "POS TOTAL LOCAL VENDORPERCENT BARWIDTH LOADEDWIDTH",
                "the loaded part's width once playback stands at POS of TOTAL",
                &UpdateLoadBarCommand},
    ToolCommand{"flashvars", "SOURCE", "the player movie's parameters for a video from SOURCE",
                &FlashVarsCommand},
    ToolCommand{"drag-knob", "KNOBLEFT GRABX X BARLEFT LOADEDWIDTH KNOBWIDTH",
                "the knob's left after a drag to X", &DragKnobCommand},
};

} // namespace

std::span<const ToolCommand> PlaybackCommands() {
    return kCommands;
}

} // namespace luming::tool
