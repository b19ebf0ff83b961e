#include "shell/TfrmSystemMsg.h"

#include "config/TextCase.h"
#include "platform/Platform.h"
#include "platform/WebPane.h"
#include "shell/FormParts.h"
#include "shell/ImageControl.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPropertyAnimation>
#include <QScreen>
#include <QTimer>

namespace luming {

namespace {

constexpr int kOneHourMs = 3600000;

QScreen* Screen() {
    return QGuiApplication::primaryScreen();
}

} // namespace

TfrmSystemMsg::TfrmSystemMsg(QWidget* owner, Platform& platform, std::string messagePageUrl)
    : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      messagePageUrl_(std::move(messagePageUrl)) {
    setObjectName("TfrmSystemMsg");
    setWindowTitle(QStringLiteral("最新消息"));
    setAttribute(Qt::WA_DeleteOnClose); // freed on close; the window's reference clears itself
    setFixedSize(kWidth, kHeight);

    wbSystemMsg = platform.CreateWebPane(this);
    wbSystemMsg->setObjectName("wbSystemMsg");
    wbSystemMsg->setGeometry(0, 0, kWidth, kHeight);
    wbSystemMsg->SetContextMenu(false);
    connect(wbSystemMsg, &WebPane::documentComplete, this,
            [this](bool topLevel) { wbSystemMsgDocumentComplete(topLevel); });

    pnlClose = form::Panel(this, "pnlClose", QColor(0xEE, 0xF3, 0xFA));
    pnlClose->setGeometry(kWidth - 41, 0, 41, 15);
    auto* cross = new QLabel(QStringLiteral("X"), pnlClose);
    cross->setAlignment(Qt::AlignCenter);
    cross->setGeometry(0, 0, 41, 15);
    Image1 = new ImageControl(pnlClose);
    Image1->setObjectName("Image1");
    Image1->setGeometry(0, 0, 41, 15);
    Image1->setCursor(Qt::PointingHandCursor);
    form::SetHint(Image1, QStringLiteral("关闭"));
    connect(Image1, &ImageControl::clicked, this, &TfrmSystemMsg::Image1Click);

    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setInterval(kOneHourMs);
    connect(Timer1, &QTimer::timeout, this, &TfrmSystemMsg::Timer1Timer);
}

void TfrmSystemMsg::ShowBelowScreen() {
    if (QScreen* screen = Screen())
        move(screen->availableGeometry().width() - width(), screen->geometry().height());
    show();
    raise();
    Tag = 0;
    wbSystemMsg->NavigateUncached(messagePageUrl_);
}

void TfrmSystemMsg::wbSystemMsgDocumentComplete(bool topLevel) {
    if (!topLevel || Tag == 1 || LowerAscii(wbSystemMsg->Address()) != LowerAscii(messagePageUrl_))
        return;
    Tag = 1;
    QScreen* screen = Screen();
    const int workHeight = screen ? screen->availableGeometry().height() : 0;
    // Up from the bottom of the work area until it stands height + 1 pixels above it, a pixel a
    // millisecond, without holding up the window.
    const QPoint start(x(), workHeight);
    const QPoint end(x(), workHeight - (height() + 1));
    move(start);
    auto* slide = new QPropertyAnimation(this, "pos", this);
    slide->setStartValue(start);
    slide->setEndValue(end);
    slide->setDuration(height() + 1);
    connect(slide, &QPropertyAnimation::finished, this, [this] { Timer1->start(); });
    slide->start(QAbstractAnimation::DeleteWhenStopped);
}

void TfrmSystemMsg::Timer1Timer() {
    close();
}

void TfrmSystemMsg::Image1Click() {
    close();
}

} // namespace luming
