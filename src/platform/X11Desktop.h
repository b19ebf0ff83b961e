#pragma once

#include "platform/Desktop.h"

namespace luming {

// The desktop of an X11 session: other programs' windows through the window manager's client
// list, the default browser through Qt, Escape grabbed on the root window.
class X11Desktop : public IDesktop {
public:
    bool WindowExists(const std::string& windowClass, const std::string& title) override;
    bool RaiseWindow(const std::string& windowClass, const std::string& title) override;
    void OpenUrl(const std::string& address) override;
    void StartProgram(const std::string& path) override;
    bool RegisterEscapeHotKey(std::function<void()> pressed) override;
    void UnregisterEscapeHotKey() override;
};

} // namespace luming
