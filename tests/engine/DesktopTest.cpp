// Other programs' windows and the Escape hot key on a real X server (Xvfb, no window manager).
#include "platform/X11Desktop.h"
#include "support/DesktopLaunches.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QProcess>
#include <QTest>
#include <QWidget>

#include <xcb/xcb.h>

#include <gtest/gtest.h>

#include <cstdlib>

using luming::X11Desktop;

namespace {

constexpr char kClass[] = "KestrelMain";
const std::string kTitle = "鹿鸣 主窗口";
constexpr xcb_keycode_t kEscapeKeycode = 9; // in the X server's default keyboard map

// Another client of the X server, as another program on the desktop would be.
class OtherClient {
public:
    OtherClient() : connection_(xcb_connect(nullptr, nullptr)) {
        root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
    }
    ~OtherClient() { xcb_disconnect(connection_); }

    bool GrabEscape(uint16_t modifiers) {
        xcb_generic_error_t* error = xcb_request_check(
            connection_, xcb_grab_key_checked(connection_, 0, root_, modifiers, kEscapeKeycode,
                                              XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
        std::free(error);
        return error == nullptr;
    }
    // Whether this client could take Escape with those modifiers (and gives it back).
    bool CanGrabEscape(uint16_t modifiers) {
        const bool taken = GrabEscape(modifiers);
        xcb_ungrab_key(connection_, kEscapeKeycode, root_, modifiers);
        xcb_flush(connection_);
        return taken;
    }
    bool IsMapped(uint32_t window) {
        auto* attributes = xcb_get_window_attributes_reply(
            connection_, xcb_get_window_attributes(connection_, window), nullptr);
        const bool mapped = attributes && attributes->map_state != XCB_MAP_STATE_UNMAPPED;
        std::free(attributes);
        return mapped;
    }
    uint32_t Root() const { return root_; }

private:
    xcb_connection_t* connection_;
    uint32_t root_;
};

// Hands an X key press to the application's native event filters, as Qt does with each event.
void DeliverKeyPress(uint32_t window, xcb_keycode_t key) {
    xcb_key_press_event_t press{};
    press.response_type = XCB_KEY_PRESS;
    press.detail = key;
    press.event = window;
    qintptr result = 0;
    QAbstractEventDispatcher::instance()->filterNativeEvent("xcb_generic_event_t", &press, &result);
}

const uint16_t kLockCombinations[] = {0, XCB_MOD_MASK_LOCK, XCB_MOD_MASK_2,
                                      XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2};

} // namespace

TEST(X11Desktop, FindsAndRaisesAnotherProgramsWindowByClassAndTitleOnly) {
    QProcess other;
    other.start(QCoreApplication::applicationFilePath(),
                {"--other-program", kClass, QString::fromStdString(kTitle)});
    ASSERT_TRUE(other.waitForReadyRead(10000));
    const QStringList ready = QString::fromLatin1(other.readLine()).split(' ');
    ASSERT_EQ(ready.size(), 3);
    const uint32_t titled = ready[1].toUInt();

    // Windows of this program are never another program's.
    QWidget own;
    own.setWindowTitle(QStringLiteral("Own"));
    own.show();

    X11Desktop desktop;
    EXPECT_TRUE(desktop.WindowExists(kClass, kTitle));
    EXPECT_TRUE(desktop.WindowExists("luming-other", kTitle)) << "the instance name counts too";
    EXPECT_TRUE(desktop.WindowExists(kClass, "Café")) << "an old Latin-1 title";
    EXPECT_FALSE(desktop.WindowExists(kClass, "other")) << "the UTF-8 title comes first";
    EXPECT_FALSE(desktop.WindowExists(kClass, "鹿鸣"));
    EXPECT_FALSE(desktop.WindowExists("Kestrel", kTitle));
    EXPECT_FALSE(desktop.WindowExists(QCoreApplication::applicationName().toStdString(), "Own"));

    OtherClient observer;
    EXPECT_FALSE(observer.IsMapped(titled));
    EXPECT_TRUE(desktop.RaiseWindow(kClass, kTitle));
    EXPECT_TRUE(QTest::qWaitFor([&] { return observer.IsMapped(titled); }, 5000));
    EXPECT_FALSE(desktop.RaiseWindow(kClass, "nothing like it"));

    other.closeWriteChannel();
    ASSERT_TRUE(other.waitForFinished(10000));
    EXPECT_EQ(other.exitCode(), 0);
    EXPECT_FALSE(desktop.WindowExists(kClass, kTitle));
}

TEST(X11Desktop, EscapeIsTakenFromEveryProgramWhileRegistered) {
    OtherClient other;
    X11Desktop desktop;
    int presses = 0;
    ASSERT_TRUE(desktop.RegisterEscapeHotKey([&] { ++presses; }));
    for (uint16_t modifiers : kLockCombinations)
        EXPECT_FALSE(other.CanGrabEscape(modifiers)) << "NumLock/CapsLock " << modifiers;

    DeliverKeyPress(other.Root(), kEscapeKeycode);
    DeliverKeyPress(other.Root(), kEscapeKeycode + 1);
    EXPECT_EQ(presses, 1);

    desktop.UnregisterEscapeHotKey();
    for (uint16_t modifiers : kLockCombinations)
        EXPECT_TRUE(other.CanGrabEscape(modifiers)) << "NumLock/CapsLock " << modifiers;
    DeliverKeyPress(other.Root(), kEscapeKeycode);
    EXPECT_EQ(presses, 1);
}

TEST(X11Desktop, WhenAnotherProgramHoldsEscapeOurWindowsStillTakeIt) {
    OtherClient other;
    ASSERT_TRUE(other.GrabEscape(0));
    QWidget window;
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    X11Desktop desktop;
    int presses = 0;
    EXPECT_FALSE(desktop.RegisterEscapeHotKey([&] { ++presses; }));
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_EQ(presses, 1);

    desktop.UnregisterEscapeHotKey();
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_EQ(presses, 1);
}

// Only web addresses leave for the browser: the handler of any other scheme, or of a file, may
// start a program.
TEST(X11Desktop, OpensWebAddressesOnly) {
    const luming::test::DesktopLaunches web("http"), files("file"), other("x-luming-test");
    X11Desktop desktop;
    desktop.OpenUrl("file:///usr/bin/xterm");
    desktop.OpenUrl("/usr/bin/xterm");
    desktop.OpenUrl("x-luming-test:launch");
    desktop.OpenUrl("http://vendor.example/online");
    EXPECT_EQ(web.opened(), QStringList{"http://vendor.example/online"});
    EXPECT_TRUE(files.opened().isEmpty());
    EXPECT_TRUE(other.opened().isEmpty());
}
