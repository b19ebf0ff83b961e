// The window's start-up: state and captions, the channel's catalogue, the version, the vendor's
// panes; then the remembered programme when the window is first shown.
#include "catalogue/CatalogueSearch.h"
#include "catalogue/CatalogueUpdate.h"
#include "catalogue/TreeQueries.h"
#include "config/Dialogs.h"
#include "config/EditionTable.h"
#include "config/FileVersion.h"
#include "config/IniFile.h"
#include "config/Settings.h"
#include "config/UrlProbe.h"
#include "content/VendorLibrary.h"
#include "platform/Platform.h"
#include "platform/WebPane.h"
#include "shell/AlignLayout.h"
#include "shell/EditionAddress.h"
#include "shell/PageControl.h"
#include "shell/TfrmMain.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QScopeGuard>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>

namespace luming {

namespace {

// The word every edition's title begins with, and the generic edition's own name.
constexpr char kProductWord[] = "鹿鸣果";
constexpr char kGenericEditionName[] = "儿童学习库";
constexpr char kPractiseHint[] = "提示:\"练\"暂不可用";

} // namespace

void TfrmMain::FormCreate() {
    InitMainWindow();
    if (settings_.StartHidden)
        StartFirstProgramme();
}

void TfrmMain::InitMainWindow() {
    limgMaxClick(); // the window starts maximised

    WriteIniValue(settings_.LocalIniPath, kInfoSection, "1",
                  std::to_string(settings_.StartCount + 1));
    ApplyEditionCaptions();
    edtkey->setText(QString::fromUtf8(kSearchPlaceholder.data(),
                                      static_cast<qsizetype>(kSearchPlaceholder.size())));
    PageControl1->SetTabsVisible(false);
    PageControl1->setCurrentWidget(TabSheet1);
    tv1->setIndentation(15); // rows are 24 pixels high (the tree's style)

    if (settings_.EditionNo != 0) {
        // Read at the next start, so even a broken installed catalogue gets mended.
        catalogueUpdate_ = std::make_unique<CatalogueUpdater>(
            CatalogueAddress(settings_.CatalogueBaseUrl, settings_.EditionNo),
            ChannelRules::UpdatedCatalogueFileName(settings_.AppDir, settings_.EditionNo));
        try {
            rules_->OpenChannel(settings_.EditionNo);
        } catch (const std::exception& error) {
            // A broken catalogue is reported; the rest of the start-up does not run, the window
            // still opens.
            platform_.Dialogs().Error(error.what());
            return;
        }
    }

    // The library reports progress on its own thread; the window takes it on its own.
    platform_.Vendor().Init(settings_.ClientVersionCode, [this](int32_t task, int32_t percent) {
        QMetaObject::invokeMethod(
            this, [this, task, percent] { VendorProgress(task, percent); }, Qt::QueuedConnection);
    });

    lblSysVersion->setText(QStringLiteral("版本:") + QString::fromStdString(GetFileVersionText()));
    AudioPlayerSerial = 1;
    CreateAudioPlayer();
    ShowPlayMode();
    InitVolumeBar();
    if (!settings_.OnlineServiceUrl.empty())
        sbtnQQOnline->show();
    ShowAdvertisingPanes();
}

void TfrmMain::VendorProgress(int32_t task, int32_t percent) {
    transport_->TransferProgress(task, percent);
}

void TfrmMain::FormDestroy() {
    if (destroyed_)
        return;
    destroyed_ = true;
    try {
        ReleaseAudioPlayer();
    } catch (...) {
    }
    try {
        platform_.Vendor().UnInit();
    } catch (...) {
    }
    if (loginThread_.joinable())
        loginThread_.join();
    if (probeThread_.joinable())
        probeThread_.join();
    catalogueUpdate_.reset();
}

void TfrmMain::ApplyEditionCaptions() {
    const EditionRow& row = EditionFor(settings_.EditionNo);
    if (row.buildNumber == 0) {
        settings_.EditionNo = 0;
        setWindowTitle(QString::fromUtf8(kGenericEditionName));
        lblSysVer->setText(QString::fromUtf8(kProductWord) +
                           QString::fromUtf8(kGenericEditionName));
        return;
    }
    setWindowTitle(QString::fromUtf8(row.title));
    lblSysVer->setText(QString::fromUtf8(row.title));
    if (row.buildNumber == 21) {
        lblHint->setText(QString::fromUtf8(kPractiseHint));
        lblHint->show();
    }
}

void TfrmMain::ShowAdvertisingPanes() {
    settings_.StatusBarAdUrl = EditionAddress(settings_.StatusBarAdUrl, settings_.EditionNo);
    settings_.ChannelAdUrl = EditionAddress(settings_.ChannelAdUrl, settings_.EditionNo);
    if (settings_.StatusBarAdUrl.empty() && settings_.ChannelAdUrl.empty())
        return;
    statusPagePending_ = !settings_.StatusBarAdUrl.empty();
    channelPagePending_ = !settings_.ChannelAdUrl.empty();
    // The probes wait on the network, the window does not: the panes show when the answers come.
    probeThread_ = std::thread([this, &probe = platform_.Probe(), status = settings_.StatusBarAdUrl,
                                channel = settings_.ChannelAdUrl] {
        const bool statusReachable = probe.IsUrlReachable(status);
        const bool channelReachable = probe.IsUrlReachable(channel);
        QMetaObject::invokeMethod(
            this,
            [this, status, channel, statusReachable, channelReachable] {
                ShowProbedPanes(status, statusReachable, channel, channelReachable);
            },
            Qt::QueuedConnection);
    });
}

void TfrmMain::ShowProbedPanes(const std::string& statusAddress, bool statusReachable,
                               const std::string& channelAddress, bool channelReachable) {
    if (statusReachable) {
        wbBottom->Navigate(statusAddress);
        pnlStatusBarAds->show();
    } else {
        PageSettled(statusPagePending_);
    }
    if (channelReachable) {
        wbAds->Navigate(channelAddress);
        pnlAds->show();
        pnlGeli->show();
        FormResize(); // the tree column is shorter now: its scroll bar follows
    } else {
        PageSettled(channelPagePending_);
    }
}

void TfrmMain::PageSettled(bool& pending) {
    pending = false;
    const bool programmeWaits = pagesFirstLimit_ && pagesFirstLimit_->isActive();
    if (programmeWaits && !statusPagePending_ && !channelPagePending_)
        PlayFirstProgramme();
}

void TfrmMain::StartFirstProgramme() {
    if (!loginThread_.joinable()) {
        loginThread_ =
            std::thread([&vendor = platform_.Vendor(), version = settings_.ClientVersionCode,
                         webBaseUrl = settings_.WebBaseUrl] {
                try {
                    vendor.LoginIn(version, webBaseUrl);
                } catch (...) {
                    // The login is a courtesy to the vendor; the window does not depend on it.
                }
            });
    }
    if (tree_.Count() == 0)
        return;
    if (settings_.StartHidden || (!statusPagePending_ && !channelPagePending_)) {
        PlayFirstProgramme();
        return;
    }
    pagesFirstLimit_ = new QTimer(this);
    pagesFirstLimit_->setSingleShot(true);
    connect(pagesFirstLimit_, &QTimer::timeout, this, &TfrmMain::PlayFirstProgramme);
    pagesFirstLimit_->start(PagesFirstLimit);
}

void TfrmMain::PlayFirstProgramme() {
    if (pagesFirstLimit_)
        pagesFirstLimit_->stop();
    // Ruffle's view is made ahead only after the programme and the pages have had the machine.
    const auto considerFlash = qScopeGuard([this] {
        if (isVisible())
            ConsiderFlashNear(tree_.Selected(), true);
    });
    if (transport_->CurrentPlay)
        return; // the child chose a programme meanwhile
    if (channel_.CurrentIndex < 0 || static_cast<NodeIndex>(channel_.CurrentIndex) >= tree_.Count())
        channel_.CurrentIndex = getFirstPlay(tree_);
    tree_.Select(static_cast<NodeIndex>(channel_.CurrentIndex));
    tv1Click();
}

void TfrmMain::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (firstShown_)
        return;
    firstShown_ = true;
    // The tree, not the search box, has the keyboard when the window opens, so the box keeps
    // showing its placeholder until the user goes into it.
    tv1->setFocus();
    if (!settings_.StartHidden)
        StartFirstProgramme();
    else
        ConsiderFlashNear(tree_.Selected(), true);
}

} // namespace luming
