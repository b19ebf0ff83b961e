#pragma once

#include <functional>
#include <string>

namespace luming {

// What the window asks of the desktop around it: other programs' windows, the default browser,
// starting a program, and the Escape key while the window fills the screen.
class IDesktop {
public:
    virtual ~IDesktop() = default;

    // Whether a top-level window of another program with this class (WM_CLASS) and title exists.
    virtual bool WindowExists(const std::string& windowClass, const std::string& title) = 0;
    // Shows and raises that window; false when there is none.
    virtual bool RaiseWindow(const std::string& windowClass, const std::string& title) = 0;
    // Opens a web address (http or https) in the desktop's web browser; refuses any other.
    virtual void OpenUrl(const std::string& address) = 0;
    // Starts a program file, detached.
    virtual void StartProgram(const std::string& path) = 0;

    // Escape, taken from every application while registered (where the desktop allows it;
    // otherwise from this application only): `pressed` runs on the UI thread.
    virtual bool RegisterEscapeHotKey(std::function<void()> pressed) = 0;
    virtual void UnregisterEscapeHotKey() = 0;
};

} // namespace luming
