#pragma once

#include <string>
#include <vector>

class QApplication;

namespace luming {

class Platform;

inline constexpr const char* kFlashMissingMessage =
    "您的系统还没有安装对Flash的支持，请安装后重试。";

struct EntryOptions {
    std::string appDir;                 // where the executable and its Config/ live
    std::vector<std::string> arguments; // the command line after the program name
    int buildNumber = 0;                // from the executable's version stamp
    std::string lockDirectory;          // empty: the system's temporary directory
};

// From the build number to the running main window: edition, single instance, "-start",
// the Flash check, the settings, the main window and the event loop. Returns the exit code.
int RunProgram(QApplication& app, const EntryOptions& options, Platform& platform);

} // namespace luming
