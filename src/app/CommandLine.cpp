#include "app/CommandLine.h"

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <string_view>

namespace luming {

namespace {

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// Qt's own options (QGuiApplication, QApplication and the X11 platform), which it takes out of
// the arguments itself; those with a value take the next argument unless written "-name=value".
constexpr std::string_view kQtOptionsWithValue[] = {
    "platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry",
    "qwindowicon", "qwindowtitle", "qmljsdebugger", "display", "geometry", "name", "title",
    "style", "stylesheet", "session", "visual", "cmap", "fn", "font", "bg", "background", "fg",
    "foreground", "btn", "button"};
constexpr std::string_view kQtOptionsAlone[] = {"reverse", "nograb", "dograb", "sync",
                                                 "widgetcount", "testability"};

template <size_t N>
bool IsOneOf(std::string_view name, const std::string_view (&names)[N]) {
    return std::find(std::begin(names), std::end(names), name) != std::end(names);
}

} // namespace

std::string UnknownOption(const std::vector<std::string>& argumentsAfterProgram) {
    for (size_t at = 0; at < argumentsAfterProgram.size(); ++at) {
        const std::string& argument = argumentsAfterProgram[at];
        if (argument.size() < 2 || argument[0] != '-')
            continue; // not an option ("-" alone neither)
        if (Lower(argument) == "-start" || argument == "--verbose" || argument == "--version" ||
            argument == "--help" || argument == "-h")
            continue;
        // Qt takes its options with one dash or two, and a value after "=" or as the next
        // argument.
        std::string_view name(argument);
        name.remove_prefix(name.rfind("--", 0) == 0 ? 2 : 1);
        const size_t equals = name.find('=');
        const bool valueGiven = equals != std::string_view::npos;
        name = name.substr(0, equals);
        if (IsOneOf(name, kQtOptionsWithValue)) {
            if (!valueGiven)
                ++at;
            continue;
        }
        if (!valueGiven && IsOneOf(name, kQtOptionsAlone))
            continue;
        return argument;
    }
    return {};
}

bool IsHiddenStart(const std::vector<std::string>& argumentsAfterProgram) {
    return !argumentsAfterProgram.empty() && Lower(argumentsAfterProgram.front()) == "-start";
}

CommandRequest RequestOf(const std::vector<std::string>& argumentsAfterProgram) {
    if (!UnknownOption(argumentsAfterProgram).empty())
        return CommandRequest::Refused;
    const auto has = [&](const char* option) {
        return std::find(argumentsAfterProgram.begin(), argumentsAfterProgram.end(), option) !=
               argumentsAfterProgram.end();
    };
    if (has("--help") || has("-h"))
        return CommandRequest::Help;
    if (has("--version"))
        return CommandRequest::Version;
    return CommandRequest::Run;
}

bool WantsEngineMessages(const std::vector<std::string>& argumentsAfterProgram,
                         const char* verboseVariable) {
    if (std::find(argumentsAfterProgram.begin(), argumentsAfterProgram.end(), "--verbose") !=
        argumentsAfterProgram.end())
        return true;
    return verboseVariable && *verboseVariable && std::string_view(verboseVariable) != "0";
}

std::string EditionDirectory(const char* override, const std::string& executablePath,
                             const std::string& workingDirectory) {
    namespace fs = std::filesystem;
    fs::path directory = override && *override
                             ? (fs::path(workingDirectory) / override).lexically_normal()
                             : fs::path(executablePath).parent_path();
    std::string text = directory.string();
    if (text.empty() || text.back() != '/')
        text += '/';
    return text;
}

} // namespace luming
