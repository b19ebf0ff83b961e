#pragma once

#include "platform/MediaPlayer.h"
#include "platform/mpv/MpvCore.h"

#include <memory>
#include <string>

namespace luming {

class VolumeLevel;

// The hidden audio player on libmpv, audio only. Every getter answers from what mpv last
// reported, at once.
class MpvAudioPlayer : public MediaPlayer {
    Q_OBJECT
public:
    // nullptr when libmpv cannot be created. `extra` options go after ours (tests: ao=null...).
    static MpvAudioPlayer* Create(QWidget* parent, VolumeLevel& volume,
                                  const MpvOptions& extra = {});

    void SetFileName(const std::string& fileName) override { fileName_ = fileName; }
    std::string FileName() const override { return fileName_; }
    void SetAutomaticDeviceType() override {}
    void Open() override;
    void Play() override;
    void Stop() override;
    void Pause() override;
    void Eject() override {}
    MediaMode Mode() override;
    bool Waiting() override;
    void SetTimeFormatMilliseconds() override {}
    int64_t Length() override;
    int64_t Position() override;
    void SetPosition(int64_t position) override;
    std::string LoadError() override;

private:
    MpvAudioPlayer(std::unique_ptr<MpvCore> core, QWidget* parent, VolumeLevel& volume);

    std::unique_ptr<MpvCore> core_;
    std::string fileName_;
    bool stopped_ = false; // Stop, rather than Pause, paused it
};

} // namespace luming
