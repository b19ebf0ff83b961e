#pragma once

#include "catalogue/ChannelRules.h"
#include "catalogue/ProgrammeTree.h"
#include "playback/Transport.h"

#include <QPointer>
#include <QWidget>

#include <array>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QModelIndex;
class QAction;
class QSlider;
class QTimer;
class QToolButton;
class QTreeView;

namespace luming {

struct Settings;
class CatalogueUpdater;
class Platform;
class FlashControl;
class MediaPlayer;
class MediaSession;
class MediaSessionService;
class WebPane;
class ImageControl;
class tLxsimage;
class ImageList;
class AlignLayout;
class PageControl;
class MessageFilter;
class FrameOutline;
struct ThumbPlace;
class ProgrammeTreeModel;
class CatalogueSearch;
class SearchBox;
class StatusLabel;
class TextProgrammeView;
class TextFetch;
class TransportBarView;
class TfrmSystemMsg;
class AsyncProbe;
class OutputLevel;
class ResumePositions;
class FocusMark;
class ReadAlongPresenter;

// The main window: borderless and skinned, its frame drawn by the program itself. Its controls
// carry the names of the form (and the same Qt object names); its handlers are named after the
// control and the event, and each calls the rules that live elsewhere.
class TfrmMain : public QWidget, public IPlayProgram {
    Q_OBJECT
public:
    static constexpr int kDesignClientWidth = 823;
    static constexpr int kDesignClientHeight = 592;

    TfrmMain(Settings& settings, Platform& platform, QWidget* parent = nullptr);
    ~TfrmMain() override;

    // Another start of this edition asked for the window: show it, restore it, bring it forward.
    void BringForward();

    // Start-up: the window's state and captions, the channel, the vendor's panes.
    void FormCreate();
    void InitMainWindow();
    // Plays the remembered programme of the channel (when the window is first shown).
    void StartFirstProgramme();
    // How long the remembered programme waits at most for the advertising pages to load: they
    // take a few tenths of a second on a quiet machine, and a slow site keeps it no longer.
    std::chrono::milliseconds PagesFirstLimit = std::chrono::seconds(1);

    ProgrammeTree& Tree() { return tree_; }
    ChannelState& Channel() { return channel_; }
    ProgrammeTreeModel* TreeModel() { return treeModel_; }
    // The programme last handed to the player, how it plays, and the position bar's drag.
    Transport& Playback() { return *transport_; }
    // The read-along of the programme that plays.
    ReadAlongPresenter& ReadAlong() { return *readAlong_; }

    // The hidden player of audio programmes; each new one is named "FrameMP" + the serial.
    MediaPlayer* AudioPlayer = nullptr;
    int AudioPlayerSerial = 0;
    void CreateAudioPlayer();
    void ReleaseAudioPlayer();
    void CloseMp3();

    // Programme start, play list and transport.
    void PlayProgram(TKrvPlay& play) override;
    void TimerPlayListTimer();
    void btnPlayClick();
    void btnNextClick();
    void btnPreClick();
    void ReplayClick();
    void sbtnPlayModeClick();
    // The play-mode menu opened by keyboard: under its button, on the chosen mode.
    void PlayModeMenuAtButton();
    void setPlayMode(const std::string& mode);
    void ShowPlayMode();
    // The play list moves on at the end of a programme, by the play mode.
    void PlayNextAutomatic();
    // A programme that cannot play has told why: the play modes that move on by themselves do.
    void PassOverUnplayable();

    // The vendor's pages, the news pop-up and the "more" buttons.
    void ShowPauseAds(bool show);
    void imgPauseAdsCloseClick();
    void wbBottomDocumentComplete(bool topLevel);
    void wbAdsDocumentComplete(bool topLevel);
    // A navigation that wbMain begins: true cancels it (a programme link that started).
    bool wbMainBeforeNavigate2(const std::string& address);
    void TimerSystemMsgTimer();
    void sbtnQQOnlineClick();
    void SpeedButton1Click();
    void lblWebMouseMove();
    void lblWebMouseLeave();
    QPointer<TfrmSystemMsg> frmSystemMsg;
    int SystemMsgTicks = 0;

    // Position bar and volume.
    void pnlPlayPosMouseDown(QMouseEvent* event);
    void pnlPlayPosMouseMove(QMouseEvent* event);
    void pnlPlayPosMouseUp();
    void pnlLoadPercentMouseDown(QMouseEvent* event);
    void InitVolumeBar();
    void TrackBar2Change(int position);
    void btnSoundClick();
    void imgSoundMouseMove();
    void pnlPlayFlvMouseMove();

    // The desktop's media keys: the transport and the volume offered on the session bus, and the
    // notice that what they show may have changed.
    void ConnectMediaSession();
    void MediaSessionChanged();

    // The vendor library says a transfer progressed (carried to this thread first).
    void VendorProgress(int32_t task, int32_t percent);
    // Shutdown: the audio player, then the vendor library.
    void FormDestroy();

    // Frame state.
    int FrameMaximized = 0;
    int NormalWidth = 0;
    int NormalHeight = 0;
    int NormalLeft = 0;
    int NormalTop = 0;
    // 1 while a programme fills the screen: the window's own full screen (Flash movies) or the
    // player movie's.
    int FullScreenOn = 0;

    // Full screen.
    void sbtnFullScreenClick();
    void btnExitFullScreenClick();

    // Title bar.
    QFrame* pnlTop = nullptr;
    ImageControl* imgTl = nullptr;
    ImageControl* imgTr = nullptr;
    ImageControl* imgTc = nullptr;
    ImageControl* imgLogo = nullptr;
    QLabel* lblSysVer = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    tLxsimage* limgMenu = nullptr;
    tLxsimage* limgMin = nullptr;
    tLxsimage* limgMax = nullptr;
    tLxsimage* limgNor = nullptr;
    tLxsimage* limgClose = nullptr;
    // The pictures of the title buttons: 1 normal, 2 pointer over, 3 pressed.
    ImageControl *limgMenu1 = nullptr, *limgMenu2 = nullptr, *limgMenu3 = nullptr;
    ImageControl *limgMin1 = nullptr, *limgMin2 = nullptr, *limgMin3 = nullptr;
    ImageControl *limgMax1 = nullptr, *limgMax2 = nullptr, *limgMax3 = nullptr;
    ImageControl *limgNor1 = nullptr, *limgNor2 = nullptr, *limgNor3 = nullptr;
    ImageControl *limgClose1 = nullptr, *limgClose2 = nullptr, *limgClose3 = nullptr;

    // Body.
    QFrame* pnlGame = nullptr;
    QFrame* pnlGameC = nullptr;
    PageControl* PageControl1 = nullptr;
    QWidget* TabSheet4 = nullptr;
    QWidget* TabSheet1 = nullptr;
    WebPane* wbMain = nullptr;
    QFrame* pnlMain = nullptr;
    QFrame* Splitter1 = nullptr;
    QFrame* pnlExitFullScreen = nullptr;
    QToolButton* btnExitFullScreen = nullptr;

    // Tree column.
    QFrame* pnlFunALl = nullptr;
    QFrame* pnlSearch = nullptr;
    ImageControl* imgSearchBg = nullptr;
    QLineEdit* edtkey = nullptr;
    ImageControl* imgSearch = nullptr;
    QFrame* pnlFuncTree = nullptr;
    QTreeView* tv1 = nullptr;
    QFrame* pnlScroll = nullptr;
    ImageControl* imgScrollTop = nullptr;
    ImageControl* imgScrollBottom = nullptr;
    ImageControl* imgScrollMiddle = nullptr;
    ImageControl* imgScrollTop2 = nullptr;
    ImageControl* imgScrollMiddle2 = nullptr;
    ImageControl* imgScrollBottom2 = nullptr;
    QFrame* pnlGeli = nullptr;
    QFrame* pnlAds = nullptr;
    WebPane* wbAds = nullptr;

    // Play column.
    QFrame* pnlHomePageMain = nullptr;
    QFrame* pnlwbMain = nullptr;
    QFrame* pnlPlay = nullptr;
    QFrame* pnlplayMain = nullptr;
    FlashControl* ShockwaveFlash1 = nullptr;
    WebPane* wbMp3 = nullptr;
    QFrame* pnlPauseAds = nullptr;
    WebPane* wbPauseAds = nullptr;
    QFrame* pnlPauseAdsClose = nullptr;
    ImageControl* imgPauseAdsClose = nullptr;
    QFrame* pnlVolume = nullptr;
    ImageControl* imgVolume = nullptr;
    QSlider* TrackBar2 = nullptr;

    // Transport bar.
    QFrame* pnlPlayFlv = nullptr;
    QFrame* pnlPlayTrackBar = nullptr;
    QFrame* pnlLoadAll = nullptr;
    QFrame* pnlLoadPercent = nullptr;
    QFrame* pnlPlayPos = nullptr;
    QLabel* lblHint = nullptr;
    QToolButton* btnPre = nullptr;
    QToolButton* btnPlay = nullptr;
    QToolButton* btnNext = nullptr;
    StatusLabel* lblStatus = nullptr;
    TextProgrammeView* txtProgramme = nullptr; // the page of a text programme
    QToolButton* btnSound = nullptr;
    tLxsimage* imgSound = nullptr;
    QToolButton* sbtnPlayMode = nullptr;
    QToolButton* sbtnFullScreen = nullptr;
    QToolButton* sbtnReadAlong = nullptr; // the read-along strip of videos and texts, on or off
    QLabel* lblTime = nullptr;

    // Status bar.
    QFrame* pnlStatus = nullptr;
    ImageControl* imgBottomLeft = nullptr;
    ImageControl* imgBottom = nullptr;
    ImageControl* imgBottomRight = nullptr;
    QLabel* lblSysVersion = nullptr;
    QToolButton* sbtnSystemSetting = nullptr;
    QLabel* lblWeb = nullptr;
    QFrame* pnlStatusBarAds = nullptr;
    WebPane* wbBottom = nullptr;
    QToolButton* sbtnQQOnline = nullptr;
    QToolButton* sbtnMore = nullptr;

    // Components.
    QTimer* TimerPlayList = nullptr;
    QTimer* TimerSystemMsg = nullptr;
    QTimer* Timer1 = nullptr;
    QMenu* pMenuPlayMode = nullptr;
    QAction *N13 = nullptr, *N14 = nullptr, *N15 = nullptr, *N16 = nullptr;
    ImageList* ImageList1 = nullptr;
    ImageList* ImageList2 = nullptr;
    ImageList* imgList_PlayMode = nullptr;
    MessageFilter* ApplicationEvents1 = nullptr;

    // Frame handlers.
    void imgTcMouseDown(QMouseEvent* event);
    void imgTcMouseMove(QMouseEvent* event);
    void imgTcDblClick();
    void limgMinClick();
    void limgMaxClick();
    void limgNorClick();
    void limgCloseClick();
    // Maximise and restore share a place: `instead` takes it, and the focus if `shown` had it.
    void SwapTitleButton(tLxsimage* shown, tLxsimage* instead);
    void FormResize();
    void WB_Set3DBorderStyle(WebPane* browser, bool flag);
    void wbMp3DocumentComplete();

    // Programme tree and search box.
    void tv1Click();
    void imgSearchClick();
    void edtkeyEnter();
    void edtkeyExit();
    void edtkeyChange();
    void edtkeyKeyDown(int key);

    // Tree scroll bar.
    void UpdateTreeScrollBar();
    void tv1MouseUp();
    void imgScrollMiddle2MouseDown(QMouseEvent* event);
    void imgScrollMiddle2MouseMove(QMouseEvent* event);
    void imgScrollMiddle2MouseUp();
    bool ThumbDragging = false;
    int ThumbDragY = 0;

protected:
    void resizeEvent(QResizeEvent* event) override;
    // The system close (Alt+F4, the window manager's close) ends the program.
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Tab and Shift+Tab go through FocusStops(), not through every control that takes focus.
    bool focusNextPrevChild(bool next) override;

private:
    friend class WindowMediaSession;

    void BuildForm();
    void BuildTitleBar();
    void BuildBody();
    void BuildTreeColumn(QWidget* page);
    void BuildPlayColumn(QWidget* column);
    void BuildTransportBar(QWidget* play);
    void BuildStatusBar();
    void BuildComponents();
    void ConnectFrameHandlers();
    void ConnectTitleButtonPictures(tLxsimage* button, ImageControl* normal, ImageControl* over,
                                    ImageControl* pressed);
    void ConnectScrollBarHandlers();
    void ConnectTreeHandlers();
    void ConnectSearchBoxHandlers();
    void ShowSearchBoxText();
    // How many programmes the last search listed, for a screen reader.
    void AnnounceSearchResults();
    void FollowTreeOpenStates();
    // Shows `row` as the tree's chosen one (the highlight), with the row cursor while the tree
    // has the keyboard focus.
    void ShowSelectedRow(const QModelIndex& row);
    void ConnectFlashPreparation();
    // The child is at `node` now: a Flash movie within reach there has its engine prepared.
    void ConsiderFlashNear(NodeIndex node, bool atStart = false);
    void ApplyEditionCaptions();
    void ShowAdvertisingPanes();
    // The remembered programme, once the advertising pages are in (or at the latest after
    // PagesFirstLimit): a video started beside pages still loading held them back for seconds.
    void PlayFirstProgramme();
    void PageSettled(bool& pending);
    void ShowProbedPanes(const std::string& statusAddress, bool statusReachable,
                         const std::string& channelAddress, bool channelReachable);
    void ConnectTransportHandlers();
    void ConnectWebPaneHandlers();
    // Starts the programme a "TJID_" link names; true when it did.
    bool StartLinkedProgramme(const std::string& address);
    void ShowPaneIfAtAddress(WebPane* pane, QWidget* panel, const std::string& address);
    bool lblWebEvent(QEvent* event);
    std::string VendorSite() const;
    void ConnectFullScreenHandlers();
    void ConnectKeyboardHandlers();
    void ConnectReadAlong();
    void ConnectKeyboardFocus();
    // The controls Tab goes through, in order; CanTakeFocus says which of them it stops at now.
    std::vector<QWidget*> FocusStops() const;
    bool CanTakeFocus(const QWidget* stop) const;
    // The buttons that Space and Enter press while they have the focus.
    bool IsFocusButton(const QWidget* target) const;
    void PressFocusedButton(QWidget* button);
    // Has a screen reader say `text`, unless `control` (which would tell it) has the focus.
    void Announce(const QString& text, const QWidget* control = nullptr);
    // Home and End on the position bar: the start, or as far as the programme has loaded.
    void SeekToBarEnd(bool loadedEnd);
    // Remembers where the current video or audio programme stands, as it is left.
    void RememberWhereLeft();
    void ResumeIfDue();
    void ForgetFinishedProgramme();
    // A key for the player; true when it was taken.
    bool PlayerKeyPressed(QWidget* target, QKeyEvent* event);
    void EnterOwnFullScreen();
    void LeaveOwnFullScreen();
    // The page control as the resize rule places it outside full screen.
    void PlacePageControlInFrame();
    // Plays `play` in the player of its type, from its local copy or its play address.
    void StartPlayer(TKrvPlay& play);
    // Shows a text programme in the play area once its text has come.
    void StartText(TKrvPlay& play);
    std::string ProgrammeSource(TKrvPlay& play);
    // Runs a user's action; an error that escapes it is shown in the error box.
    void Reported(const std::function<void()>& action);

    QRect MaximisedGeometry() const;
    bool IsMaximised() const { return maximised_; }
    void SetMaximised(bool maximised);
    void CentreOnScreen();
    void ShowThumb(const ThumbPlace& thumb);

    Settings& settings_;
    Platform& platform_;
    FrameOutline* outline_ = nullptr;
    bool maximised_ = false;
    QRect normalGeometry_;
    // A left press on the title bar: waiting for the pointer to move far enough, or moving
    // the window ourselves; the pointer's place relative to the window.
    enum class TitleDrag { None, Pending, Manual } titleDrag_ = TitleDrag::None;
    QPoint titleDragOffset_;
    // The Flash movie fills the screen on the window itself (the exit button and Escape are on).
    bool ownFullScreen_ = false;

    ProgrammeTree tree_;
    ChannelState channel_;
    std::unique_ptr<ChannelRules> rules_;
    std::unique_ptr<TransportBarView> transportView_;
    std::unique_ptr<Transport> transport_;
    std::unique_ptr<OutputLevel> outputLevel_;
    std::unique_ptr<ResumePositions> resumePositions_;
    // The programme just started goes on where it was left, once it plays.
    bool resumeDue_ = false;
    std::unique_ptr<MediaSession> mediaSession_;
    std::unique_ptr<MediaSessionService> mediaService_;
    AsyncProbe* probes_ = nullptr;
    FocusMark* focusMark_ = nullptr;
    // Tell a screen reader what the control with the focus does not (see accessible::Announce),
    // in turn: a reader reads an announcement's text when it comes to its event, so one that
    // follows quickly (a read-along's line after the programme's name) must not overwrite it.
    std::array<QWidget*, 4> announcers_{};
    size_t nextAnnouncer_ = 0;
    // The application's focus changes reach the window until its destructor begins: the
    // children it then hides would report to a window that is no longer there.
    QMetaObject::Connection focusFollower_;
    // Watches the native window for the desktop's state; it goes first when the window ends.
    QObject* desktopStateKeeper_ = nullptr;
    std::string pauseAdShown_;
    bool pauseAdProbing_ = false;
    bool pauseAdClosed_ = false; // closed by the user during this pause
    TextFetch* textFetch_ = nullptr;
    ReadAlongPresenter* readAlong_ = nullptr;
    // Programmes started from links, which belong to no tree node.
    std::vector<std::unique_ptr<TKrvPlay>> linkRecords_;
    std::unique_ptr<CatalogueSearch> search_;
    std::unique_ptr<SearchBox> searchBox_;
    ProgrammeTreeModel* treeModel_ = nullptr;
    bool followingTree_ = false;       // the view is being set from the tree, not by the user
    QTimer* flashNearTimer_ = nullptr; // where the child settles, not every row passed over
    NodeIndex flashNear_ = kNoNode;
    bool firstShown_ = false;
    bool statusPagePending_ = false; // asked for (or being probed), not yet loaded
    bool channelPagePending_ = false;
    QTimer* pagesFirstLimit_ = nullptr; // runs while the remembered programme waits for them
    bool destroyed_ = false;
    // Logs in to the vendor's site once, without holding up the window.
    std::thread loginThread_;
    // Probes the vendor's advertising pages at start-up.
    std::thread probeThread_;
    // Fetches a newer catalogue of the channel for the next start.
    std::unique_ptr<CatalogueUpdater> catalogueUpdate_;
};

} // namespace luming
