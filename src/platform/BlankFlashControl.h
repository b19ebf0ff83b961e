#pragma once

#include "platform/FlashControl.h"

namespace luming {

// Holds the Flash control's place when none can be created: it plays nothing and says so.
class BlankFlashControl : public FlashControl {
    Q_OBJECT
public:
    using FlashControl::FlashControl;
    std::string CallFunction(const std::string&) override { throw FlashCallError("no movie"); }
    void SetFlashVars(const std::string&) override {}
    void SetMovie(const std::string&) override {}
    void SetLoop(bool) override {}
    void SetScaleMode(int) override {}
    void SetBackgroundColor(int) override {}
    int ReadyState() override { return 0; }
    int TotalFrames() override { return 0; }
    int FrameNum() override { return 0; }
    int CurrentFrame() override { return 0; }
    bool IsPlaying() override { return false; }
    void Play() override {}
    void Stop() override {}
    void GotoFrame(int) override {}
    bool CanGotoFrame() override { return false; }
    void SetMovieFullScreen(bool) override {}
    std::string LoadError() override { return "Flash control unavailable"; }
};

} // namespace luming
