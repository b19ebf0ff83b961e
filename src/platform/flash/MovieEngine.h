#pragma once

#include <QWidget>

#include <string>

namespace luming {

// One of the two engines inside the Flash control: the player movie (videos, on libmpv) or
// plain Flash movies (on Ruffle). The control shows the engine of the movie it was given and
// routes its operations there; an engine fills the control.
class MovieEngine : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;

    // Starts `movie` (a path or an http address) with the parameters set before it.
    virtual void Load(const std::string& movie, const std::string& flashVars) = 0;
    // Stops whatever plays and shows nothing.
    virtual void Clear() = 0;

    // Throws FlashCallError when the movie has no answer.
    virtual std::string CallFunction(const std::string& request) = 0;

    virtual int ReadyState() = 0;
    virtual int TotalFrames() = 0;
    virtual int FrameNum() = 0;
    virtual int CurrentFrame() = 0;
    virtual bool IsPlaying() = 0;
    virtual void Play() = 0;
    virtual void Stop() = 0;
    virtual void GotoFrame(int frame) = 0;
    virtual bool CanGotoFrame() = 0;
    virtual void SetLoop(bool loop) = 0;
    virtual void SetScaleMode(int mode) = 0;
    virtual void SetBackgroundColor(int color) = 0;
    virtual std::string LoadError() = 0;
    // The player movie's own full screen; other engines ignore it.
    virtual void SetFullScreen(bool) {}
    // Gets ready for a first movie that may come soon, without showing anything.
    virtual void Prepare() {}

signals:
    void fullScreenChanged(bool on);
};

} // namespace luming
