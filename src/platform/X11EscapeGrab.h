#pragma once

#include <QAbstractNativeEventFilter>

#include <cstdint>
#include <functional>

struct xcb_connection_t;

namespace luming {

// Escape taken from every application: a passive grab on the root window over Qt's own X
// connection (whatever NumLock and CapsLock say), its presses picked out of Qt's native events.
class X11EscapeGrab : public QAbstractNativeEventFilter {
public:
    ~X11EscapeGrab() override;

    // False when Qt does not run on X11 or another program holds the key.
    bool Start(std::function<void()> pressed);
    void Stop();

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    void Ungrab();

    xcb_connection_t* connection_ = nullptr;
    uint32_t root_ = 0;
    uint8_t keycode_ = 0;
    uint16_t numLock_ = 0;
    std::function<void()> pressed_;
};

} // namespace luming
