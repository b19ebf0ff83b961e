#include "playback/Transport.h"

#include "config/FormatSeconds.h"
#include "config/WholeNumbers.h"
#include "content/PlayRequest.h"
#include "playback/FlvBridge.h"
#include "playback/PlayFailure.h"
#include "playback/PlayerInterfaces.h"

#include <algorithm>
#include <iostream>

namespace luming {

namespace {

int32_t Seconds(int64_t milliseconds) {
    return RoundHalfEven(static_cast<double>(milliseconds) / 1000.0);
}

int32_t FlashSeconds(int32_t frames) {
    return RoundHalfEven(frames / static_cast<double>(kFlashFramesPerSecond));
}

int64_t FlashMilliseconds(int32_t frames) {
    return int64_t{frames} * 1000 / kFlashFramesPerSecond;
}

} // namespace

std::string TimeText(int32_t pos, int32_t total) {
    return FormatSeconds(pos) + "/" + FormatSeconds(total);
}

std::string LoadErrorStatus(const std::string& error) {
    return "无法播放: " + error;
}

std::string LoadingStatus(int32_t percent) {
    return "正在装载 " + std::to_string(percent) + "%";
}

Transport::Transport(ITransportBar& bar, Players players, Actions actions)
    : bar_(bar), players_(std::move(players)), actions_(std::move(actions)) {}

void Transport::SetPlayState(PlayState state) {
    if (auto look = LookOf(static_cast<int>(state)))
        bar_.ShowLook(*look);
}

void Transport::ResetPosition() {
    reportedError_.clear(); // a new start may fail again, and is told again
    errorTicks_ = 0;
    reading_ = Reading{};
    bar_.SetLoadedWidth(0);
    bar_.SetKnobLeft(bar_.Bar().barLeft);
    bar_.SetTimeText("00:00/00:00");
}

void Transport::UpdateLoadBar(int32_t pos, int32_t total) {
    if (total == 0)
        return;
    int32_t vendorPercent = -1;
    if (!PlayingLocal && CurrentPlay)
        vendorPercent = FlvCurDownloadPercent(players_.vendor, CurrentPlay->TaskNo);
    bar_.SetLoadedWidth(LoadWidthAfterUpdate(pos, total, PlayingLocal, vendorPercent, bar_.Bar()));
}

void Transport::TransferProgress(int32_t task, int32_t percent) {
    if (percent == 100 && CurrentPlay && CurrentPlay->TaskNo == task)
        bar_.SetLoadedWidth(LoadWidthFor(100, bar_.Bar()));
}

void Transport::PlaceKnob(int32_t value, int32_t total) {
    bar_.SetKnobLeft(KnobLeftFor(value, total, bar_.Bar()));
}

void Transport::ShowTime(int32_t pos, int32_t total) {
    bar_.SetTimeText(TimeText(pos, total));
}

bool Transport::ShowPlayError(const std::string& error) {
    return ShowFailure(error, true);
}

bool Transport::ShowFailure(const std::string& error, bool passOverLater) {
    if (error.empty())
        return false;
    const PlayFailure failure = DescribePlayFailure(error, PlayingLocal);
    SetPlayState(PlayState::Stopped); // the play button then offers to try again
    bar_.SetStatusText(LoadErrorStatus(failure.message));
    bar_.SetStatusDetail(failure.detail);
    if (failure.detail != reportedError_) {
        reportedError_ = failure.detail;
        std::cerr << "luming: " << (CurrentPlay ? CurrentPlay->Name : std::string()) << ": "
                  << failure.detail << std::endl;
    }
    // Once, after the child has had time to read it: a programme that cannot play must not
    // hold the play list.
    if (passOverLater && ++errorTicks_ == kTicksBeforePassingOver && actions_.passOver)
        actions_.passOver();
    return true;
}

bool Transport::ShowDownloadFailure() {
    if (PlayingLocal || !CurrentPlay)
        return false;
    const auto message = DownloadFailureMessage(players_.vendor, CurrentPlay->TaskNo);
    // A download may work again later (room made, the line back): the list waits for the child.
    return message && ShowFailure(*message, false);
}

bool Transport::ShowStoreFull() {
    if (PlayingLocal || !CurrentPlay)
        return false;
    const int32_t error = players_.vendor.GetProgError(CurrentPlay->TaskNo);
    if (error != kStoreFullError)
        return false;
    if (reportedError_.empty())
        PauseCurrent(); // once: the play button may start it again
    return ShowFailure(*DownloadFailureText(error), false);
}

void Transport::PauseCurrent() {
    const std::string& type = CurrentPlay->FileType;
    if (type == "4") {
        if (FlvGetPlayState(players_.flash) == kFlvPlaying)
            FlvPlayPause(players_.flash);
    } else if (type == "1") {
        players_.flash.Stop();
    } else if (type == "2") {
        if (IMediaPlayer* audio = players_.audio(); audio && audio->Mode() == MediaMode::Playing)
            audio->Pause();
    }
}

void Transport::ShowLoading() {
    SetPlayState(PlayState::Loading);
    if (PlayingLocal || !CurrentPlay)
        return;
    const int32_t percent = FlvCurDownloadPercent(players_.vendor, CurrentPlay->TaskNo);
    if (percent >= 0 && percent < 100)
        bar_.SetStatusText(LoadingStatus(percent));
}

void Transport::Tick() {
    if (!CurrentPlay)
        return;
    try {
        if (ShowStoreFull())
            return;
        const std::string& type = CurrentPlay->FileType;
        if (type == "1") {
            TickFlash();
        } else if (type == "2") {
            if (IMediaPlayer* audio = players_.audio())
                TickAudio(*audio);
        } else if (type == "4") {
            TickVideo();
        } else if (type == "3") {
            TickText();
        }
    } catch (...) {
        // A failed tick is skipped; the next one runs normally.
    }
}

void Transport::TickFlash() {
    IFlashControl& flash = players_.flash;
    if (flash.ReadyState() != 4) {
        // A movie still on its way says how much has come; a local one keeps its look.
        if (!ShowPlayError(flash.LoadError()) && !PlayingLocal)
            ShowLoading();
        return;
    }
    if (flash.IsPlaying())
        SetPlayState(PlayState::Playing);
    const int32_t total = flash.TotalFrames();
    int32_t frame = 0;
    if (KnobDragging) {
        frame = KnobValue(total, bar_.Bar());
        UpdateLoadBar(frame, total);
        flash.GotoFrame(frame);
        flash.Play();
    } else {
        frame = flash.CurrentFrame();
        UpdateLoadBar(frame, total);
        PlaceKnob(frame, total);
    }
    if (total != 0)
        ShowTime(FlashSeconds(frame), FlashSeconds(total));

    // Long movies move on a little before their last frame, short ones on it. A movie without
    // frames, or of one frame (its code, not its timeline, plays it), has no end to reach: it
    // plays until the child moves on.
    const int32_t frames = flash.TotalFrames();
    const int32_t frameNum = flash.FrameNum();
    if (frames <= 1)
        return;
    if ((frames >= 50 && total - frameNum < 20) || (frames < 50 && total == frameNum))
        actions_.playNext();
}

void Transport::TickAudio(IMediaPlayer& audio) {
    // A player that stopped short of a failed download's end has not reached the programme's.
    if (audio.Mode() != MediaMode::Playing && ShowDownloadFailure())
        return;
    if (ShowPlayError(audio.LoadError()))
        return;
    audio.SetTimeFormatMilliseconds();
    const int32_t total = Seconds(audio.Length());
    if (audio.Mode() == MediaMode::Playing) {
        if (audio.Waiting()) // while it waits for bytes, the bar says so
            ShowLoading();
        else
            SetPlayState(PlayState::Playing);
    }
    int32_t pos = 0;
    if (KnobDragging) {
        pos = KnobValue(total, bar_.Bar());
        UpdateLoadBar(pos, total);
        PlaceKnob(pos, total);
        if (pos >= 0) {
            audio.SetPosition(int64_t{pos} * 1000);
            audio.Play();
        }
    } else {
        pos = Seconds(audio.Position());
        UpdateLoadBar(pos, total);
        PlaceKnob(pos, total);
        // The loaded bar never ends left of the knob.
        const BarGeometry bar = bar_.Bar();
        if (bar.knobLeft - bar.barLeft > bar.loadedWidth)
            bar_.SetLoadedWidth(bar.knobLeft - bar.barLeft + 1);
    }
    if (total != 0)
        ShowTime(pos, total);
    if (pos == total && total > 0)
        actions_.playNext();
}

void Transport::TickVideo() {
    IFlashControl& flash = players_.flash;
    switch (FlvGetPlayState(flash)) {
    case kFlvPlaying: {
        SetPlayState(PlayState::Playing);
        const int32_t duration = FlvGetDuration(flash);
        int32_t pos = 0;
        if (KnobDragging) {
            pos = KnobValue(duration, bar_.Bar());
            UpdateLoadBar(pos, duration);
            FlvSeek(flash, pos);
        } else {
            pos = FlvGetPosition(flash);
            UpdateLoadBar(pos, duration);
            PlaceKnob(pos, duration);
        }
        if (duration != 0)
            ShowTime(pos, duration);
        break;
    }
    case kFlvStopped:
        if (ShowDownloadFailure())
            break; // the bytes ended, not the programme
        SetPlayState(PlayState::Stopped);
        actions_.playNext();
        break;
    case kFlvPaused:
        SetPlayState(PlayState::Paused);
        break;
    case kFlvBuffering:
        // While the download tries again the player waits for its bytes.
        if (!ShowDownloadFailure() && !ShowPlayError(flash.LoadError()))
            ShowLoading();
        break;
    default:
        if (!ShowDownloadFailure())
            ShowPlayError(flash.LoadError());
        break;
    }
}

void Transport::StartReading(int32_t seconds) {
    reading_ = Reading{true, false, 0, std::max(seconds, 1)};
    ShowReading();
}

bool Transport::ReadAgain() {
    if (!reading_.started)
        return false;
    StartReading(reading_.total);
    return true;
}

void Transport::ShowReading() {
    SetPlayState(PlayState::Playing);
    bar_.SetStatusText(std::string(kReadingStatus));
    PlaceKnob(reading_.elapsed, reading_.total);
    ShowTime(reading_.elapsed, reading_.total);
}

void Transport::TickText() {
    if (!reading_.started)
        return; // the text is still on its way: the bar says it is loading
    if (reading_.paused) {
        SetPlayState(PlayState::Paused);
        return;
    }
    reading_.elapsed = std::min(reading_.elapsed + 1, reading_.total);
    ShowReading();
    if (reading_.elapsed >= reading_.total)
        actions_.playNext();
}

void Transport::PlayButtonClick() {
    if (!CurrentPlay)
        return;
    try {
        const std::string& type = CurrentPlay->FileType;
        IMediaPlayer* audio = type == "2" ? players_.audio() : nullptr;
        switch (bar_.PlayButtonTag()) {
        case kTagPlaying:
            if (type == "4") {
                // A video that ended a moment ago is not started again: the tick moves on.
                if (FlvGetPlayState(players_.flash) == kFlvStopped)
                    break;
                FlvPlayPause(players_.flash);
            } else if (type == "1")
                players_.flash.Stop();
            else if (type == "3")
                reading_.paused = true;
            else if (audio)
                audio->Pause();
            SetPlayState(PlayState::Paused);
            break;
        case kTagPaused:
            if (type == "4")
                FlvPlayPause(players_.flash);
            else if (type == "1")
                players_.flash.Play();
            else if (type == "3")
                reading_.paused = false;
            else if (audio)
                audio->Play();
            SetPlayState(PlayState::Playing);
            if (type == "3")
                ShowReading();
            break;
        case kTagStopped:
            actions_.replay();
            break;
        }
    } catch (...) {
    }
}

bool Transport::CanSeek() {
    if (!CurrentPlay || CurrentPlay->FileType == "3")
        return false; // a text is read, not sought in
    return CurrentPlay->FileType != "1" || players_.flash.CanGotoFrame();
}

int64_t Transport::PlayerMilliseconds(int64_t (IMediaPlayer::*audioTime)(),
                                      int32_t (*videoSeconds)(IFlashControl&),
                                      int (IFlashControl::*flashFrames)(),
                                      int32_t Reading::*readingSeconds) {
    if (!CurrentPlay)
        return 0;
    const std::string& type = CurrentPlay->FileType;
    if (type == "2") {
        IMediaPlayer* audio = players_.audio();
        if (!audio)
            return 0;
        audio->SetTimeFormatMilliseconds();
        return (audio->*audioTime)();
    }
    if (type == "4")
        return int64_t{videoSeconds(players_.flash)} * 1000;
    if (type == "3") // the reading clock, as the bar shows it
        return int64_t{reading_.*readingSeconds} * 1000;
    if (type == "1" && players_.flash.ReadyState() == 4)
        return FlashMilliseconds((players_.flash.*flashFrames)());
    return 0;
}

int64_t Transport::LengthMilliseconds() {
    return PlayerMilliseconds(&IMediaPlayer::Length, FlvGetDuration, &IFlashControl::TotalFrames,
                              &Reading::total);
}

int64_t Transport::PositionMilliseconds() {
    return PlayerMilliseconds(&IMediaPlayer::Position, FlvGetPosition, &IFlashControl::CurrentFrame,
                              &Reading::elapsed);
}

void Transport::ShowSought(int32_t value, int32_t total, int32_t seconds, int32_t totalSeconds) {
    UpdateLoadBar(value, total);
    PlaceKnob(value, total);
    if (total != 0)
        ShowTime(seconds, totalSeconds);
}

bool Transport::SeekInPlayer(int64_t milliseconds) {
    if (!CanSeek())
        return false;
    milliseconds = std::max<int64_t>(milliseconds, 0);
    const std::string& type = CurrentPlay->FileType;
    IFlashControl& flash = players_.flash;
    if (type == "2") {
        IMediaPlayer* audio = players_.audio();
        if (!audio)
            return false;
        audio->SetTimeFormatMilliseconds();
        const int64_t length = audio->Length();
        if (length <= 0)
            return false;
        const int64_t to = std::min(milliseconds, length);
        audio->SetPosition(to);
        if (bar_.PlayButtonTag() == kTagPlaying)
            audio->Play();
        const int32_t pos = Seconds(to), total = Seconds(length);
        ShowSought(pos, total, pos, total);
    } else if (type == "4") {
        const int32_t state = FlvGetPlayState(flash);
        if (state != kFlvPlaying && state != kFlvPaused)
            return false;
        const int32_t duration = FlvGetDuration(flash);
        const int32_t to = std::min(Seconds(milliseconds), duration);
        FlvSeek(flash, to);
        ShowSought(to, duration, to, duration);
    } else if (type == "1") {
        if (flash.ReadyState() != 4)
            return false;
        const int32_t total = flash.TotalFrames();
        const double frames = static_cast<double>(milliseconds) * kFlashFramesPerSecond / 1000.0;
        const int32_t frame = RoundHalfEven(std::min(frames, static_cast<double>(total)));
        flash.GotoFrame(frame);
        if (bar_.PlayButtonTag() == kTagPlaying)
            flash.Play();
        ShowSought(frame, total, FlashSeconds(frame), FlashSeconds(total));
    } else {
        return false;
    }
    return true;
}

bool Transport::SeekToMilliseconds(int64_t milliseconds) {
    try {
        return SeekInPlayer(milliseconds);
    } catch (...) {
        return false; // a player that cannot jump now is left where it is
    }
}

void Transport::LoadBarClick(int x) {
    if (!CurrentPlay)
        return;
    const std::string& type = CurrentPlay->FileType;
    if (type == "2") {
        IMediaPlayer* audio = players_.audio();
        if (!audio)
            return;
        audio->SetTimeFormatMilliseconds();
        const int32_t total = Seconds(audio->Length());
        if (total <= 0)
            return; // nothing to seek in while the length is unknown
        bar_.SetKnobLeft(CentredKnobLeft(x, bar_.Bar()));
        const int32_t pos = KnobValue(total, bar_.Bar());
        UpdateLoadBar(pos, total);
        PlaceKnob(pos, total);
        audio->SetPosition(int64_t{pos} * 1000);
        if (bar_.PlayButtonTag() == kTagPlaying)
            audio->Play();
    } else if (type == "4") {
        IFlashControl& flash = players_.flash;
        const int32_t state = FlvGetPlayState(flash);
        if (state != kFlvPlaying && state != kFlvPaused)
            return;
        SetPlayState(PlayState::Playing);
        const int32_t duration = FlvGetDuration(flash);
        bar_.SetKnobLeft(CentredKnobLeft(x, bar_.Bar()));
        const int32_t pos = KnobValue(duration, bar_.Bar());
        UpdateLoadBar(pos, duration);
        FlvSeek(flash, pos);
        if (state == kFlvPaused)
            FlvPlayPause(flash); // the bar says playing: the picture plays too
        if (duration != 0)
            ShowTime(pos, duration);
    } else if (type == "1") {
        IFlashControl& flash = players_.flash;
        if (flash.ReadyState() != 4 || !flash.CanGotoFrame())
            return;
        const int32_t total = flash.TotalFrames();
        bar_.SetKnobLeft(CentredKnobLeft(x, bar_.Bar()));
        const int32_t frame = KnobValue(total, bar_.Bar());
        UpdateLoadBar(frame, total);
        flash.GotoFrame(frame);
        if (bar_.PlayButtonTag() == kTagPlaying)
            flash.Play();
        if (total != 0)
            ShowTime(FlashSeconds(frame), FlashSeconds(total));
    }
}

void Transport::KnobMouseDown(int x) {
    if (!CanSeek())
        return;
    KnobDragging = true;
    KnobGrabX = x;
}

void Transport::KnobMouseMove(int x) {
    if (KnobDragging)
        bar_.SetKnobLeft(DraggedKnobLeft(x, KnobGrabX, bar_.Bar()));
}

void Transport::KnobMouseUp() {
    KnobDragging = false;
}

} // namespace luming
