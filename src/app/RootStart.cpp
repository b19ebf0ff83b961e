#include "app/RootStart.h"

#include "platform/Translations.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <xcb/xcb.h>

namespace luming {

namespace {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

bool WaylandAnswers() {
    std::string socketPath = Environment("WAYLAND_DISPLAY");
    if (socketPath.empty())
        return false;
    if (socketPath.front() != '/') {
        const std::string runtime = Environment("XDG_RUNTIME_DIR");
        if (runtime.empty())
            return false;
        socketPath = runtime + "/" + socketPath;
    }
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (socketPath.size() >= sizeof(address.sun_path))
        return false;
    socketPath.copy(address.sun_path, socketPath.size());
    const int connection = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (connection < 0)
        return false;
    const bool answered =
        connect(connection, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
    close(connection);
    return answered;
}

bool X11Answers() {
    if (Environment("DISPLAY").empty())
        return false;
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const bool answered = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return answered;
}

} // namespace

RootStart RootStartFor(bool root, bool sandboxTurnedOff) {
    if (!root)
        return RootStart::Normal;
    return sandboxTurnedOff ? RootStart::WithoutSandbox : RootStart::Refused;
}

int RefuseRootStart(int argc, char** argv, bool windowPlatformReady) {
    std::fprintf(stderr, "luming: %s\n", kRootRefusedText);
    // Root often may not use the user's display (sudo without its authority): Qt would abort
    // where it cannot connect, so the display of a platform Qt will try is asked first.
    const std::string platforms = Environment("QT_QPA_PLATFORM");
    const auto tries = [&platforms](const char* platform) {
        return platforms.find(platform) != std::string::npos;
    };
    if (!windowPlatformReady ||
        !((tries("wayland") && WaylandAnswers()) || (tries("xcb") && X11Answers())))
        return 1;
    QApplication app(argc, argv);
    InstallChineseQtTranslations(app);
    QMessageBox box(QMessageBox::Warning, QStringLiteral("提示"),
                    QString::fromUtf8(kRootRefusedText), QMessageBox::Ok);
    box.exec();
    return 1;
}

} // namespace luming
