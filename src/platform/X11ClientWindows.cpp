#include "platform/X11ClientWindows.h"

#include <QGuiApplication>
#include <QString>
#include <QWindow>

#include <xcb/xcb.h>

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace luming {

namespace {

template <typename T> using Reply = std::unique_ptr<T, decltype(&std::free)>;

template <typename T> Reply<T> Own(T* reply) {
    return Reply<T>(reply, &std::free);
}

// Long enough for any title or class; properties are read in 32-bit units.
constexpr uint32_t kPropertyUnits = 16384;
constexpr uint32_t kSourcePager = 2; // asks the window manager to obey, as a task bar does

} // namespace

X11ClientWindows::X11ClientWindows() {
    connection_ = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection_)) {
        xcb_disconnect(connection_);
        connection_ = nullptr;
        return;
    }
    root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
}

X11ClientWindows::~X11ClientWindows() {
    if (connection_)
        xcb_disconnect(connection_);
}

bool X11ClientWindows::Connected() const {
    return connection_ != nullptr;
}

uint32_t X11ClientWindows::Atom(const char* name) {
    auto reply = Own(xcb_intern_atom_reply(
        connection_,
        xcb_intern_atom(connection_, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

std::string X11ClientWindows::Property(uint32_t window, uint32_t property, uint32_t type,
                                       uint32_t* typeOut) {
    auto reply = Own(xcb_get_property_reply(
        connection_, xcb_get_property(connection_, 0, window, property, type, 0, kPropertyUnits),
        nullptr));
    if (!reply || reply->type == XCB_ATOM_NONE)
        return {};
    if (typeOut)
        *typeOut = reply->type;
    return std::string(static_cast<const char*>(xcb_get_property_value(reply.get())),
                       static_cast<size_t>(xcb_get_property_value_length(reply.get())));
}

bool X11ClientWindows::IsOwn(uint32_t window) {
    const std::string pid = Property(window, Atom("_NET_WM_PID"), XCB_ATOM_CARDINAL);
    uint32_t value = 0;
    if (pid.size() == sizeof value) {
        std::memcpy(&value, pid.data(), sizeof value);
        if (value == static_cast<uint32_t>(getpid()))
            return true;
    }
    // Windows of ours that carry no process number.
    if (QGuiApplication::platformName() == "xcb")
        for (const QWindow* own : QGuiApplication::allWindows())
            if (own->handle() && own->winId() == window)
                return true;
    return false;
}

std::string X11ClientWindows::Title(uint32_t window) {
    uint32_t type = XCB_ATOM_NONE;
    std::string title = Property(window, Atom("_NET_WM_NAME"), Atom("UTF8_STRING"), &type);
    if (type != XCB_ATOM_NONE)
        return title;
    title = Property(window, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, &type);
    if (type == XCB_ATOM_STRING) // Latin-1 by the window conventions
        return QString::fromLatin1(title.data(), static_cast<qsizetype>(title.size()))
            .toStdString();
    return title;
}

bool X11ClientWindows::HasClass(uint32_t window, const std::string& windowClass) {
    // Two names, each ended by a zero byte: the instance, then the class.
    const std::string names = Property(window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING);
    size_t start = 0;
    while (start < names.size()) {
        size_t end = names.find('\0', start);
        if (end == std::string::npos)
            end = names.size();
        if (names.compare(start, end - start, windowClass) == 0)
            return true;
        start = end + 1;
    }
    return false;
}

std::optional<uint32_t> X11ClientWindows::Find(const std::string& windowClass,
                                               const std::string& title) {
    if (!Connected())
        return std::nullopt;
    std::vector<uint32_t> windows;
    const std::string clients = Property(root_, Atom("_NET_CLIENT_LIST"), XCB_ATOM_WINDOW);
    if (!clients.empty()) {
        windows.resize(clients.size() / sizeof(uint32_t));
        std::memcpy(windows.data(), clients.data(), windows.size() * sizeof(uint32_t));
    } else if (auto tree = Own(xcb_query_tree_reply(connection_, xcb_query_tree(connection_, root_),
                                                    nullptr))) {
        // No window manager: the top-level windows are the root's children.
        const xcb_window_t* children = xcb_query_tree_children(tree.get());
        windows.assign(children, children + xcb_query_tree_children_length(tree.get()));
    }
    for (uint32_t window : windows)
        if (HasClass(window, windowClass) && Title(window) == title && !IsOwn(window))
            return window;
    return std::nullopt;
}

void X11ClientWindows::Activate(uint32_t window) {
    if (!Connected())
        return;
    auto attributes = Own(xcb_get_window_attributes_reply(
        connection_, xcb_get_window_attributes(connection_, window), nullptr));
    if (attributes && attributes->map_state != XCB_MAP_STATE_VIEWABLE)
        xcb_map_window(connection_, window);

    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = Atom("_NET_ACTIVE_WINDOW");
    message.data.data32[0] = kSourcePager;
    message.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(connection_, 0, root_,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
    // Where no window manager acts on that message, the window comes up by itself.
    const uint32_t above = XCB_STACK_MODE_ABOVE;
    xcb_configure_window(connection_, window, XCB_CONFIG_WINDOW_STACK_MODE, &above);
    xcb_flush(connection_);
}

} // namespace luming
