#include "shell/ReadAlong.h"

#include "catalogue/TKrvPlay.h"
#include "config/IniFile.h"
#include "config/Settings.h"
#include "content/PlayRequest.h"
#include "platform/pinyin/PinyinReader.h"
#include "playback/ReadAlongSource.h"
#include "playback/Transport.h"
#include "shell/AccessibleControls.h"
#include "shell/AlignLayout.h"
#include "shell/PoemLine.h"
#include "shell/ReadAlongStrip.h"
#include "shell/ReadAlongView.h"
#include "shell/TextFetch.h"

#include <QLabel>
#include <QTimer>
#include <QToolButton>

#include <cstdio>
#include <filesystem>

namespace luming {

namespace {

// Often enough that the lit line stays well within a tenth of a second of the voice, which the
// player itself tells only every few hundredths of a second.
constexpr int kFollowMs = 25;

bool IsFile(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

} // namespace

ReadAlongPresenter::ReadAlongPresenter(const Settings& settings, VendorLibrary& vendor,
                                       Transport& transport, Places places,
                                       std::function<void()> changed)
    : QObject(places.playArea), settings_(settings), vendor_(vendor), transport_(transport),
      places_(places), changed_(std::move(changed)) {
    // The fetch reads a bounded text; a larger file is refused whole when it is read.
    fetch_ = new TextFetch(this);
    follow_ = new QTimer(this);
    follow_->setInterval(kFollowMs);
    connect(follow_, &QTimer::timeout, this, &ReadAlongPresenter::Follow);

    view_ = new ReadAlongView(places.playArea);
    view_->hide();
    AlignLayout::Of(view_)->Place(view_, Align::Client, places.playArea->rect());
    strip_ = new ReadAlongStrip(places.stripArea);
    strip_->hide();
    AlignLayout::Of(strip_)->Place(strip_, Align::Bottom,
                                   {0, 0, places.stripArea->width(), ReadAlongStrip::kHeight});
    spoken_ = new QLabel(places.stripArea);
    spoken_->setObjectName("lblReadAlong");
    spoken_->setGeometry(0, 0, 1, 1);
    spoken_->setStyleSheet("color: transparent; background: transparent;");
    spoken_->hide();
    // Read when a reader asks; each new line is announced instead of told as a new name.
    accessible::SetKind(spoken_, accessible::Kind::Clock);

    stripOn_ = ReadIniString(settings_.LocalIniPath, kInfoSection, kStripKey, "1") != "0";
    places_.stripButton->setCheckable(true);
    places_.stripButton->setChecked(stripOn_);
    places_.stripButton->hide();
    connect(places_.stripButton, &QToolButton::clicked, this, [this] { ToggleStrip(); });
}

ReadAlongPresenter::~ReadAlongPresenter() {
    if (pinyinThread_.joinable())
        pinyinThread_.join(); // its answer, queued to this object, goes with it
}

void ReadAlongPresenter::Start(const TKrvPlay& play, int channel, bool fromVendor) {
    // The programme started again (repeated, or tried again) keeps its poem on show, from its
    // first line: shown anew, each round would tell a screen reader every line again.
    if (&play == play_ && poem_) {
        Present();
        return;
    }
    Stop();
    if (!TakesReadAlong(play.FileType))
        return;
    play_ = &play;
    type_ = play.FileType;
    const std::string programme = play.Name;
    auto arrived = [this, programme](bool ok, const std::string& bytes, const std::string&) {
        if (ok) // no file, or none on the server: nothing to tell
            Show(bytes, programme);
    };
    if (auto local =
            LocalReadAlong(play, settings_.CacheDir, channel, settings_.DownloadDir, IsFile)) {
        fetch_->Start(*local, arrived);
        return;
    }
    if (!fromVendor || settings_.DownloadBaseUrl.empty())
        return;
    try {
        const auto address = VendorReadAlongAddress(settings_.DownloadBaseUrl, play);
        if (!address)
            return;
        if (auto ticket = FetchPlayAddress(vendor_, *address, ProgrammeIdNumber(play.Id)))
            fetch_->Start(ticket->PlayUrl, arrived);
    } catch (const std::exception&) {
        // An id the server cannot have a file for.
    }
}

void ReadAlongPresenter::Stop() {
    ++generation_;
    fetch_->Cancel();
    follow_->stop();
    const bool shown = poem_.has_value();
    poem_.reset();
    readings_.clear();
    lit_.reset();
    play_ = nullptr;
    view_->hide();
    strip_->hide();
    spoken_->hide();
    places_.stripButton->hide();
    if (shown && changed_)
        changed_();
}

void ReadAlongPresenter::Show(const std::string& bytes, const std::string& programme) {
    LrcResult result = ReadLrc(bytes);
    if (!result.readAlong) {
        std::fprintf(stderr, "luming: the read-along of %s is not shown: %s\n", programme.c_str(),
                     result.error.c_str());
        return;
    }
    poem_ = std::move(result.readAlong);
    ++generation_;
    readings_.clear();
    for (const ReadAlongLine& line : poem_->lines)
        readings_.push_back(line.readings); // the vendor's own readings win
    ShowPoemInView();
    Present();
    ReadPinyin();
    if (changed_)
        changed_();
}

void ReadAlongPresenter::ReadPinyin() {
    std::vector<std::string> texts;
    for (const ReadAlongLine& line : poem_->lines)
        texts.push_back(line.readings.empty() ? line.text : std::string());
    if (pinyinThread_.joinable())
        pinyinThread_.join();
    pinyinPending_ = true;
    pinyinThread_ = std::thread([this, generation = generation_, texts = std::move(texts)] {
        // The engine is made for this poem only and goes with it.
        PinyinReader reader;
        std::vector<std::vector<std::string>> readings;
        for (const std::string& text : texts)
            readings.push_back(text.empty() ? std::vector<std::string>{} : reader.Read(text));
        QMetaObject::invokeMethod(
            this,
            [this, generation, readings = std::move(readings)]() mutable {
                PinyinRead(generation, std::move(readings));
            },
            Qt::QueuedConnection);
    });
}

void ReadAlongPresenter::PinyinRead(int generation,
                                    std::vector<std::vector<std::string>> readings) {
    if (generation != generation_ || !poem_)
        return; // another programme's
    pinyinPending_ = false;
    for (size_t line = 0; line < readings.size() && line < readings_.size(); ++line)
        if (readings_[line].empty())
            readings_[line] = std::move(readings[line]);
    if (type_ == "2")
        view_->SetReadings(readings_, *poem_);
    ShowLit();
}

void ReadAlongPresenter::ShowPoemInView() {
    // Only a poem read aloud stands in the play area: a video's lines, made there hidden, would
    // each be told to a screen reader as they came and went.
    view_->ShowPoem(type_ == "2" ? *poem_ : luming::ReadAlong{}, readings_);
}

void ReadAlongPresenter::Present() {
    if (!poem_)
        return;
    const bool audio = type_ == "2";
    view_->setVisible(audio);
    if (audio)
        view_->raise();
    strip_->setVisible(!audio && stripOn_);
    spoken_->setVisible(audio || stripOn_);
    ShowStripButton();
    lit_.reset();
    strip_->ShowLine({}, {});
    spoken_->clear();
    Follow();
    if (audio || stripOn_)
        follow_->start();
    else
        follow_->stop();
}

void ReadAlongPresenter::ShowStripButton() {
    places_.stripButton->setVisible(poem_ && type_ != "2");
    places_.stripButton->setChecked(stripOn_);
}

void ReadAlongPresenter::ToggleStrip() {
    stripOn_ = !stripOn_;
    WriteIniValue(settings_.LocalIniPath, kInfoSection, kStripKey, stripOn_ ? "1" : "0");
    ShowStripButton();
    if (poem_ && type_ != "2")
        Present();
}

void ReadAlongPresenter::Follow() {
    if (!poem_ || transport_.CurrentPlay != play_)
        return;
    int64_t position = 0;
    try {
        position = transport_.PositionMilliseconds();
    } catch (...) {
        return; // the player cannot answer now; the next look will
    }
    const std::optional<size_t> line = CurrentReadAlongLine(*poem_, position);
    if (line == lit_)
        return;
    lit_ = line;
    ShowLit();
    emit LineLit();
}

void ReadAlongPresenter::ShowLit() {
    view_->Light(lit_);
    const std::string text = lit_ ? poem_->lines[*lit_].text : std::string();
    strip_->ShowLine(text, lit_ ? readings_[*lit_] : std::vector<std::string>{});
    // The status line's new name is what a screen reader says, without interrupting.
    spoken_->setText(SpokenLine());
}

QString ReadAlongPresenter::SpokenLine() const {
    if (!poem_ || !lit_ || poem_->lines[*lit_].text.empty())
        return {};
    return luming::SpokenLine(poem_->lines[*lit_].text, readings_[*lit_]);
}

std::string ReadAlongPresenter::Lyrics() const {
    if (!poem_)
        return {};
    std::string text;
    if (!poem_->title.empty())
        text += poem_->title + "\n";
    if (!poem_->author.empty())
        text += poem_->author + "\n";
    const std::string* previous = nullptr;
    for (const ReadAlongLine& line : poem_->lines) {
        if (line.text.empty() || (previous && *previous == line.text))
            continue;
        text += line.text + "\n";
        previous = &line.text;
    }
    return text;
}

} // namespace luming
