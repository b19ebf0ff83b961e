// Full screen: a Flash movie fills the screen on the window itself, a video in the player
// movie's own full screen; audio cannot.
#include "config/Dialogs.h"
#include "platform/Desktop.h"
#include "platform/FlashControl.h"
#include "platform/Platform.h"
#include "shell/AlignLayout.h"
#include "shell/TfrmMain.h"
#include "shell/WindowPlacement.h"

#include <QFrame>
#include <QScreen>
#include <QPointer>
#include <QToolButton>

#include <memory>

namespace luming {

namespace {

constexpr char kAudioCannotFillScreen[] = "音频文件不能全屏!";
constexpr QPoint kExitButtonPlace(10, 10);

} // namespace

void TfrmMain::ConnectFullScreenHandlers() {
    connect(sbtnFullScreen, &QToolButton::clicked, this, &TfrmMain::sbtnFullScreenClick);
    connect(btnExitFullScreen, &QToolButton::clicked, this, &TfrmMain::btnExitFullScreenClick);
    // The player movie also enters its full screen on a double click and leaves it on Escape or
    // another double click, without the window asking: the flag follows it.
    // The control that had the keys when the movie went to its own window gets them back.
    auto keysBefore = std::make_shared<QPointer<QWidget>>();
    connect(ShockwaveFlash1, &FlashControl::fullScreenChanged, this, [this, keysBefore](bool on) {
        if (on)
            FullScreenOn = 1;
        else if (!ownFullScreen_)
            FullScreenOn = 0;
        if (on) {
            // The movie's own window has no control to say where the keys are.
            *keysBefore = focusWidget();
            Announce(QStringLiteral("全屏播放, Esc 退出全屏"));
        } else if (!ownFullScreen_) {
            // Not the movie's picture, back in its place, which took them with it.
            QWidget* keys = *keysBefore && (*keysBefore)->isVisible() ? keysBefore->data() : btnPlay;
            keys->setFocus(Qt::OtherFocusReason);
            activateWindow();
            // A reader may not tell the control again: to it the keys never left.
            Announce(QStringLiteral("退出全屏"));
        }
    });
}

void TfrmMain::sbtnFullScreenClick() {
    try {
        const TKrvPlay* current = transport_->CurrentPlay;
        if (!current)
            return;
        if (current->FileType == "4") {
            FullScreenOn = 1;
            ShockwaveFlash1->SetMovieFullScreen(true);
        } else if (current->FileType == "1") {
            EnterOwnFullScreen();
        } else if (current->FileType == "2") {
            ShowInfo(platform_.Dialogs(), kAudioCannotFillScreen);
        }
    } catch (...) {
    }
}

void TfrmMain::btnExitFullScreenClick() {
    try {
        const TKrvPlay* current = transport_->CurrentPlay;
        if (!current)
            return;
        if (current->FileType == "4") {
            ShockwaveFlash1->SetMovieFullScreen(false);
            pnlExitFullScreen->hide();
            FullScreenOn = 0;
        }
        // Whatever plays now (a programme of another kind may have followed the Flash movie
        // without leaving), the window comes back.
        if (ownFullScreen_)
            LeaveOwnFullScreen();
    } catch (...) {
    }
}

void TfrmMain::EnterOwnFullScreen() {
    if (ownFullScreen_)
        return; // the window's size now is not the one to come back to
    FullScreenOn = 1;
    pnlPlayFlv->hide();

    ShockwaveFlash1->setParent(this);
    auto* windowLayout = static_cast<AlignLayout*>(layout());
    windowLayout->Place(ShockwaveFlash1, Align::Client, rect());
    ShockwaveFlash1->show();
    ShockwaveFlash1->raise();

    // The whole screen, panels and task bars included. A maximised window moves as well: it
    // may stand below a panel, and it comes back maximised without a saved place.
    const QRect screenArea = screen()->geometry();
    if (FrameMaximized == 0) {
        NormalLeft = x();
        NormalTop = y();
    }
    move(screenArea.topLeft());
    resize(screenArea.size());
    // Where the desktop places windows (a window manager, a Wayland compositor) it is asked too.
    AskDesktopFor(this, Qt::WindowStates(Qt::WindowFullScreen) |
                            (FrameMaximized == 0 ? Qt::WindowNoState : Qt::WindowMaximized));

    windowLayout->SetAlign(pnlTop, Align::None);
    AlignLayout::Of(pnlStatus)->SetAlign(pnlStatus, Align::None);
    // With the flag on, the page control fills its parent, which has just taken the title
    // bar's room.
    FormResize();

    pnlExitFullScreen->show();
    windowLayout->MoveTo(pnlExitFullScreen, kExitButtonPlace);
    pnlExitFullScreen->raise();

    if (QWidget* focused = focusWidget())
        focused->clearFocus();
    ShockwaveFlash1->setFocus();

    ownFullScreen_ = true;
    // A failed registration leaves the exit button as the way back.
    platform_.Desktop().RegisterEscapeHotKey([this] {
        if (btnExitFullScreen->isVisible())
            btnExitFullScreenClick();
    });
}

void TfrmMain::LeaveOwnFullScreen() {
    // The keys were in the movie or on the exit button: they go on at the play button, where
    // Space plays and pauses as it did in the movie.
    const QWidget* focused = focusWidget();
    const bool keysInFullScreen =
        focused && (focused == btnExitFullScreen || ShockwaveFlash1->isAncestorOf(focused) ||
                    focused == ShockwaveFlash1);
    auto* windowLayout = static_cast<AlignLayout*>(layout());
    windowLayout->SetAlign(pnlTop, Align::Top);
    AlignLayout::Of(pnlStatus)->SetAlign(pnlStatus, Align::Bottom);

    AskDesktopFor(this, FrameMaximized == 0 ? Qt::WindowNoState : Qt::WindowMaximized);
    if (FrameMaximized == 0) {
        resize(NormalWidth, NormalHeight);
        move(NormalLeft, NormalTop);
    } else {
        setGeometry(MaximisedGeometry());
    }

    ShockwaveFlash1->setParent(pnlplayMain);
    AlignLayout* playLayout = static_cast<AlignLayout*>(pnlplayMain->layout());
    playLayout->Place(ShockwaveFlash1, Align::Client, pnlplayMain->rect());
    ShockwaveFlash1->stackUnder(pnlPauseAds); // the pause advertisement stays over the movie
    ShockwaveFlash1->show();

    pnlExitFullScreen->hide();
    pnlPlayFlv->show();
    // No button press follows at the play bar: the movie is back in its place and needs none.

    // The resizes above ran while the flag was still on and let the page control fill its
    // parent; outside full screen it reaches beyond the frame.
    PlacePageControlInFrame();
    AlignLayout::ApplyTree(this);

    ownFullScreen_ = false;
    platform_.Desktop().UnregisterEscapeHotKey();
    FullScreenOn = 0;
    if (keysInFullScreen)
        btnPlay->setFocus(Qt::OtherFocusReason);
    Announce(QStringLiteral("退出全屏"));
}

} // namespace luming
