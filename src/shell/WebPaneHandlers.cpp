// The vendor's pages around the player: the advertising strip and channel pane, the pause
// advertisement, the latest-news pop-up, and programme links ("TJID_…") in the pages a user can
// click in.
#include "config/Dialogs.h"
#include "config/Settings.h"
#include "config/TextCase.h"
#include "content/ProgrammeLink.h"
#include "platform/Desktop.h"
#include "platform/Platform.h"
#include "platform/WebPane.h"
#include "playback/PlayState.h"
#include "shell/AlignLayout.h"
#include "shell/AsyncProbe.h"
#include "shell/EditionAddress.h"
#include "shell/FormParts.h"
#include "shell/ImageControl.h"
#include "shell/MessageFilter.h"
#include "shell/PageControl.h"
#include "shell/TfrmMain.h"
#include "shell/TfrmSystemMsg.h"

#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <filesystem>

namespace luming {

namespace {

// The news pop-up's first showing comes on the third tick of its timer, then every 360th.
constexpr int kSystemMsgPeriod = 360;
constexpr int kSystemMsgFirstTick = 3;
// The vendor's main program, whose own news make the pop-up unnecessary.
constexpr char kVendorWindowClass[] = "TfrmMain";
constexpr char kVendorWindowTitle[] = "鹿鸣果";
// Tests shorten the news timer's minute with this environment variable (milliseconds).
constexpr char kSystemMsgTickVariable[] = "LUMING_SYSTEM_MSG_TICK_MS";

} // namespace

void TfrmMain::ConnectWebPaneHandlers() {
    probes_ = new AsyncProbe(platform_.Probe(), this);
    for (WebPane* pane : {wbMain, wbMp3, wbBottom, wbAds})
        pane->SetContextMenu(false);
    wbPauseAds->SetContextMenu(true);

    wbMain->SetNavigationFilter(
        [this](const std::string& address, bool) { return wbMainBeforeNavigate2(address); });
    // A vendor's advertisement may recommend a programme too.
    wbAds->SetNavigationFilter(
        [this](const std::string& address, bool) { return StartLinkedProgramme(address); });
    connect(wbBottom, &WebPane::documentComplete, this, &TfrmMain::wbBottomDocumentComplete);
    connect(wbAds, &WebPane::documentComplete, this, &TfrmMain::wbAdsDocumentComplete);
    connect(imgPauseAdsClose, &ImageControl::clicked, this, &TfrmMain::imgPauseAdsCloseClick);

    connect(TimerSystemMsg, &QTimer::timeout, this, &TfrmMain::TimerSystemMsgTimer);
    bool ok = false;
    const int tickMs = qEnvironmentVariableIntValue(kSystemMsgTickVariable, &ok);
    if (ok && tickMs > 0)
        TimerSystemMsg->setInterval(tickMs);
    ApplicationEvents1->GuardPaneWhileItExists(
        [this]() -> QWidget* { return frmSystemMsg ? frmSystemMsg->wbSystemMsg : nullptr; });

    connect(sbtnQQOnline, &QToolButton::clicked, this, &TfrmMain::sbtnQQOnlineClick);
    connect(SpeedButton1, &QToolButton::clicked, this, &TfrmMain::SpeedButton1Click);
    connect(sbtnMore, &QToolButton::clicked, this, &TfrmMain::SpeedButton1Click);

    lblWeb->setText(QStringLiteral("请将鹿鸣果软件(") + QString::fromStdString(VendorSite()) +
                    QStringLiteral(")推荐给朋友/同事/同学以及幼儿园老师！"));
    lblWeb->installEventFilter(this);
    lblWeb->setMouseTracking(true);
}

std::string TfrmMain::VendorSite() const {
    return settings_.WebBaseUrl.empty() ? kVendorWebBaseUrl : settings_.WebBaseUrl;
}

bool TfrmMain::wbMainBeforeNavigate2(const std::string& address) {
    return StartLinkedProgramme(address);
}

bool TfrmMain::StartLinkedProgramme(const std::string& address) {
    try {
        const auto link = ParseProgrammeLink(address);
        if (!link)
            return false;
        auto record = std::make_unique<TKrvPlay>();
        record->Id = link->Id;
        record->Name = link->Name;
        record->FileType = link->FileType;
        record->Pid = link->Pid;
        PageControl1->setCurrentWidget(TabSheet1);
        if (rules_->SelectNodeById(record->Id) != kNoNode) {
            rules_->tv1Click();
        } else {
            // The record belongs to no node: it lives as long as it may be the current one.
            linkRecords_.push_back(std::move(record));
            PlayProgram(*linkRecords_.back());
            std::erase_if(linkRecords_, [this](const std::unique_ptr<TKrvPlay>& kept) {
                return kept.get() != transport_->CurrentPlay;
            });
        }
        return true;
    } catch (...) {
        return false; // the navigation goes ahead as an ordinary one
    }
}

void TfrmMain::ShowPaneIfAtAddress(WebPane* pane, QWidget* panel, const std::string& address) {
    WB_Set3DBorderStyle(pane, false);
    // Another address (a redirect, an error page) means the vendor's page is not there.
    panel->setVisible(LowerAscii(pane->Address()) == LowerAscii(address));
}

void TfrmMain::wbBottomDocumentComplete(bool topLevel) {
    if (!topLevel)
        return;
    ShowPaneIfAtAddress(wbBottom, pnlStatusBarAds, settings_.StatusBarAdUrl);
    PageSettled(statusPagePending_);
}

void TfrmMain::wbAdsDocumentComplete(bool topLevel) {
    if (!topLevel)
        return;
    ShowPaneIfAtAddress(wbAds, pnlAds, settings_.ChannelAdUrl);
    PageSettled(channelPagePending_);
}

void TfrmMain::ShowPauseAds(bool show) {
    if (!show) {
        pnlPauseAds->hide();
        pauseAdClosed_ = false; // the next pause shows it again
        return;
    }
    if (pauseAdClosed_)
        return; // closed by the user for this pause
    const std::string address = EditionAddress(settings_.PauseAdUrl, settings_.EditionNo);
    // The play-list timer asks again every second while paused: an advertisement that already
    // shows, or is being probed for, is left alone.
    if ((pnlPauseAds->isVisible() && pauseAdShown_ == address) || pauseAdProbing_)
        return;
    pauseAdProbing_ = true;
    probes_->Probe(address, [this, address](bool reachable) {
        pauseAdProbing_ = false;
        // Still paused? The play button's tag says so.
        if (!reachable || form::Tag(btnPlay) != kTagPaused)
            return;
        if (wbPauseAds->Address() != address || pauseAdShown_ != address)
            wbPauseAds->Navigate(address);
        pauseAdShown_ = address;
        pnlPauseAds->show();
        wbPauseAds->setGeometry(pnlPauseAds->rect());
        pnlPauseAdsClose->raise(); // the close image stays above the page's corner
        FormResize();              // centres the panel over the player
        pnlPauseAds->raise();
    });
}

void TfrmMain::imgPauseAdsCloseClick() {
    pnlPauseAds->hide();
    pauseAdClosed_ = true;
}

void TfrmMain::TimerSystemMsgTimer() {
    if (++SystemMsgTicks % kSystemMsgPeriod != kSystemMsgFirstTick)
        return;
    if (platform_.Desktop().WindowExists(kVendorWindowClass, kVendorWindowTitle))
        return;
    probes_->Probe(settings_.MessagePageUrl, [this, tick = SystemMsgTicks](bool reachable) {
        if (!reachable)
            return;
        if (FullScreenOn == 1) {
            // The next tick tries again, minute by minute, even when this answer came after it.
            SystemMsgTicks = tick - 1;
            return;
        }
        try {
            if (!frmSystemMsg) {
                frmSystemMsg = new TfrmSystemMsg(this, platform_, settings_.MessagePageUrl);
                frmSystemMsg->wbSystemMsg->SetNavigationFilter(
                    [this](const std::string& address, bool) {
                        return StartLinkedProgramme(address);
                    });
            }
            frmSystemMsg->ShowBelowScreen();
        } catch (...) {
        }
    });
}

void TfrmMain::sbtnQQOnlineClick() {
    platform_.Desktop().OpenUrl(settings_.OnlineServiceUrl);
}

void TfrmMain::SpeedButton1Click() {
    try {
        std::string appDir = settings_.AppDir;
        if (!appDir.empty() && appDir.back() == '/')
            appDir.pop_back();
        const auto slash = appDir.find_last_of('/');
        const std::string program =
            (slash == std::string::npos ? std::string() : appDir.substr(0, slash + 1)) +
            "kestrivane.exe";
        IDesktop& desktop = platform_.Desktop();
        std::error_code error;
        if (std::filesystem::exists(program, error)) {
            if (!desktop.RaiseWindow(kVendorWindowClass, kVendorWindowTitle))
                desktop.StartProgram(program);
            return;
        }
        ShowInfo(platform_.Dialogs(), "更多资源请到鹿鸣果网(" + VendorSite() + "/" + ")下载安装!");
        desktop.OpenUrl(VendorSite());
    } catch (...) {
    }
}

bool TfrmMain::lblWebEvent(QEvent* event) {
    if (event->type() == QEvent::MouseMove || event->type() == QEvent::Enter)
        lblWebMouseMove();
    else if (event->type() == QEvent::Leave)
        lblWebMouseLeave();
    return false;
}

void TfrmMain::lblWebMouseMove() {
    QPalette palette = lblWeb->palette();
    palette.setColor(QPalette::WindowText, Qt::white);
    lblWeb->setPalette(palette);
}

void TfrmMain::lblWebMouseLeave() {
    QPalette palette = lblWeb->palette();
    palette.setColor(QPalette::WindowText, QColor(199, 240, 255));
    lblWeb->setPalette(palette);
}

} // namespace luming
