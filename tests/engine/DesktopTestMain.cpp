#include <QApplication>

#include <gtest/gtest.h>

#include <xcb/xcb.h>

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

namespace {

xcb_atom_t Atom(xcb_connection_t* connection, const char* name) {
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name),
        nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return atom;
}

void Set(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t property, xcb_atom_t type,
         const std::string& bytes) {
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, property, type, 8,
                        static_cast<uint32_t>(bytes.size()), bytes.data());
}

xcb_window_t MakeWindow(xcb_connection_t* connection, const xcb_screen_t* screen,
                        const std::string& windowClass) {
    const xcb_window_t window = xcb_generate_id(connection);
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, screen->root, 10, 10, 120, 80, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
    Set(connection, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING,
        std::string("luming-other") + '\0' + windowClass + '\0');
    const uint32_t pid = static_cast<uint32_t>(getpid());
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, Atom(connection, "_NET_WM_PID"),
                        XCB_ATOM_CARDINAL, 32, 1, &pid);
    return window;
}

// The other program: two unmapped top-level windows of the class `windowClass` (instance
// "luming-other"), one titled `title` through _NET_WM_NAME, one titled "Café" through the older
// Latin-1 WM_NAME only; prints "ready <first> <second>" and keeps them until standard input closes.
int RunOtherProgramWindows(const std::string& windowClass, const std::string& title) {
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection))
        return 2;
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const xcb_window_t titled = MakeWindow(connection, screen, windowClass);
    Set(connection, titled, Atom(connection, "_NET_WM_NAME"), Atom(connection, "UTF8_STRING"),
        title);
    Set(connection, titled, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, "other");
    const xcb_window_t legacy = MakeWindow(connection, screen, windowClass);
    Set(connection, legacy, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, "Caf\xe9");
    xcb_flush(connection);
    std::cout << "ready " << titled << ' ' << legacy << std::endl;
    for (std::string line; std::getline(std::cin, line);) {
    }
    xcb_disconnect(connection);
    return 0;
}

} // namespace

// The tests need an X server (run inside Xvfb, on the xcb platform); started with
// "--other-program CLASS TITLE" this program plays the other program whose windows they look for.
int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--other-program") == 0)
        return RunOtherProgramWindows(argv[2], argv[3]);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
