#include "platform/flash/EngineFlashControl.h"

#include "platform/flash/MovieEngine.h"
#include "platform/mpv/VideoMovie.h"
#include "platform/ruffle/RuffleMovie.h"
#include "playback/FlashVars.h"

#include <QPalette>
#include <QStackedLayout>

namespace luming {

namespace {

constexpr char kNoPlayer[] = "本机无法播放此类节目";
constexpr char kNoAddress[] = "没有节目地址";

} // namespace

EngineFlashControl::EngineFlashControl(QWidget* parent, VolumeLevel& volume, QString ruffleDir,
                                       std::chrono::milliseconds ruffleUnusedLimit,
                                       std::chrono::milliseconds ruffleLeftLimit)
    : FlashControl(parent), volume_(volume), ruffleDir_(std::move(ruffleDir)),
      ruffleUnusedLimit_(ruffleUnusedLimit), ruffleLeftLimit_(ruffleLeftLimit) {
    setObjectName("ShockwaveFlash1");
    setAutoFillBackground(true);
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
    auto* layout = new QStackedLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    ruffleUnused_.setSingleShot(true);
    connect(&ruffleUnused_, &QTimer::timeout, this, &EngineFlashControl::ReleaseRuffle);
}

void EngineFlashControl::ReleaseRuffle() {
    if (!ruffle_ || active_ == ruffle_)
        return;
    const bool played = ruffleUsed_;
    delete ruffle_; // leaves the stack with it
    ruffle_ = nullptr;
    ruffleUsed_ = false;
    // A child who has just left a Flash movie may well come back to one: a view without a player
    // costs little and spares the next movie the page and Ruffle's script.
    if (played)
        PrepareFlashMovie();
}

MovieEngine* EngineFlashControl::Engine(bool playerMovie) {
    MovieEngine*& engine = playerMovie ? video_ : ruffle_;
    if (!engine) {
        engine = playerMovie ? CreateVideoMovie(this, volume_)
                             : CreateRuffleMovie(this, volume_, ruffleDir_);
        if (!engine)
            return nullptr;
        static_cast<QStackedLayout*>(layout())->addWidget(engine);
        connect(engine, &MovieEngine::fullScreenChanged, this, &FlashControl::fullScreenChanged);
    }
    return engine;
}

void EngineFlashControl::PrepareFlashMovie() {
    if (ruffle_)
        return;
    MovieEngine* ruffle = Engine(false);
    if (!ruffle)
        return;
    ruffle->hide(); // the first widget of an empty stack becomes its current one, shown
    ruffleUnused_.start(ruffleUnusedLimit_);
}

void EngineFlashControl::Show(MovieEngine* engine) {
    if (active_ && active_ != engine)
        active_->Clear();
    active_ = engine;
    // The stack sizes only its current widget: the engine that shows must be the current one.
    if (engine)
        static_cast<QStackedLayout*>(layout())->setCurrentWidget(engine);
    for (MovieEngine* each : {video_, ruffle_})
        if (each)
            each->setVisible(each == engine);
    if (ruffle_ && engine == ruffle_) {
        ruffleUsed_ = true;
        ruffleUnused_.stop();
    } else if (ruffle_ && !ruffleUnused_.isActive()) {
        ruffleUnused_.start(ruffleUsed_ ? ruffleLeftLimit_ : ruffleUnusedLimit_);
    }
}

void EngineFlashControl::SetMovie(const std::string& movie) {
    loadError_.clear();
    const bool playerMovie = IsPlayerMovie(movie);
    std::string vars = flashVars_;
    // The movie's own query wins over the parameters set before it: "flvplayer.swf?file=0.swf"
    // clears the control whatever video the parameters still name.
    if (const std::string_view query = MovieQuery(movie); !query.empty())
        vars = vars.empty() ? std::string(query) : vars + "&" + std::string(query);
    const std::string file = playerMovie ? ParseFlashVars(vars)["file"] : movie;
    if (playerMovie && file == "0.swf") { // the blank movie
        Show(nullptr);
        return;
    }
    if (file.empty()) {
        // A programme the vendor gave no address for: say so rather than wait for ever.
        Show(nullptr);
        loadError_ = kNoAddress;
        return;
    }
    MovieEngine* engine = Engine(playerMovie);
    Show(engine);
    if (!engine) {
        loadError_ = kNoPlayer;
        return;
    }
    if (!playerMovie) {
        engine->SetScaleMode(scaleMode_);
        engine->SetBackgroundColor(backgroundColor_);
    }
    engine->Load(playerMovie ? movie.substr(0, movie.find('?')) : movie, vars);
    engine->SetLoop(loop_);
}

std::string EngineFlashControl::CallFunction(const std::string& request) {
    if (!active_)
        throw FlashCallError("no movie");
    return active_->CallFunction(request);
}

void EngineFlashControl::SetLoop(bool loop) {
    loop_ = loop;
    if (active_)
        active_->SetLoop(loop);
}

void EngineFlashControl::SetScaleMode(int mode) {
    scaleMode_ = mode;
    if (active_)
        active_->SetScaleMode(mode);
}

void EngineFlashControl::SetBackgroundColor(int color) {
    backgroundColor_ = color;
    if (active_)
        active_->SetBackgroundColor(color);
}

int EngineFlashControl::ReadyState() {
    return active_ ? active_->ReadyState() : 0;
}

int EngineFlashControl::TotalFrames() {
    return active_ ? active_->TotalFrames() : 0;
}

int EngineFlashControl::FrameNum() {
    return active_ ? active_->FrameNum() : 0;
}

int EngineFlashControl::CurrentFrame() {
    return active_ ? active_->CurrentFrame() : 0;
}

bool EngineFlashControl::IsPlaying() {
    return active_ && active_->IsPlaying();
}

void EngineFlashControl::Play() {
    if (active_)
        active_->Play();
}

void EngineFlashControl::Stop() {
    if (active_)
        active_->Stop();
}

void EngineFlashControl::GotoFrame(int frame) {
    if (active_)
        active_->GotoFrame(frame);
}

bool EngineFlashControl::CanGotoFrame() {
    return active_ && active_->CanGotoFrame();
}

void EngineFlashControl::SetMovieFullScreen(bool on) {
    if (active_)
        active_->SetFullScreen(on);
}

std::string EngineFlashControl::LoadError() {
    if (!loadError_.empty())
        return loadError_;
    return active_ ? active_->LoadError() : std::string();
}

} // namespace luming
