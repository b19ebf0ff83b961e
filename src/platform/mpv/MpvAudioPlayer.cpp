#include "platform/mpv/MpvAudioPlayer.h"

#include "platform/VolumeLevel.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace luming {

namespace {

bool IsAddress(const std::string& file) {
    return file.find("://") != std::string::npos;
}

int64_t Milliseconds(double seconds) {
    return static_cast<int64_t>(std::llround(seconds * 1000));
}

} // namespace

MpvAudioPlayer* MpvAudioPlayer::Create(QWidget* parent, VolumeLevel& volume,
                                       const MpvOptions& extra) {
    MpvOptions options = {{"vid", "no"}, {"force-window", "no"}};
    options.insert(options.end(), extra.begin(), extra.end());
    auto core = MpvCore::Create(options);
    if (!core)
        return nullptr;
    return new MpvAudioPlayer(std::move(core), parent, volume);
}

MpvAudioPlayer::MpvAudioPlayer(std::unique_ptr<MpvCore> core, QWidget* parent, VolumeLevel& volume)
    : MediaPlayer(parent), core_(std::move(core)) {
    setObjectName("AudioPlayer");
    setFixedSize(1, 1);
    hide();
    core_->SetVolume(volume.Percent());
    connect(&volume, &VolumeLevel::levelChanged, this,
            [this](int level) { core_->SetVolume(level * 100.0 / 255.0); });
}

void MpvAudioPlayer::Open() {
    std::error_code error;
    if (fileName_.empty() ||
        (!IsAddress(fileName_) && !std::filesystem::exists(fileName_, error))) {
        core_->Stop();
        throw MediaError(fileName_.empty() ? "no file to open" : "file not found: " + fileName_);
    }
    stopped_ = true;
    core_->Load(fileName_, true);
}

void MpvAudioPlayer::Play() {
    stopped_ = false;
    if (core_->Playback().ended)
        core_->Restart();
    else
        core_->SetPaused(false);
}

void MpvAudioPlayer::Stop() {
    stopped_ = true;
    core_->SetPaused(true);
}

void MpvAudioPlayer::Pause() {
    switch (Mode()) {
    case MediaMode::Playing:
        stopped_ = false;
        core_->SetPaused(true);
        break;
    case MediaMode::Paused:
        Play();
        break;
    default:
        break;
    }
}

MediaMode MpvAudioPlayer::Mode() {
    const MpvPlayback& playback = core_->Playback();
    if (!playback.active || !playback.error.empty())
        return MediaMode::NotReady;
    if (playback.ended)
        return MediaMode::Stopped;
    if (!playback.paused)
        return MediaMode::Playing;
    return stopped_ ? MediaMode::Stopped : MediaMode::Paused;
}

bool MpvAudioPlayer::Waiting() {
    const MpvPlayback& playback = core_->Playback();
    return Mode() == MediaMode::Playing && (!playback.loaded || playback.coreIdle);
}

int64_t MpvAudioPlayer::Length() {
    return Milliseconds(core_->Playback().duration);
}

int64_t MpvAudioPlayer::Position() {
    const MpvPlayback& playback = core_->Playback();
    // At the end mpv stops a little short of the duration; callers take "position equals
    // length" for the end.
    return playback.ended ? Length() : Milliseconds(playback.position);
}

void MpvAudioPlayer::SetPosition(int64_t position) {
    if (core_->Playback().ended)
        stopped_ = true;
    core_->Seek(std::max<int64_t>(0, position) / 1000.0);
}

std::string MpvAudioPlayer::LoadError() {
    return core_->Playback().error;
}

} // namespace luming
