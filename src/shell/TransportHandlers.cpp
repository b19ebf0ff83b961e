// The play-list timer and the transport bar: play button, previous and next, play mode,
// position bar and volume. Each handler hands over to the transport rules.
#include "catalogue/PlayOrder.h"
#include "config/Dialogs.h"
#include "config/IniFile.h"
#include "config/Settings.h"
#include "platform/FlashControl.h"
#include "platform/MediaPlayer.h"
#include "platform/Platform.h"
#include "playback/OutputLevel.h"
#include "playback/ResumePositions.h"
#include "shell/FormParts.h"
#include "shell/ImageControl.h"
#include "shell/ImageList.h"
#include "shell/StatusLabel.h"
#include "shell/TfrmMain.h"
#include "shell/TransportBarView.h"
#include "shell/TransportGlyphs.h"

#include <QAction>
#include <QCursor>
#include <QEvent>
#include <QFrame>
#include <QMenu>
#include <QMouseEvent>
#include <QSlider>
#include <QTimer>
#include <QToolButton>

namespace luming {

namespace {

// Hands a widget's mouse events to functions, for panels that have no signals of their own.
class MouseEvents : public QObject {
public:
    using Handler = std::function<void(QMouseEvent*)>;
    MouseEvents(QWidget* widget, Handler press, Handler move, Handler release)
        : QObject(widget), press_(std::move(press)), move_(std::move(move)),
          release_(std::move(release)) {
        widget->setMouseTracking(static_cast<bool>(move_));
        widget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        const Handler* handler = nullptr;
        if (event->type() == QEvent::MouseButtonPress)
            handler = &press_;
        else if (event->type() == QEvent::MouseMove)
            handler = &move_;
        else if (event->type() == QEvent::MouseButtonRelease)
            handler = &release_;
        if (handler && *handler)
            (*handler)(static_cast<QMouseEvent*>(event));
        return false;
    }

private:
    Handler press_, move_, release_;
};

int MouseX(const QMouseEvent* event) {
    return static_cast<int>(event->position().x());
}

} // namespace

void TfrmMain::ConnectTransportHandlers() {
    transportView_ =
        std::make_unique<TransportBarView>(*this, [this](bool show) { ShowPauseAds(show); });
    transport_ = std::make_unique<Transport>(
        *transportView_,
        Transport::Players{*ShockwaveFlash1, [this]() -> IMediaPlayer* { return AudioPlayer; },
                           platform_.Vendor()},
        Transport::Actions{[this] { PlayNextAutomatic(); }, [this] { ReplayClick(); },
                           [this] { PassOverUnplayable(); }});
    outputLevel_ = std::make_unique<OutputLevel>(platform_.Volume());
    resumePositions_ = std::make_unique<ResumePositions>(settings_.AppDir + "Config/positions.ini");

    connect(TimerPlayList, &QTimer::timeout, this, &TfrmMain::TimerPlayListTimer);
    connect(btnPlay, &QToolButton::clicked, this, [this] {
        // A button kept enabled for its focus while it loads is pressed in vain, as if disabled.
        if (transportView_->PlayButtonTakesPress())
            btnPlayClick();
    });
    connect(btnNext, &QToolButton::clicked, this, &TfrmMain::btnNextClick);
    connect(btnPre, &QToolButton::clicked, this, &TfrmMain::btnPreClick);
    connect(sbtnPlayMode, &QToolButton::clicked, this, &TfrmMain::sbtnPlayModeClick);
    connect(N13, &QAction::triggered, this, [this] { setPlayMode("0"); });
    connect(N14, &QAction::triggered, this, [this] { setPlayMode("1"); });
    connect(N15, &QAction::triggered, this, [this] { setPlayMode("2"); });
    connect(N16, &QAction::triggered, this, [this] { setPlayMode("3"); });

    new MouseEvents(
        pnlPlayPos, [this](QMouseEvent* event) { pnlPlayPosMouseDown(event); },
        [this](QMouseEvent* event) { pnlPlayPosMouseMove(event); },
        [this](QMouseEvent*) { pnlPlayPosMouseUp(); });
    new MouseEvents(pnlLoadPercent, [this](QMouseEvent* event) { pnlLoadPercentMouseDown(event); },
                    {}, {});
    for (QWidget* panel :
         {static_cast<QWidget*>(pnlPlayFlv), static_cast<QWidget*>(pnlPlayTrackBar),
          static_cast<QWidget*>(pnlLoadAll)})
        new MouseEvents(panel, {}, [this](QMouseEvent*) { pnlPlayFlvMouseMove(); }, {});

    connect(TrackBar2, &QSlider::valueChanged, this, &TfrmMain::TrackBar2Change);
    connect(btnSound, &QToolButton::clicked, this, &TfrmMain::btnSoundClick);
    connect(imgSound, &ImageControl::clicked, this, &TfrmMain::btnSoundClick);
    connect(imgSound, &ImageControl::mouseMoved, this, &TfrmMain::imgSoundMouseMove);
    imgSound->setMouseTracking(true);
}

void TfrmMain::TimerPlayListTimer() {
    transport_->Tick();
    ResumeIfDue();
}

void TfrmMain::PlayNextAutomatic() {
    ForgetFinishedProgramme();
    const PlayStep step =
        PlayNext(tree_, channel_.CurrentIndex, settings_.PlayMode, true, ClockSeededRandom());
    // The end of the list is told once: the timer would otherwise find it again every second.
    // Nothing plays after it, and the bar and the media session say so.
    if (step.kind == PlayStep::Kind::EndOfList) {
        TimerPlayList->stop();
        transport_->SetPlayState(PlayState::Stopped);
        MediaSessionChanged();
    }
    TakePlayStep(step, tree_, *rules_, platform_.Dialogs());
}

void TfrmMain::PassOverUnplayable() {
    // Where the list moves on by itself; repeating the one programme would fail again.
    const std::string& mode = settings_.PlayMode;
    if (mode == "0" || mode == "1" || mode == "3")
        PlayNextAutomatic();
}

void TfrmMain::btnPlayClick() {
    transport_->PlayButtonClick();
    // The button with the focus by its new name (继续播放), the window's state line otherwise.
    Announce(focusWidget() == btnPlay ? btnPlay->accessibleName() : lblStatus->text());
}

void TfrmMain::ReplayClick() {
    if (TKrvPlay* play = transport_->CurrentPlay)
        PlayProgram(*play);
}

void TfrmMain::btnNextClick() {
    TimerPlayList->stop();
    Reported([this] {
        TakePlayStep(
            PlayNext(tree_, channel_.CurrentIndex, settings_.PlayMode, false, ClockSeededRandom()),
            tree_, *rules_, platform_.Dialogs());
    });
}

void TfrmMain::btnPreClick() {
    TimerPlayList->stop();
    Reported([this] {
        TakePlayStep(PlayPrevious(tree_, channel_.CurrentIndex), tree_, *rules_,
                     platform_.Dialogs());
    });
}

void TfrmMain::sbtnPlayModeClick() {
    pMenuPlayMode->popup(QCursor::pos());
}

void TfrmMain::setPlayMode(const std::string& mode) {
    WriteIniValue(settings_.LocalIniPath, kInfoSection, "11", mode);
    settings_.PlayMode = mode;
    ShowPlayMode();
}

void TfrmMain::ShowPlayMode() {
    const std::string& mode = settings_.PlayMode;
    const int item = mode.size() == 1 && mode[0] >= '0' && mode[0] <= '3' ? mode[0] - '0' : -1;
    sbtnPlayMode->setIcon(item >= 0 ? imgList_PlayMode->icon(item) : QIcon());
    const QList<QAction*> items = pMenuPlayMode->actions();
    for (int each = 0; each < items.size(); ++each)
        items[each]->setChecked(each == item);
    // A reader says the mode on with the button; its hint stays as it is.
    const QString name = item >= 0 && item < items.size()
                             ? QStringLiteral("播放方式: ") + items[item]->text()
                             : QStringLiteral("选择节目播放方式");
    if (sbtnPlayMode->accessibleName() != name)
        sbtnPlayMode->setAccessibleName(name);
}

void TfrmMain::pnlPlayPosMouseDown(QMouseEvent* event) {
    transport_->KnobMouseDown(MouseX(event));
}

void TfrmMain::pnlPlayPosMouseMove(QMouseEvent* event) {
    transport_->KnobMouseMove(MouseX(event));
}

void TfrmMain::pnlPlayPosMouseUp() {
    transport_->KnobMouseUp();
}

void TfrmMain::pnlLoadPercentMouseDown(QMouseEvent* event) {
    // The knob centres under the pointer: x is taken from the bar's edge, not the loaded part's.
    Reported([this, x = MouseX(event) + pnlLoadPercent->x()] { transport_->LoadBarClick(x); });
}

void TfrmMain::InitVolumeBar() {
    TrackBar2->setMaximum(OutputLevel::kMaximum);
    const int position = outputLevel_->InitVolumeBar();
    const QSignalBlocker quiet(TrackBar2); // the level is read, not set
    TrackBar2->setValue(position);
    form::SetTag(TrackBar2, outputLevel_->Level());
}

void TfrmMain::TrackBar2Change(int position) {
    outputLevel_->TrackBarChange(position);
    form::SetTag(TrackBar2, outputLevel_->Level());
    MediaSessionChanged();
}

void TfrmMain::btnSoundClick() {
    outputLevel_->ToggleSound();
    btnSound->setIcon(ImageList2->icon(outputLevel_->SoundOn() ? kGlyphSoundOn : kGlyphSoundOff));
    btnSound->setChecked(!outputLevel_->SoundOn());
    TrackBar2->setEnabled(outputLevel_->SoundOn());
    Announce(outputLevel_->SoundOn() ? QStringLiteral("声音打开") : QStringLiteral("静音"), btnSound);
    MediaSessionChanged();
}

void TfrmMain::imgSoundMouseMove() {
    pnlVolume->show();
    pnlVolume->raise();
}

void TfrmMain::pnlPlayFlvMouseMove() {
    if (pnlVolume->isVisible())
        pnlVolume->hide();
}

} // namespace luming
