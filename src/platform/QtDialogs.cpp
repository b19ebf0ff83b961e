#include "platform/QtDialogs.h"

#include <QApplication>
#include <QMessageBox>

namespace luming {

namespace {

QMessageBox::StandardButton Show(QMessageBox::Icon icon, const std::string& text,
                                 QMessageBox::StandardButtons buttons) {
    QMessageBox box(icon, QString::fromUtf8(kMessageCaption), QString::fromStdString(text), buttons,
                    QApplication::activeWindow());
    return static_cast<QMessageBox::StandardButton>(box.exec());
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
    QMessageBox box(QMessageBox::Critical, ApplicationTitle(), QString::fromStdString(text),
                    QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

} // namespace luming
