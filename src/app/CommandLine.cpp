#include "app/CommandLine.h"

#include <algorithm>
#include <filesystem>
#include <string_view>

namespace luming {

bool IsHiddenStart(const std::vector<std::string>& argumentsAfterProgram) {
    if (argumentsAfterProgram.empty())
        return false;
    std::string first = argumentsAfterProgram.front();
    std::transform(first.begin(), first.end(), first.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return first == "-start";
}

CommandRequest RequestOf(const std::vector<std::string>& argumentsAfterProgram) {
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
