#include "X11Windows.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace luming::test {

namespace {

template <typename T> using Reply = std::unique_ptr<T, decltype(&std::free)>;

xcb_atom_t Atom(xcb_connection_t* connection, const char* name) {
    Reply<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 1, std::strlen(name), name),
                              nullptr),
        &std::free);
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

} // namespace

WindowCount WindowsOfProcess(pid_t pid) {
    WindowCount count;
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return count;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const xcb_atom_t pidAtom = Atom(connection, "_NET_WM_PID");

    Reply<xcb_query_tree_reply_t> tree(
        xcb_query_tree_reply(connection, xcb_query_tree(connection, root), nullptr), &std::free);
    if (tree) {
        const xcb_window_t* children = xcb_query_tree_children(tree.get());
        for (int i = 0; i < xcb_query_tree_children_length(tree.get()); ++i) {
            Reply<xcb_get_property_reply_t> property(
                xcb_get_property_reply(
                    connection,
                    xcb_get_property(connection, 0, children[i], pidAtom, XCB_ATOM_CARDINAL, 0, 1),
                    nullptr),
                &std::free);
            if (!property || xcb_get_property_value_length(property.get()) != 4 ||
                *static_cast<uint32_t*>(xcb_get_property_value(property.get())) !=
                    static_cast<uint32_t>(pid))
                continue;
            ++count.all;
            Reply<xcb_get_window_attributes_reply_t> attributes(
                xcb_get_window_attributes_reply(
                    connection, xcb_get_window_attributes(connection, children[i]), nullptr),
                &std::free);
            if (attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE)
                ++count.viewable;
        }
    }
    xcb_disconnect(connection);
    return count;
}

std::vector<uint32_t> StackedClientWindows() {
    std::vector<uint32_t> windows;
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return windows;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    Reply<xcb_get_property_reply_t> property(
        xcb_get_property_reply(connection,
                               xcb_get_property(connection, 0, root,
                                                Atom(connection, "_NET_CLIENT_LIST_STACKING"),
                                                XCB_ATOM_WINDOW, 0, 1024),
                               nullptr),
        &std::free);
    if (property) {
        const auto* ids = static_cast<const uint32_t*>(xcb_get_property_value(property.get()));
        windows.assign(ids, ids + xcb_get_property_value_length(property.get()) / 4);
    }
    xcb_disconnect(connection);
    return windows;
}

} // namespace luming::test
