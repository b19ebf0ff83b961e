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
    // Ruffle's view made ahead, with its page but no player, costs the process tree about 25 MB:
    // it waits a minute for a Flash movie. A view that has played a movie holds the player and
    // the memory the movie made it grow, about 300 MB beside the next video or poem: it goes a
    // second after its movie, which a child pressing next from one Flash movie to another never
    // leaves for that long, and a view made ahead takes its place: the next Flash movie waits
    // only for Ruffle to compile, as a bare Ruffle page's first movie does.
    static constexpr std::chrono::milliseconds kRuffleUnusedLimit = std::chrono::minutes(1);
    static constexpr std::chrono::milliseconds kRuffleLeftLimit = std::chrono::seconds(1);

    EngineFlashControl(QWidget* parent, VolumeLevel& volume, QString ruffleDir,
                       std::chrono::milliseconds ruffleUnusedLimit = kRuffleUnusedLimit,
                       std::chrono::milliseconds ruffleLeftLimit = kRuffleLeftLimit);

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
    // Makes Ruffle's view, hidden, with its page and Ruffle's script loaded, but not Ruffle's
    // player: compiled ahead, the player cost the tree about 160 MB beside every video, for a
    // first movie that came only as fast as the bare page's one. It goes after the same time
    // without a Flash movie as a used view.
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
    const std::chrono::milliseconds ruffleUnusedLimit_;
    const std::chrono::milliseconds ruffleLeftLimit_;
    bool ruffleUsed_ = false; // the view has played a movie
    QTimer ruffleUnused_; // runs while Ruffle has no movie; frees it at the end
    int backgroundColor_ = 0;
    int scaleMode_ = 0;
    bool loop_ = true;
};

} // namespace luming
