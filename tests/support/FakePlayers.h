#pragma once

#include "platform/FlashControl.h"
#include "platform/MediaPlayer.h"

#include <map>
#include <string>
#include <vector>

namespace luming::test {

// A Flash control whose state the test sets and whose operations it reads back. Requests get
// the reply stored for them; any other request raises, as a movie without the callback does.
struct FakeFlashControl : FlashControl {
    using FlashControl::FlashControl;

    std::vector<std::string> calls; // operations and requests, in order
    std::map<std::string, std::string> replies;
    std::string flashVars, movie, loadError;
    int readyState = 4, totalFrames = 0, frameNum = 0, currentFrame = 0, scaleMode = 0,
        backgroundColor = -1;
    bool playing = false, loop = true, canGotoFrame = true;

    std::string CallFunction(const std::string& request) override {
        calls.push_back(request);
        auto reply = replies.find(request);
        if (reply == replies.end())
            throw FlashCallError("no callback");
        return reply->second;
    }
    void SetFlashVars(const std::string& vars) override {
        calls.push_back("FlashVars");
        flashVars = vars;
    }
    void SetMovie(const std::string& value) override {
        calls.push_back("Movie " + value);
        movie = value;
    }
    void SetLoop(bool value) override { loop = value; }
    void SetScaleMode(int mode) override { scaleMode = mode; }
    void SetBackgroundColor(int color) override { backgroundColor = color; }
    int ReadyState() override { return readyState; }
    int TotalFrames() override { return totalFrames; }
    int FrameNum() override { return frameNum; }
    int CurrentFrame() override { return currentFrame; }
    bool IsPlaying() override { return playing; }
    void Play() override {
        calls.push_back("Play");
        playing = true;
    }
    void Stop() override {
        calls.push_back("Stop");
        playing = false;
    }
    void GotoFrame(int frame) override {
        calls.push_back("GotoFrame " + std::to_string(frame));
        currentFrame = frameNum = frame;
    }
    bool CanGotoFrame() override { return canGotoFrame; }
    std::string LoadError() override { return loadError; }
    void SetMovieFullScreen(bool on) override {
        calls.push_back(on ? "MovieFullScreen on" : "MovieFullScreen off");
    }
};

// An audio player that records what it was told; the test sets its mode, length and position.
struct FakeMediaPlayer : MediaPlayer {
    using MediaPlayer::MediaPlayer;

    std::vector<std::string> calls;
    std::string fileName, loadError;
    MediaMode mode = MediaMode::NotReady;
    int64_t length = 0, position = 0;
    bool failOpen = false, waiting = false;

    void SetFileName(const std::string& name) override { fileName = name; }
    std::string FileName() const override { return fileName; }
    void SetAutomaticDeviceType() override {}
    void Open() override {
        calls.push_back("Open");
        if (failOpen)
            throw MediaError("cannot open " + fileName);
        mode = MediaMode::Stopped;
    }
    void Play() override {
        calls.push_back("Play");
        mode = MediaMode::Playing;
    }
    void Stop() override {
        calls.push_back("Stop");
        mode = MediaMode::Stopped;
    }
    void Pause() override {
        calls.push_back("Pause");
        mode = mode == MediaMode::Playing ? MediaMode::Paused : MediaMode::Playing;
    }
    void Eject() override { calls.push_back("Eject"); }
    MediaMode Mode() override { return mode; }
    bool Waiting() override { return waiting; }
    void SetTimeFormatMilliseconds() override {}
    int64_t Length() override { return length; }
    int64_t Position() override { return position; }
    void SetPosition(int64_t value) override {
        calls.push_back("Position " + std::to_string(value));
        position = value;
    }
    std::string LoadError() override { return loadError; }
};

// The output volume as a plain number.
struct FakeVolume : IOutputVolume {
    uint32_t volume = 0xFFFFFFFFu;
    uint32_t GetVolume() override { return volume; }
    void SetVolume(uint32_t value) override { volume = value; }
};

} // namespace luming::test
