#pragma once

#include <string>
#include <vector>

namespace luming {

// What the session offers for the window: the variables Qt reads and the platform plugins
// that are installed.
struct WindowSession {
    std::string qpaPlatform;    // QT_QPA_PLATFORM as the user set it
    std::string waylandDisplay; // WAYLAND_DISPLAY
    std::string x11Display;     // DISPLAY
    bool waylandPlugin = false; // Qt's Wayland plugin (package qt6-wayland)
    bool xcbPlugin = false;     // Qt's X11 plugin
};

// The platforms to give Qt (QT_QPA_PLATFORM, in the order to try), and what to tell the user.
struct WindowPlatform {
    std::string platforms;  // empty: leave QT_QPA_PLATFORM as it is
    std::string message;    // for standard error; empty when there is nothing to say
    bool canStart = true;   // false: no platform can show the window, and `message` says why
};

// A Wayland session runs the window on Wayland itself, with X11 through XWayland as the
// fallback; an X11 session on X11. A platform the user chose is kept unless its plugin is
// missing. The program never ends in Qt's abort for a missing plugin: it falls back, or says
// what to install.
WindowPlatform ChooseWindowPlatform(const WindowSession& session);

// Whether one of `pluginDirectories` holds platforms/<fileStem>*.so.
bool PlatformPluginInstalled(const std::vector<std::string>& pluginDirectories,
                             const std::string& fileStem);

} // namespace luming
