#pragma once

#include "platform/FlashControl.h"

#include <QString>
#include <QTimer>

#include <chrono>
#include <string>

namespace luming {

class MovieEngine;
class VolumeLevel;

// The real Flash control: the movie's file name decides the engine. "flvplayer.swf" is the
// player movie on libmpv ("flvplayer.swf?file=0.swf" clears the control); any other movie
// plays in Ruffle, whose web view is made for the first such movie and freed when no Flash movie
// has shown for `ruffleUnusedLimit`.
class EngineFlashControl : public FlashControl {
    Q_OBJECT
public:
    // Ruffle's view with its page costs the process tree about 200 MB even without a movie, as
    // much as the rest of the window. A minute without a Flash movie (a video or a poem heard
    // to its end) gives it back; a child pressing next through the programmes keeps it. The
    // next Flash movie then waits for a new view, about half a second more.
    static constexpr std::chrono::milliseconds kRuffleUnusedLimit = std::chrono::minutes(1);

    EngineFlashControl(QWidget* parent, VolumeLevel& volume, QString ruffleDir,
                       std::chrono::milliseconds ruffleUnusedLimit = kRuffleUnusedLimit);

    std::string CallFunction(const std::string& request) override;
    void SetFlashVars(const std::string& flashVars) override { flashVars_ = flashVars; }
    void SetMovie(const std::string& movie) override;
    void SetLoop(bool loop) override;
    void SetScaleMode(int mode) override;
    void SetBackgroundColor(int color) override;
    int ReadyState() override;
    int TotalFrames() override;
    int FrameNum() override;
    int CurrentFrame() override;
    bool IsPlaying() override;
    void Play() override;
    void Stop() override;
    void GotoFrame(int frame) override;
    bool CanGotoFrame() override;
    std::string LoadError() override;
    void SetMovieFullScreen(bool on) override;
    // Makes Ruffle's view, hidden, and has it compile its code; it goes after the same time
    // without a Flash movie as a used one.
    void PrepareFlashMovie() override;

private:
    MovieEngine* Engine(bool playerMovie);
    void Show(MovieEngine* engine);
    void ReleaseRuffle();

    VolumeLevel& volume_;
    QString ruffleDir_;
    std::string flashVars_;
    MovieEngine* video_ = nullptr;
    MovieEngine* ruffle_ = nullptr;
    MovieEngine* active_ = nullptr; // nullptr while the control is clear
    std::string loadError_;
    QTimer ruffleUnused_; // runs while Ruffle has no movie; frees it at the end
    int backgroundColor_ = 0;
    int scaleMode_ = 0;
    bool loop_ = true;
};

} // namespace luming
