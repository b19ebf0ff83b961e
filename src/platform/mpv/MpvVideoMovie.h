#pragma once

#include "platform/flash/MovieEngine.h"
#include "platform/mpv/MpvCore.h"

#include <memory>
#include <string>

namespace luming {

class MpvVideoView;
class PlayerBar;
class VolumeLevel;

// The player movie "flvplayer.swf" on libmpv. Its picture and bar sit on a stage that leaves the
// control for a full screen of its own on a double click or when the window asks, and comes back
// on Escape, another double click or the window's request. On the offscreen platform there is no
// picture (vo=null): Qt cannot make a GL window there.
class MpvVideoMovie : public MovieEngine {
    Q_OBJECT
public:
    // nullptr when libmpv cannot be created. `extra` options go after ours (tests: vo=null...).
    static MpvVideoMovie* Create(QWidget* parent, VolumeLevel& volume,
                                 const MpvOptions& extra = {});
    ~MpvVideoMovie() override;

    void Load(const std::string& movie, const std::string& flashVars) override;
    void Clear() override;
    std::string CallFunction(const std::string& request) override;
    int ReadyState() override;
    int TotalFrames() override { return 0; }
    int FrameNum() override { return 0; }
    int CurrentFrame() override { return 0; }
    bool IsPlaying() override;
    void Play() override;
    void Stop() override;
    void GotoFrame(int) override {}
    bool CanGotoFrame() override { return false; }
    void SetLoop(bool) override {}
    void SetScaleMode(int) override {}
    void SetBackgroundColor(int) override {}
    std::string LoadError() override;

    bool IsFullScreen() const;
    void SetFullScreen(bool on) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    MpvVideoMovie(std::unique_ptr<MpvCore> core, bool withPicture, QWidget* parent,
                  VolumeLevel& volume);
    // 1 playing, 2 paused, 0 at the end, 3 loading or buffering.
    int PlayState() const;
    void TogglePause();
    void ShowState();

    std::unique_ptr<MpvCore> core_;
    QWidget* stage_;
    MpvVideoView* view_ = nullptr;
    PlayerBar* bar_;
};

} // namespace luming
