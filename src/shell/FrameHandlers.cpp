// The drawn frame: moving by the title bar, the title buttons, the resize rule and the shape.
#include "config/Dialogs.h"
#include "config/Settings.h"
#include "config/WholeNumbers.h"
#include "platform/Platform.h"
#include "platform/WebPane.h"
#include "shell/AlignLayout.h"
#include "shell/FrameOutline.h"
#include "shell/ImageControl.h"
#include "shell/PageControl.h"
#include "shell/ScrollThumb.h"
#include "shell/TfrmMain.h"
#include "shell/WebPageStyle.h"
#include "shell/WindowPlacement.h"
#include "shell/WindowShape.h"

#include <QApplication>
#include <QFrame>
#include <QMouseEvent>
#include <QScreen>
#include <QTreeView>
#include <QWindow>

namespace luming {

namespace {

// The heights of the title bar picture imgTc and the status bar picture imgBottom.
constexpr int kTitleBarHeight = 20;
constexpr int kStatusBarHeight = 27;
constexpr int kPageOverhang = 5;

} // namespace

void TfrmMain::ConnectFrameHandlers() {
    connect(imgTc, &ImageControl::mousePressed, this, &TfrmMain::imgTcMouseDown);
    connect(imgTc, &ImageControl::mouseMoved, this, &TfrmMain::imgTcMouseMove);
    connect(imgTc, &ImageControl::mouseReleased, this, [this] { titleDrag_ = TitleDrag::None; });
    connect(imgTc, &ImageControl::doubleClicked, this, &TfrmMain::imgTcDblClick);

    connect(limgMin, &ImageControl::clicked, this, &TfrmMain::limgMinClick);
    connect(limgMax, &ImageControl::clicked, this, &TfrmMain::limgMaxClick);
    connect(limgNor, &ImageControl::clicked, this, &TfrmMain::limgNorClick);
    connect(limgClose, &ImageControl::clicked, this, &TfrmMain::limgCloseClick);

    ConnectTitleButtonPictures(limgMenu, limgMenu1, limgMenu2, limgMenu3);
    ConnectTitleButtonPictures(limgMin, limgMin1, limgMin2, limgMin3);
    ConnectTitleButtonPictures(limgMax, limgMax1, limgMax2, limgMax3);
    ConnectTitleButtonPictures(limgNor, limgNor1, limgNor2, limgNor3);
    ConnectTitleButtonPictures(limgClose, limgClose1, limgClose2, limgClose3);

    connect(wbMp3, &WebPane::documentComplete, this, &TfrmMain::wbMp3DocumentComplete);
    desktopStateKeeper_ = new DesktopStateKeeper(this, [this] {
        Qt::WindowStates wanted;
        wanted.setFlag(Qt::WindowMaximized, maximised_);
        wanted.setFlag(Qt::WindowFullScreen, ownFullScreen_);
        return wanted;
    });
}

void TfrmMain::ConnectTitleButtonPictures(tLxsimage* button, ImageControl* normal,
                                          ImageControl* over, ImageControl* pressed) {
    connect(button, &ImageControl::mousePressed, this,
            [button, pressed] { button->setPicture(pressed->picture()); });
    connect(button, &ImageControl::mouseMoved, this,
            [button, over] { button->setPicture(over->picture()); });
    connect(button, &ImageControl::mouseReleased, this,
            [button, over] { button->setPicture(over->picture()); });
    connect(button, &tLxsimage::mouseLeft, this,
            [button, normal] { button->setPicture(normal->picture()); });
}

// The move waits until the pointer has gone a few pixels with the button down: a window
// manager's move takes the pointer, and a double click must still reach the title bar.
void TfrmMain::imgTcMouseDown(QMouseEvent* event) {
    titleDrag_ = TitleDrag::None;
    if (IsMaximised() || !(event->buttons() & Qt::LeftButton))
        return;
    titleDrag_ = TitleDrag::Pending;
    titleDragOffset_ = event->globalPosition().toPoint() - pos();
}

void TfrmMain::imgTcMouseMove(QMouseEvent* event) {
    if (titleDrag_ == TitleDrag::None)
        return;
    if (!(event->buttons() & Qt::LeftButton)) {
        titleDrag_ = TitleDrag::None;
        return;
    }
    const QPoint pointer = event->globalPosition().toPoint();
    const QPoint pressedAt = pos() + titleDragOffset_;
    if (titleDrag_ == TitleDrag::Pending &&
        (pointer - pressedAt).manhattanLength() < QApplication::startDragDistance())
        return;
    move(pointer - titleDragOffset_);
    // From here the window system moves the window; without a window manager that can, we do.
    if (titleDrag_ == TitleDrag::Pending)
        titleDrag_ = windowHandle() && windowHandle()->startSystemMove() ? TitleDrag::None
                                                                         : TitleDrag::Manual;
}

void TfrmMain::imgTcDblClick() {
    if (IsMaximised())
        limgNorClick();
    else
        limgMaxClick();
}

void TfrmMain::limgMinClick() {
    showMinimized();
}

void TfrmMain::limgMaxClick() {
    SetMaximised(true);
    FrameMaximized = 1;
    SwapTitleButton(limgMax, limgNor);
}

void TfrmMain::limgNorClick() {
    SetMaximised(false);
    FrameMaximized = 0;
    NormalWidth = width();
    NormalHeight = height();
    SwapTitleButton(limgNor, limgMax);
}

void TfrmMain::SwapTitleButton(tLxsimage* shown, tLxsimage* instead) {
    instead->show();
    // The keyboard focus stays at the place, on the button now there: hidden with the focus, the
    // button would hand it on to the close button, which the next Enter would press.
    if (focusWidget() == shown)
        instead->setFocus(Qt::OtherFocusReason);
    shown->hide();
}

void TfrmMain::limgCloseClick() {
    if (settings_.ExitOnClose != "1") {
        showMinimized();
        return;
    }
    if (platform_.Dialogs().Confirm("您确定退出吗?"))
        QCoreApplication::quit();
}

void TfrmMain::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    // Also after a hidden start, when closing the last window would not end the program, and
    // with the news pop-up still open.
    QCoreApplication::quit();
}

QRect TfrmMain::MaximisedGeometry() const {
    // The area the desktop leaves free: panels and task bars stay visible.
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    return screen->availableGeometry();
}

void TfrmMain::SetMaximised(bool maximised) {
    if (maximised == maximised_)
        return;
    // The desktop's own maximise fits the window into the free area wherever there is a window
    // manager, and a Wayland compositor alone can place a window at all; the geometry set here
    // serves where there is none. The state goes after the geometry when maximising, before it
    // when restoring, so that the desktop's answer comes last.
    if (maximised) {
        normalGeometry_ = geometry();
        setGeometry(MaximisedGeometry());
        AskDesktopFor(this, Qt::WindowMaximized);
    } else {
        AskDesktopFor(this, Qt::WindowNoState);
        if (normalGeometry_.isValid()) {
            setGeometry(KeptWithin(normalGeometry_, MaximisedGeometry()));
        } else {
            resize(kDesignClientWidth, kDesignClientHeight);
            CentreOnScreen();
        }
    }
    maximised_ = maximised;
}

void TfrmMain::FormResize() {
    if (!pnlTop)
        return; // still building
    setMask(RoundedWindowRegion(size()));

    if (FullScreenOn != 0)
        PageControl1->setGeometry(pnlGameC->rect());
    else
        PlacePageControlInFrame();
    // The rules below read the sizes of nested panels: lay them out now, not later.
    AlignLayout::ApplyTree(this);

    pnlScroll->setGeometry(pnlFuncTree->width() - pnlScroll->width(), 1, pnlScroll->width(),
                           pnlFuncTree->height() - 3);
    AlignLayout::ApplyTree(pnlScroll);
    if (tree_.Count() > 0)
        UpdateTreeScrollBar();
    else
        pnlScroll->hide();

    if (!pnlPauseAds->isHidden())
        pnlPauseAds->move(RoundHalfEven((pnlplayMain->width() - pnlPauseAds->width()) / 2.0),
                          RoundHalfEven((pnlplayMain->height() - pnlPauseAds->height()) / 2.0));

    if (outline_)
        outline_->FollowWindow();
}

void TfrmMain::PlacePageControlInFrame() {
    PageControl1->setGeometry(-kPageOverhang, -kPageOverhang, width() + 2 * kPageOverhang,
                              height() - kTitleBarHeight - kStatusBarHeight + 2 * kPageOverhang);
}

void TfrmMain::WB_Set3DBorderStyle(WebPane* browser, bool flag) {
    if (browser)
        browser->RunScript(BorderStyleScript(flag));
}

void TfrmMain::wbMp3DocumentComplete() {
    WB_Set3DBorderStyle(wbMp3, false);
}

} // namespace luming
