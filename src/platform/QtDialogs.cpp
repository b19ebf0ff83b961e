#include "platform/QtDialogs.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>

namespace luming {

namespace {

// Runs the box over the active window and gives that window the keyboard back afterwards:
// without a window manager nobody else does, and the control that had the focus would not
// hear it come back.
QMessageBox::StandardButton Run(QMessageBox::Icon icon, const QString& caption,
                                const std::string& text, QMessageBox::StandardButtons buttons) {
    const QPointer<QWidget> owner = QApplication::activeWindow();
    QMessageBox box(icon, caption, QString::fromStdString(text), buttons, owner);
    const auto answer = static_cast<QMessageBox::StandardButton>(box.exec());
    if (owner && owner->isVisible())
        owner->activateWindow();
    return answer;
}

QMessageBox::StandardButton Show(QMessageBox::Icon icon, const std::string& text,
                                 QMessageBox::StandardButtons buttons) {
    return Run(icon, QString::fromUtf8(kMessageCaption), text, buttons);
}

} // namespace

void QtDialogs::Information(const std::string& text) {
    Show(QMessageBox::Information, text, QMessageBox::Ok);
}

void QtDialogs::Plain(const std::string& text) {
    Show(QMessageBox::NoIcon, text, QMessageBox::Ok);
}

bool QtDialogs::Confirm(const std::string& text) {
    return Show(QMessageBox::Question, text, QMessageBox::Ok | QMessageBox::Cancel) ==
           QMessageBox::Ok;
}

// The application's title: the main window's.
QString ApplicationTitle() {
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->objectName() == QLatin1String("TfrmMain"))
            return window->windowTitle();
    return QGuiApplication::applicationName();
}

void QtDialogs::Error(const std::string& text) {
    Run(QMessageBox::Critical, ApplicationTitle(), text, QMessageBox::Ok);
}

} // namespace luming
