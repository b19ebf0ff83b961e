#include "platform/X11Desktop.h"

#include "platform/X11ClientWindows.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QShortcut>
#include <QUrl>
#include <QWidget>

#include <cstdio>

namespace luming {

namespace {

// The window an application-wide shortcut hangs on: Qt takes it only from a shown one.
QWidget* ShownWindow() {
    if (QWidget* active = QApplication::activeWindow())
        return active;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->isVisible())
            return window;
    return nullptr;
}

} // namespace

X11Desktop::~X11Desktop() {
    UnregisterEscapeHotKey();
}

bool X11Desktop::WindowExists(const std::string& windowClass, const std::string& title) {
    return X11ClientWindows().Find(windowClass, title).has_value();
}

bool X11Desktop::RaiseWindow(const std::string& windowClass, const std::string& title) {
    X11ClientWindows windows;
    const auto window = windows.Find(windowClass, title);
    if (!window)
        return false;
    windows.Activate(*window);
    return true;
}

void X11Desktop::OpenUrl(const std::string& address) {
    const QUrl url = QUrl::fromUserInput(QString::fromStdString(address));
    // The handler of any other scheme (or of a file) may start a program.
    if (url.scheme() != "http" && url.scheme() != "https") {
        std::fprintf(stderr, "luming: not a web address, not opened: %s\n",
                     url.toString(QUrl::FullyEncoded).left(200).toUtf8().constData());
        return;
    }
    QDesktopServices::openUrl(url);
}

void X11Desktop::StartProgram(const std::string& path) {
    const QString program = QString::fromStdString(path);
    QProcess::startDetached(program, {}, QFileInfo(program).absolutePath());
}

bool X11Desktop::RegisterEscapeHotKey(std::function<void()> pressed) {
    UnregisterEscapeHotKey();
    if (grab_.Start(pressed))
        return true;
    if (QWidget* window = ShownWindow()) {
        shortcut_ = new QShortcut(QKeySequence(Qt::Key_Escape), window);
        shortcut_->setContext(Qt::ApplicationShortcut);
        QObject::connect(shortcut_, &QShortcut::activated, shortcut_, std::move(pressed));
    }
    return false;
}

void X11Desktop::UnregisterEscapeHotKey() {
    grab_.Stop();
    if (shortcut_) {
        shortcut_->setEnabled(false);
        // Later: the handler that asked for this may still run inside the shortcut's signal.
        shortcut_->deleteLater();
        shortcut_ = nullptr;
    }
}

} // namespace luming
