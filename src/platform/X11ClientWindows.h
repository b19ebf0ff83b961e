#pragma once

#include <cstdint>
#include <optional>
#include <string>

struct xcb_connection_t;

namespace luming {

// Other programs' top-level windows on an X display: the window manager's client list (or the
// root's children where no window manager runs), matched by WM_CLASS and title.
class X11ClientWindows {
public:
    // Connects to the display of $DISPLAY; every search fails when that is not possible.
    X11ClientWindows();
    ~X11ClientWindows();
    X11ClientWindows(const X11ClientWindows&) = delete;
    X11ClientWindows& operator=(const X11ClientWindows&) = delete;

    // A window of another process whose WM_CLASS (instance or class name) is `windowClass` and
    // whose title (_NET_WM_NAME, else WM_NAME) is exactly `title`.
    std::optional<uint32_t> Find(const std::string& windowClass, const std::string& title);
    // Maps the window if it is not shown and asks the window manager to activate it.
    void Activate(uint32_t window);

private:
    bool Connected() const;
    bool IsOwn(uint32_t window);
    std::string Title(uint32_t window);
    bool HasClass(uint32_t window, const std::string& windowClass);
    std::string Property(uint32_t window, uint32_t property, uint32_t type,
                         uint32_t* typeOut = nullptr);
    uint32_t Atom(const char* name);

    xcb_connection_t* connection_ = nullptr;
    uint32_t root_ = 0;
};

} // namespace luming
