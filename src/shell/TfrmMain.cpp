#include "shell/TfrmMain.h"

#include "catalogue/CatalogueSearch.h"
#include "catalogue/CatalogueUpdate.h"
#include "config/Dialogs.h"
#include "config/Settings.h"
#include "platform/Desktop.h"
#include "platform/MediaSession.h"
#include "platform/Platform.h"
#include "platform/WebPane.h"
#include "playback/OutputLevel.h"
#include "playback/ResumePositions.h"
#include "shell/AlignLayout.h"
#include "shell/FormParts.h"
#include "shell/FrameOutline.h"
#include "shell/ImageControl.h"
#include "shell/ImageList.h"
#include "shell/MessageFilter.h"
#include "shell/ProgrammeTreeModel.h"
#include "shell/Skin.h"
#include "shell/TfrmSystemMsg.h"
#include "shell/TransportBarView.h"
#include "shell/TransportGlyphs.h"

#include <QApplication>
#include <QFrame>
#include <QScreen>
#include <QToolButton>
#include <QTreeView>

namespace luming {

TfrmMain::TfrmMain(Settings& settings, Platform& platform, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), settings_(settings),
      platform_(platform) {
    setObjectName("TfrmMain");
    setWindowTitle(QStringLiteral("鹿鸣果儿童古诗精选"));
    setFont(form::SongTi(12));
    BuildForm();
    resize(kDesignClientWidth, kDesignClientHeight);
    CentreOnScreen();
    ConnectFrameHandlers();
    ConnectScrollBarHandlers();
    ConnectTreeHandlers();
    ConnectFlashPreparation();
    ConnectSearchBoxHandlers();
    ConnectTransportHandlers();
    ConnectReadAlong();
    ConnectWebPaneHandlers();
    ConnectFullScreenHandlers();
    ConnectKeyboardHandlers();
    FormCreate();
    ConnectMediaSession(); // once the title is known
}

TfrmMain::~TfrmMain() {
    // What listens to the window's own events and reads its state stops before that state goes.
    disconnect(focusFollower_);
    delete desktopStateKeeper_;
    RememberWhereLeft();   // the players are children, still there
    mediaService_.reset(); // the desktop's calls end before the window does
    if (ownFullScreen_)
        platform_.Desktop().UnregisterEscapeHotKey(); // its handler would outlive the window
    FormDestroy();
    delete frmSystemMsg; // a tool window of this one: gone before the window's own end
    // The model watches the tree, a member that goes before the children of the window do.
    tv1->setModel(nullptr);
    delete treeModel_;
}

void TfrmMain::BuildForm() {
    // Children in stacking order, from back to front.
    auto* layout = new AlignLayout(this, {kDesignClientWidth, kDesignClientHeight});
    pnlTop = form::Panel(this, "pnlTop");
    layout->Place(pnlTop, Align::Top, {0, 0, kDesignClientWidth, 20});
    pnlGame = form::Panel(this, "pnlGame");
    layout->Place(pnlGame, Align::Client, {0, 20, kDesignClientWidth, 572});
    pnlExitFullScreen = form::Panel(this, "pnlExitFullScreen");
    pnlExitFullScreen->hide();
    layout->Place(pnlExitFullScreen, Align::None, {513, 560, 30, 24}, Anchors::TopRight());

    BuildComponents(); // image lists first: the buttons take their glyphs from them
    BuildTitleBar();
    BuildBody();
    BuildStatusBar();

    btnExitFullScreen =
        form::SpeedButton(pnlExitFullScreen, "btnExitFullScreen", QStringLiteral("退出全屏"));
    btnExitFullScreen->setGeometry(0, 0, 30, 24);
    btnExitFullScreen->setIconSize({30, 24});
    btnExitFullScreen->setIcon(ImageList2->icon(kGlyphExitFullScreen));

    ApplicationEvents1 = new MessageFilter(this);
    for (QWidget* pane : {static_cast<QWidget*>(wbMain), static_cast<QWidget*>(wbMp3),
                          static_cast<QWidget*>(wbBottom), static_cast<QWidget*>(wbAds)})
        ApplicationEvents1->GuardPane(pane);
    qApp->installEventFilter(ApplicationEvents1);

    ApplySkin(this);
    outline_ = new FrameOutline(this);
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

void TfrmMain::Reported(const std::function<void()>& action) {
    try {
        action();
    } catch (const std::exception& error) {
        platform_.Dialogs().Error(error.what());
    }
}

void TfrmMain::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    FormResize();
    // Maximised or restored, the window may have left the pointer over another button or none.
    for (tLxsimage* button : {limgMenu, limgMin, limgMax, limgNor, limgClose})
        if (button)
            button->LeaveIfPointerGone();
}

} // namespace luming
