#include "platform/X11Desktop.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace luming {

bool X11Desktop::WindowExists(const std::string&, const std::string&) {
    return false; // the client-list search is being built
}

bool X11Desktop::RaiseWindow(const std::string&, const std::string&) {
    return false;
}

void X11Desktop::OpenUrl(const std::string& address) {
    QDesktopServices::openUrl(QUrl::fromUserInput(QString::fromStdString(address)));
}

void X11Desktop::StartProgram(const std::string& path) {
    const QString program = QString::fromStdString(path);
    QProcess::startDetached(program, {}, QFileInfo(program).absolutePath());
}

bool X11Desktop::RegisterEscapeHotKey(std::function<void()>) {
    return false; // the root-window grab is being built
}

void X11Desktop::UnregisterEscapeHotKey() {}

} // namespace luming
