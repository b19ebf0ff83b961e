#pragma once

#include "platform/Desktop.h"
#include "platform/X11EscapeGrab.h"

#include <QPointer>

class QShortcut;

namespace luming {

// The desktop of an X11 session: other programs' windows through the window manager's client
// list, the default browser through Qt, Escape grabbed on the root window.
class X11Desktop : public IDesktop {
public:
    ~X11Desktop() override;

    bool WindowExists(const std::string& windowClass, const std::string& title) override;
    bool RaiseWindow(const std::string& windowClass, const std::string& title) override;
    void OpenUrl(const std::string& address) override;
    void StartProgram(const std::string& path) override;
    // True when Escape is taken from every application. Where it cannot be (another platform,
    // or another program holds the key), Escape in this application's windows does the same.
    bool RegisterEscapeHotKey(std::function<void()> pressed) override;
    void UnregisterEscapeHotKey() override;

private:
    X11EscapeGrab grab_;
    QPointer<QShortcut> shortcut_;
};

} // namespace luming
