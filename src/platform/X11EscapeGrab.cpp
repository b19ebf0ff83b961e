#include "platform/X11EscapeGrab.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <xcb/xcb.h>

#include <array>
#include <cstdlib>
#include <memory>
#include <vector>

namespace luming {

namespace {

constexpr xcb_keysym_t kEscapeSym = 0xff1b;
constexpr xcb_keysym_t kNumLockSym = 0xff7f;
constexpr uint16_t kUsualNumLock = XCB_MOD_MASK_2;

template <typename T> using Reply = std::unique_ptr<T, decltype(&std::free)>;

template <typename T> Reply<T> Own(T* reply) {
    return Reply<T>(reply, &std::free);
}

// Every keycode whose keys produce `sym`, from the server's keyboard map.
std::vector<xcb_keycode_t> KeycodesOf(xcb_connection_t* connection, xcb_keysym_t sym) {
    const xcb_setup_t* setup = xcb_get_setup(connection);
    const int count = setup->max_keycode - setup->min_keycode + 1;
    auto map = Own(xcb_get_keyboard_mapping_reply(
        connection,
        xcb_get_keyboard_mapping(connection, setup->min_keycode, static_cast<uint8_t>(count)),
        nullptr));
    std::vector<xcb_keycode_t> codes;
    if (!map || map->keysyms_per_keycode == 0)
        return codes;
    const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(map.get());
    const int perCode = map->keysyms_per_keycode;
    const int total = xcb_get_keyboard_mapping_keysyms_length(map.get());
    for (int i = 0; i < total; ++i)
        if (syms[i] == sym)
            codes.push_back(static_cast<xcb_keycode_t>(setup->min_keycode + i / perCode));
    return codes;
}

// The modifier bit that NumLock sets; Mod2 on nearly every keyboard map.
uint16_t NumLockMask(xcb_connection_t* connection) {
    const std::vector<xcb_keycode_t> numLock = KeycodesOf(connection, kNumLockSym);
    auto map = Own(
        xcb_get_modifier_mapping_reply(connection, xcb_get_modifier_mapping(connection), nullptr));
    if (!map || numLock.empty())
        return kUsualNumLock;
    const xcb_keycode_t* codes = xcb_get_modifier_mapping_keycodes(map.get());
    const int perModifier = map->keycodes_per_modifier;
    for (int modifier = 0; modifier < 8; ++modifier)
        for (int i = 0; i < perModifier; ++i)
            for (xcb_keycode_t code : numLock)
                if (code != 0 && codes[modifier * perModifier + i] == code)
                    return static_cast<uint16_t>(1u << modifier);
    return kUsualNumLock;
}

std::array<uint16_t, 4> LockCombinations(uint16_t numLock) {
    return {0, XCB_MOD_MASK_LOCK, numLock, static_cast<uint16_t>(XCB_MOD_MASK_LOCK | numLock)};
}

} // namespace

X11EscapeGrab::~X11EscapeGrab() {
    Stop();
}

bool X11EscapeGrab::Start(std::function<void()> pressed) {
    Stop();
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || QGuiApplication::platformName() != "xcb")
        return false;
    connection_ = x11->connection();
    root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
    const std::vector<xcb_keycode_t> escape = KeycodesOf(connection_, kEscapeSym);
    if (escape.empty()) {
        connection_ = nullptr;
        return false;
    }
    keycode_ = escape.front();
    numLock_ = NumLockMask(connection_);

    // The presses come to the root window even while one of our own windows has the focus.
    std::vector<xcb_void_cookie_t> grabs;
    for (uint16_t modifiers : LockCombinations(numLock_))
        grabs.push_back(xcb_grab_key_checked(connection_, 0, root_, modifiers, keycode_,
                                             XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    bool held = true;
    for (xcb_void_cookie_t grab : grabs) {
        if (xcb_generic_error_t* error = xcb_request_check(connection_, grab)) {
            held = false; // BadAccess: another program grabbed it first
            std::free(error);
        }
    }
    if (!held) {
        Ungrab();
        return false;
    }
    pressed_ = std::move(pressed);
    QCoreApplication::instance()->installNativeEventFilter(this);
    return true;
}

void X11EscapeGrab::Stop() {
    if (!connection_)
        return;
    if (QCoreApplication* application = QCoreApplication::instance())
        application->removeNativeEventFilter(this);
    pressed_ = nullptr;
    Ungrab();
}

void X11EscapeGrab::Ungrab() {
    // Releases only the combinations this client holds.
    for (uint16_t modifiers : LockCombinations(numLock_))
        xcb_ungrab_key(connection_, keycode_, root_, modifiers);
    // A round trip: the key is free for other programs once this returns, not some time later.
    std::free(xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
    connection_ = nullptr;
}

bool X11EscapeGrab::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t" || !connection_)
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    const uint8_t type = event->response_type & 0x7f;
    if (type != XCB_KEY_PRESS && type != XCB_KEY_RELEASE)
        return false;
    const auto* key = static_cast<const xcb_key_press_event_t*>(message);
    if (key->event != root_ || key->detail != keycode_)
        return false;
    if (type == XCB_KEY_PRESS && pressed_) {
        // The handler may stop the grab: it runs from a copy.
        const std::function<void()> pressed = pressed_;
        pressed();
    }
    return true;
}

} // namespace luming
