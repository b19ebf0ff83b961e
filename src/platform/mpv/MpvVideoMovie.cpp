#include "platform/mpv/MpvVideoMovie.h"

#include "platform/VolumeLevel.h"
#include "platform/mpv/MpvVideoView.h"
#include "platform/mpv/PlayerBar.h"
#include "platform/mpv/PlayerRequest.h"
#include "playback/FlashVars.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QVBoxLayout>

namespace luming {

namespace {

constexpr char kUndefined[] = "<undefined/>";

bool IsOffscreen() {
    return QGuiApplication::platformName() == "offscreen";
}

void PaintBlack(QWidget* widget) {
    widget->setAutoFillBackground(true);
    QPalette black = widget->palette();
    black.setColor(QPalette::Window, Qt::black);
    widget->setPalette(black);
}

} // namespace

MpvVideoMovie* MpvVideoMovie::Create(QWidget* parent, VolumeLevel& volume,
                                     const MpvOptions& extra) {
    const bool withPicture = !IsOffscreen();
    // A frame is handed over at its time rather than early, to wait for its time in the drawing:
    // the drawing is on the UI thread, which then answers mpv (and the child) at once.
    MpvOptions options = {{"vo", withPicture ? "libmpv" : "null"}, {"video-timing-offset", "0"}};
    options.insert(options.end(), extra.begin(), extra.end());
    auto core = MpvCore::Create(options, withPicture);
    if (!core)
        return nullptr;
    return new MpvVideoMovie(std::move(core), withPicture, parent, volume);
}

MpvVideoMovie::MpvVideoMovie(std::unique_ptr<MpvCore> core, bool withPicture, QWidget* parent,
                             VolumeLevel& volume)
    : MovieEngine(parent), core_(std::move(core)), stage_(new QWidget(this)),
      bar_(new PlayerBar(stage_)) {
    setObjectName("VideoMovie");
    PaintBlack(this);
    PaintBlack(stage_);
    stage_->setObjectName("Stage");
    stage_->setFocusPolicy(Qt::StrongFocus);
    stage_->installEventFilter(this);
    auto* stageLayout = new QVBoxLayout(stage_);
    stageLayout->setContentsMargins(0, 0, 0, 0);
    stageLayout->setSpacing(0);
    if (withPicture) {
        view_ = new MpvVideoView(core_->Handle(), stage_);
        stageLayout->addWidget(view_, 1);
    } else {
        stageLayout->addStretch(1);
    }
    stageLayout->addWidget(bar_);
    bar_->hide();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(stage_);

    connect(core_.get(), &MpvCore::changed, this, &MpvVideoMovie::ShowState);
    connect(bar_, &PlayerBar::playPauseClicked, this, &MpvVideoMovie::TogglePause);
    core_->SetVolume(volume.Percent());
    connect(&volume, &VolumeLevel::levelChanged, this,
            [this](int level) { core_->SetVolume(level * 100.0 / 255.0); });
}

MpvVideoMovie::~MpvVideoMovie() {
    // The renderer goes before mpv itself, or mpv aborts.
    delete stage_;
    core_.reset();
}

void MpvVideoMovie::Load(const std::string&, const std::string& flashVars) {
    SetFullScreen(false); // a new movie starts in its place, as a reloaded Flash movie does
    auto vars = ParseFlashVars(flashVars);
    const std::string& file = vars["file"];
    if (file.empty()) {
        Clear();
        return;
    }
    core_->SetProperty("keepaspect", vars["overstretch"] == "true" ? "no" : "yes");
    bar_->setVisible(vars["showplayerbar"] == "true");
    bar_->SetShowDigits(vars["showdigits"] == "true");
    core_->Load(file, vars["autostart"] != "true");
    ShowState();
}

void MpvVideoMovie::Clear() {
    SetFullScreen(false);
    core_->Stop();
    // The bar stays where it is, showing nothing: hiding it would resize the picture, and every
    // new size costs the picture's window a new framebuffer.
    bar_->Show(false, 0, 0);
    // No redraw here: mpv has not stopped yet and would only draw the old frame again, on the UI
    // thread the next programme's requests wait for. It asks for a frame once it has stopped.
}

std::string MpvVideoMovie::CallFunction(const std::string& request) {
    const auto parsed = ParsePlayerRequest(request);
    if (!parsed)
        throw FlashCallError("the player movie has no such call: " + request);
    const MpvPlayback& playback = core_->Playback();
    if (!playback.active)
        throw FlashCallError("no video loaded");
    if (!playback.error.empty())
        throw FlashCallError(playback.error);
    switch (parsed->kind) {
    case PlayerRequest::Kind::PlayPause:
        TogglePause();
        return kUndefined;
    case PlayerRequest::Kind::Seek:
        core_->Seek(parsed->seconds);
        return kUndefined;
    case PlayerRequest::Kind::GetDuration:
        return NumberReply(playback.duration);
    case PlayerRequest::Kind::GetPosition:
        return NumberReply(playback.position);
    case PlayerRequest::Kind::GetPlayState:
        return NumberReply(PlayState());
    }
    throw FlashCallError("unhandled request");
}

int MpvVideoMovie::PlayState() const {
    const MpvPlayback& playback = core_->Playback();
    if (!playback.loaded)
        return 3;
    if (playback.ended)
        return 0;
    if (playback.paused)
        return 2;
    return playback.coreIdle ? 3 : 1;
}

void MpvVideoMovie::TogglePause() {
    if (!core_->Playback().loaded) // still opening: it starts the way it was last asked
        core_->SetPaused(!core_->Playback().paused);
    else if (IsPlaying())
        Stop();
    else
        Play();
}

int MpvVideoMovie::ReadyState() {
    return core_->Playback().loaded ? 4 : 0;
}

bool MpvVideoMovie::IsPlaying() {
    const MpvPlayback& playback = core_->Playback();
    return playback.loaded && !playback.paused && !playback.ended;
}

void MpvVideoMovie::Play() {
    if (core_->Playback().ended)
        core_->Restart();
    else
        core_->SetPaused(false);
    ShowState();
}

void MpvVideoMovie::Stop() {
    core_->SetPaused(true);
    ShowState();
}

std::string MpvVideoMovie::LoadError() {
    return core_->Playback().error;
}

void MpvVideoMovie::ShowState() {
    const MpvPlayback& playback = core_->Playback();
    bar_->Show(IsPlaying(), playback.position, playback.duration);
    if (view_)
        view_->SetStill(playback.loaded && (playback.paused || playback.ended));
}

bool MpvVideoMovie::IsFullScreen() const {
    return stage_->isWindow();
}

void MpvVideoMovie::SetFullScreen(bool on) {
    if (on == IsFullScreen())
        return;
    if (on) {
        stage_->setParent(nullptr, Qt::Window);
        stage_->showFullScreen();
        stage_->activateWindow();
        stage_->setFocus();
    } else {
        stage_->setParent(this);
        layout()->addWidget(stage_);
        stage_->show();
    }
    emit fullScreenChanged(on);
}

bool MpvVideoMovie::eventFilter(QObject* watched, QEvent* event) {
    if (watched != stage_)
        return MovieEngine::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonDblClick:
        SetFullScreen(!IsFullScreen());
        return true;
    case QEvent::KeyPress:
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape && IsFullScreen()) {
            SetFullScreen(false);
            return true;
        }
        break;
    case QEvent::Close:
        // Closing the full-screen window only brings the movie back into the control.
        if (IsFullScreen()) {
            event->ignore();
            SetFullScreen(false);
            return true;
        }
        break;
    default:
        break;
    }
    return MovieEngine::eventFilter(watched, event);
}

} // namespace luming
