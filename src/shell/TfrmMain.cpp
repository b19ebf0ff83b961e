#include "shell/TfrmMain.h"

#include "config/Settings.h"
#include "platform/Platform.h"

#include <QGuiApplication>
#include <QScreen>

namespace luming {

TfrmMain::TfrmMain(Settings& settings, Platform& platform, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), settings_(settings),
      platform_(platform) {
    setObjectName("TfrmMain");
    setWindowTitle(QStringLiteral("鹿鸣果儿童古诗精选"));
    resize(kDesignClientWidth, kDesignClientHeight);
    CentreOnScreen();
}

void TfrmMain::CentreOnScreen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame(QPoint(), size());
    frame.moveCenter(screen->geometry().center());
    move(frame.topLeft());
}

void TfrmMain::BringForward() {
    if (isMinimized())
        showNormal();
    else
        show();
    raise();
    activateWindow();
}

} // namespace luming
