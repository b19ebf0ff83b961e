#include "platform/ruffle/RuffleMovie.h"

#include "platform/VolumeLevel.h"
#include "platform/flash/MovieEngine.h"
#include "platform/ruffle/MovieDownload.h"
#include "platform/ruffle/PageReply.h"
#include "platform/ruffle/RufflePage.h"
#include "platform/ruffle/RufflePageFiles.h"
#include "platform/ruffle/RuffleScheme.h"
#include "platform/ruffle/RuffleTexts.h"
#include "platform/ruffle/SwfStream.h"
#include "platform/ruffle/WrapperMovie.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include <algorithm>
#include <cmath>
#include <deque>
#include <memory>
#include <optional>
#include <utility>

namespace luming {

namespace {

constexpr int kPollMs = 200;
// Until a movie shows its first frame the page is asked more often, so that the program (and
// the bar) follows the picture without a lag.
constexpr int kLoadingPollMs = 50;
// Enough for any header, even a compressed one.
constexpr qint64 kHeaderBytes = 64 * 1024;
// Readiness of a movie whose frames play while the rest arrives, as the Flash Player said it.
constexpr int kInteractive = 3;
constexpr int kExactFit = 2;

QString ColorText(int color) {
    return QString("#%1").arg(color & 0xFFFFFF, 6, 16, QChar('0'));
}

// About a second of a movie's frames: what a movie still arriving starts with, and how far
// ahead of its playing frame it takes more.
int SecondOfFrames(const SwfHeader& header) {
    const int rate = static_cast<int>(std::lround(header.FrameRate()));
    return std::clamp(rate, 1, std::max(1, header.frameCount));
}

bool IsAddress(const std::string& movie) {
    const QString text = QString::fromStdString(movie).toLower();
    return text.startsWith("http://") || text.startsWith("https://");
}

// What the page last told about the programme.
struct PageState {
    int ready = 0;
    int frame = 0;
    bool playing = false;
    std::string error;
    double received = 0; // bytes the page has received so far, of any file
};

class RuffleMovie : public MovieEngine {
public:
    RuffleMovie(QWidget* parent, VolumeLevel& volume, const QString& ruffleDir,
                std::chrono::milliseconds stallLimit, int moviesPerPage);
    ~RuffleMovie() override;

    void Load(const std::string& movie, const std::string& flashVars) override;
    void Clear() override;
    std::string CallFunction(const std::string&) override {
        throw FlashCallError("a plain Flash movie has no functions to call");
    }
    int ReadyState() override {
        return Arriving() && state_.ready == 4 ? kInteractive : state_.ready;
    }
    int TotalFrames() override { return header_ ? header_->frameCount : 0; }
    int FrameNum() override { return state_.frame; }
    int CurrentFrame() override { return state_.frame; }
    bool IsPlaying() override { return state_.playing; }
    void Play() override;
    void Stop() override;
    void GotoFrame(int frame) override;
    bool CanGotoFrame() override { return header_ && !header_->actionScript3; }
    void SetLoop(bool loop) override;
    void SetScaleMode(int mode) override { scaleMode_ = mode; }
    void SetBackgroundColor(int color) override { backgroundColor_ = color; }
    std::string LoadError() override { return loadError_.empty() ? state_.error : loadError_; }
    void Prepare() override { RunScript("luming.prepare()"); }

private:
    void Start(const SwfHeader& header, const QString& programmeUrl, const QString& localPath,
               const QByteArray& programme = {}, int startFrame = 0);
    // A movie from an address arrives in the program: it starts on its first second of frames
    // (an ActionScript 3 movie, which cannot go to a frame, once it is whole) and is loaded
    // again with more of them as its playing frame comes near their end.
    void Arrived(std::string_view bytes);
    void DownloadEnded(const std::string& error);
    void ServeArrived(int startFrame);
    void FollowArrivals();
    // Frames play while more of the movie is still to come.
    bool Arriving() const { return stream_ && header_ && !arrived_; }
    void Fail(const std::string& error);
    void FailStalled();
    void RunScript(const QString& script);
    void Command(const QString& script);
    void Poll();
    void FreshPage();

    VolumeLevel& volume_;
    QWebEngineProfile* profile_;
    RufflePageFiles* files_;
    QWebEngineView* view_;
    MovieDownload* download_;
    QTimer poll_;
    // Runs while a movie loads; restarted by every byte that arrives and by every poll that
    // finds the page asking for nothing (busy with itself, not with the network).
    QTimer stalled_;
    bool pageReady_ = false;
    const int moviesPerPage_;
    int moviesOnPage_ = 0;
    std::deque<QString> waiting_; // scripts for the page once it has loaded

    int load_ = 0;
    std::optional<SwfHeader> header_;
    std::unique_ptr<SwfStream> stream_; // a movie from an address, as it arrives
    bool arrived_ = false;              // all of it, and then served whole
    int servedFrames_ = 0;              // the frames of the movie the page has now
    int part_ = 0;                      // the movies served for this load so far
    bool wantPlaying_ = true;           // what the program asked for
    int playedTo_ = 0;                  // the frame last seen on a ready page: where to go on
    PageState state_;
    std::string loadError_;
    bool polling_ = false;
    bool pollAgain_ = false; // the page told of a change while a poll was on its way
    bool stallDue_ = false;  // the stall limit passed while a poll was on its way
    int commands_ = 0;       // a poll older than the last command is stale
    bool loop_ = false;
    int scaleMode_ = kExactFit;
    int backgroundColor_ = 0;
};

RuffleMovie::RuffleMovie(QWidget* parent, VolumeLevel& volume, const QString& ruffleDir,
                         std::chrono::milliseconds stallLimit, int moviesPerPage)
    : MovieEngine(parent), volume_(volume), profile_(new QWebEngineProfile(this)),
      files_(new RufflePageFiles(ruffleDir, this)), view_(new QWebEngineView(this)),
      download_(new MovieDownload(this)), moviesPerPage_(moviesPerPage) {
    profile_->installUrlSchemeHandler(kRuffleScheme, files_);
    auto* page = new RufflePage(profile_, view_);
    page->setBackgroundColor(Qt::black);
    page->settings()->setAttribute(QWebEngineSettings::PlaybackRequiresUserGesture, false);
    page->settings()->setAttribute(QWebEngineSettings::ShowScrollBars, false);
    view_->setPage(page);
    view_->setContextMenuPolicy(Qt::NoContextMenu);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);

    connect(page, &RufflePage::pageLoaded, this, [this](bool ok) {
        pageReady_ = ok;
        if (!ok) {
            Fail(texts::kPlayerFailed);
            return;
        }
        for (; !waiting_.empty(); waiting_.pop_front())
            view_->page()->runJavaScript(waiting_.front());
    });
    // A crashed page takes the movie with it; a fresh page waits for the next one.
    connect(page, &QWebEnginePage::renderProcessTerminated, this, [this] {
        Fail(texts::kPlayerFailed);
        FreshPage();
    });
    const auto followVolume = [this](int level) {
        RunScript(QString("luming.setVolume(%1)").arg(level / 255.0));
    };
    connect(&volume_, &VolumeLevel::levelChanged, this, followVolume);
    followVolume(volume_.Level());
    connect(&poll_, &QTimer::timeout, this, &RuffleMovie::Poll);
    // The page names the load whose first frame it shows: ask at once, not at the next poll.
    connect(view_, &QWebEngineView::titleChanged, this, [this] {
        if (!poll_.isActive())
            return;
        if (polling_)
            pollAgain_ = true;
        else
            Poll();
    });
    stalled_.setSingleShot(true);
    stalled_.setInterval(stallLimit);
    connect(&stalled_, &QTimer::timeout, this, [this] {
        // No byte of the movie the program fetches came for the whole limit.
        if (stream_ && !arrived_) {
            FailStalled();
            return;
        }
        // A page still loading itself has asked for no movie yet. A page too busy to answer
        // may have received bytes meanwhile: its answer decides.
        if (header_ && !pageReady_)
            stalled_.start();
        else if (polling_)
            stallDue_ = true;
        else
            FailStalled();
    });
    view_->setUrl(QUrl(RufflePageFiles::PageUrl()));
}

RuffleMovie::~RuffleMovie() {
    // The page must go before its profile.
    delete view_;
}

void RuffleMovie::FreshPage() {
    pageReady_ = false;
    polling_ = pollAgain_ = false;
    moviesOnPage_ = 0;
    view_->setUrl(QUrl(RufflePageFiles::PageUrl()));
    RunScript(QString("luming.setVolume(%1)").arg(volume_.Level() / 255.0));
    Prepare(); // the next movie need not wait for the new page to compile Ruffle
}

void RuffleMovie::RunScript(const QString& script) {
    if (pageReady_)
        view_->page()->runJavaScript(script);
    else
        waiting_.push_back(script);
}

void RuffleMovie::Command(const QString& script) {
    ++commands_;
    RunScript(script);
}

void RuffleMovie::Load(const std::string& movie, const std::string&) {
    Clear();
    const int load = load_;
    if (IsAddress(movie)) {
        stalled_.start();
        stream_ = std::make_unique<SwfStream>();
        download_->Start(
            QUrl(QString::fromStdString(movie)),
            [this, load](std::string_view bytes) {
                if (load == load_)
                    Arrived(bytes);
            },
            [this, load](const std::string& error) {
                if (load == load_)
                    DownloadEnded(error);
            });
        return;
    }
    const QString path = QUrl(QString::fromStdString(movie)).isLocalFile()
                             ? QUrl(QString::fromStdString(movie)).toLocalFile()
                             : QString::fromStdString(movie);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Fail(texts::kMissing);
        return;
    }
    const QByteArray start = file.read(kHeaderBytes);
    const SwfHeaderResult result =
        ReadSwfHeader(std::string_view(start.constData(), static_cast<size_t>(start.size())));
    if (result.status == SwfHeaderStatus::Unsupported)
        Fail(texts::kUnsupported + " (" + result.error + ")");
    else if (result.status != SwfHeaderStatus::Ok)
        Fail(texts::kNotFlash);
    else
        Start(result.header, RufflePageFiles::ProgrammeUrl(load, path), path);
}

void RuffleMovie::Start(const SwfHeader& header, const QString& programmeUrl,
                        const QString& localPath, const QByteArray& programme, int startFrame) {
    header_ = header;
    const bool wrapped = !header.actionScript3;
    QByteArray wrapper;
    if (wrapped) {
        const std::string bytes =
            BuildWrapperMovie(header, programmeUrl.toStdString(), backgroundColor_);
        wrapper = QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
    }
    if (programme.isEmpty())
        files_->Offer(load_, wrapper, localPath);
    else
        files_->OfferBytes(load_, wrapper, QUrl(programmeUrl).fileName(), programme);
    const QJsonObject options{
        {"load", load_},
        {"url", wrapped ? RufflePageFiles::WrapperUrl(load_) : programmeUrl},
        {"programmeUrl", programmeUrl},
        {"wrapped", wrapped},
        {"frameRate", header.FrameRate()},
        {"totalFrames", header.frameCount},
        {"loop", loop_},
        {"exactFit", scaleMode_ == kExactFit},
        {"background", ColorText(backgroundColor_)},
        {"startFrame", startFrame},
        {"startPlaying", wantPlaying_},
    };
    Command("luming.load(" +
            QString::fromUtf8(QJsonDocument(options).toJson(QJsonDocument::Compact)) + ")");
    ++moviesOnPage_;
    poll_.start(kLoadingPollMs);
    if (!localPath.isEmpty() || (stream_ && arrived_))
        stalled_.stop(); // a file on this machine, or one wholly here, does not stall
    else
        stalled_.start();
}

void RuffleMovie::Arrived(std::string_view bytes) {
    if (stalled_.isActive())
        stalled_.start();
    if (!stream_->Append(bytes)) {
        download_->Cancel();
        Fail(stream_->unsupported() ? texts::kUnsupported + " (" + stream_->error() + ")"
                                    : texts::kNotFlash);
        return;
    }
    const auto& header = stream_->header();
    if (!header_ && header && !header->actionScript3 &&
        stream_->CompleteFrames() >= SecondOfFrames(*header))
        ServeArrived(0);
}

void RuffleMovie::DownloadEnded(const std::string& error) {
    if (!error.empty()) {
        Fail(error);
        return;
    }
    arrived_ = true;
    if (!stream_->header()) {
        Fail(texts::kNotFlash);
        return;
    }
    // Whole now: the bar and the clock may follow it. A movie already playing goes on from
    // where it stands.
    ServeArrived(playedTo_);
}

void RuffleMovie::ServeArrived(int startFrame) {
    servedFrames_ = stream_->CompleteFrames();
    const std::string& movie = arrived_ ? stream_->Received() : stream_->PrefixMovie();
    const QString url = RufflePageFiles::ProgrammeUrl(load_, QString("part%1.swf").arg(++part_));
    Start(*stream_->header(), url, {},
          QByteArray(movie.data(), static_cast<qsizetype>(movie.size())), startFrame);
}

void RuffleMovie::FollowArrivals() {
    if (!Arriving() || state_.ready != 4)
        return;
    const int ahead = SecondOfFrames(*header_);
    const int frame = playedTo_;
    if (frame + ahead < servedFrames_)
        return;
    if (stream_->CompleteFrames() >= servedFrames_ + 2 * ahead)
        ServeArrived(frame);
    else if (frame >= servedFrames_ && state_.playing)
        RunScript("luming.stop()"); // waits on its last frame; the program's wish stays
}

void RuffleMovie::FailStalled() {
    download_->Cancel();
    Command("luming.clear()");
    Fail(texts::kDownloadFailed);
}

void RuffleMovie::Fail(const std::string& error) {
    loadError_ = error;
    poll_.stop();
    stalled_.stop();
    stallDue_ = false;
}

void RuffleMovie::Clear() {
    ++load_;
    download_->Cancel();
    stream_.reset();
    arrived_ = false;
    servedFrames_ = part_ = playedTo_ = 0;
    wantPlaying_ = true;
    files_->Withdraw();
    poll_.stop();
    stalled_.stop();
    header_.reset();
    state_ = {};
    loadError_.clear();
    if (moviesOnPage_ >= moviesPerPage_)
        FreshPage();
    else
        Command("luming.clear()");
}

void RuffleMovie::Play() {
    wantPlaying_ = true;
    state_.playing = true;
    Command("luming.play()");
}

void RuffleMovie::Stop() {
    wantPlaying_ = false;
    state_.playing = false;
    Command("luming.stop()");
}

void RuffleMovie::GotoFrame(int frame) {
    if (!CanGotoFrame())
        return;
    state_.frame = frame;
    Command(QString("luming.gotoFrame(%1)").arg(frame));
}

void RuffleMovie::SetLoop(bool loop) {
    loop_ = loop;
    Command(QString("luming.setLoop(%1)").arg(loop ? "true" : "false"));
}

void RuffleMovie::Poll() {
    if (!pageReady_ || polling_)
        return;
    polling_ = true;
    const int load = load_, commands = commands_;
    QPointer<RuffleMovie> self(this);
    view_->page()->runJavaScript("luming.state()", [self, load, commands](const QVariant& value) {
        if (!self)
            return;
        self->polling_ = false;
        if (std::exchange(self->pollAgain_, false))
            QTimer::singleShot(0, self, &RuffleMovie::Poll);
        const auto reply = ReadPageReply(value, self->header_ ? self->header_->frameCount : 0);
        if (load != self->load_ || !reply)
            return;
        const double received = reply->received;
        const bool stalling = received == self->state_.received && reply->waiting;
        self->state_.received = received;
        if (!stalling) {
            self->stallDue_ = false;
            if (self->stalled_.isActive())
                self->stalled_.start();
        } else if (self->stallDue_ && reply->ready != 4) {
            self->FailStalled();
            return;
        }
        if (commands != self->commands_ || reply->load != load)
            return;
        self->state_.ready = reply->ready;
        if (self->state_.ready == 4 && !self->Arriving())
            self->stalled_.stop();
        self->state_.frame = reply->frame;
        if (self->state_.ready == 4)
            self->playedTo_ = self->state_.frame;
        // Once, not at every poll: a new interval starts the timer again.
        if (self->state_.ready == 4 && self->state_.frame >= 1 && self->poll_.interval() != kPollMs)
            self->poll_.setInterval(kPollMs);
        self->state_.playing = reply->playing;
        if (!reply->error.empty())
            self->state_.error = texts::kPlayerFailed + " (" + reply->error + ")";
        self->FollowArrivals();
    });
}

} // namespace

MovieEngine* CreateRuffleMovie(QWidget* parent, VolumeLevel& volume, const QString& ruffleDir,
                               std::chrono::milliseconds stallLimit, int moviesPerPage) {
    if (!RuffleFilesPresent(ruffleDir))
        return nullptr;
    return new RuffleMovie(parent, volume, ruffleDir, stallLimit, moviesPerPage);
}

} // namespace luming
