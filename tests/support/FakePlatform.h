#pragma once

#include "config/Dialogs.h"
#include "config/UrlProbe.h"
#include "content/VendorLibrary.h"
#include "platform/Desktop.h"
#include "platform/MediaSession.h"
#include "platform/PlaceholderWebPane.h"
#include "platform/Platform.h"
#include "support/FakePlayers.h"

#include <QWidget>

#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace luming::test {

// Dialogs that record what they were asked to show; Confirm answers as told.
struct RecordingDialogs : IDialogs {
    std::vector<std::string> information, plain, confirmations, errors;
    bool confirmAnswer = true;
    void Information(const std::string& text) override { information.push_back(text); }
    void Plain(const std::string& text) override { plain.push_back(text); }
    bool Confirm(const std::string& text) override {
        confirmations.push_back(text);
        return confirmAnswer;
    }
    void Error(const std::string& text) override { errors.push_back(text); }
};

// A probe that reaches exactly the addresses it was given.
struct FakeProbe : IUrlProbe {
    std::set<std::string> reachable;
    std::vector<std::string> asked;
    // The window probes from threads of its own, several at a time.
    bool IsUrlReachable(const std::string& address) override {
        std::lock_guard lock(mutex);
        asked.push_back(address);
        return reachable.count(address) > 0;
    }
    std::mutex mutex;
};

// A vendor library that records what it was asked and answers as told.
struct FakeVendorLibrary : VendorLibrary {
    std::vector<std::string> calls;
    ProgressHandler onProgress;
    std::string loginUrl;
    int32_t loginVersion = 0;
    void Init(int32_t clientVersionCode, ProgressHandler handler) override {
        calls.push_back("Init " + std::to_string(clientVersionCode));
        onProgress = std::move(handler);
    }
    void LoginIn(int32_t clientVersionCode, const std::string& webBaseUrl) override {
        loginVersion = clientVersionCode;
        loginUrl = webBaseUrl;
    }
    // Refuses every address unless `playAddress` gives one for it.
    bool SetProgramInfo(const std::string& sourceUrl, int32_t, ReplyBuffer& reply) override {
        asked.push_back(sourceUrl);
        const std::optional<std::string> address =
            playAddress ? playAddress(sourceUrl) : std::nullopt;
        if (!address || address->size() >= reply.size())
            return false;
        std::copy(address->begin(), address->end(), reply.begin());
        reply[address->size()] = '\0';
        return true;
    }
    bool GetProgInfo(int32_t, int32_t& percentOut) override {
        if (percent)
            percentOut = *percent;
        return percent.has_value();
    }
    int32_t GetProgError(int32_t) override { return progError; }
    void UnInit() override { calls.push_back("UnInit"); }
    int32_t progError = 0;
    std::optional<int32_t> percent; // of every task; unknown when empty
    std::vector<std::string> asked; // content addresses, in order
    std::function<std::optional<std::string>(const std::string& sourceUrl)> playAddress;
};

// A desktop that records what it was asked; other programs' windows are the ones listed.
struct FakeDesktop : IDesktop {
    std::set<std::pair<std::string, std::string>> windows; // (class, title)
    std::vector<std::string> calls;
    std::function<void()> escape;
    bool WindowExists(const std::string& windowClass, const std::string& title) override {
        return windows.count({windowClass, title}) > 0;
    }
    bool RaiseWindow(const std::string& windowClass, const std::string& title) override {
        calls.push_back("Raise " + windowClass + " " + title);
        return WindowExists(windowClass, title);
    }
    void OpenUrl(const std::string& address) override { calls.push_back("Open " + address); }
    void StartProgram(const std::string& path) override { calls.push_back("Start " + path); }
    bool RegisterEscapeHotKey(std::function<void()> pressed) override {
        calls.push_back("Register Escape");
        escape = std::move(pressed);
        return true;
    }
    void UnregisterEscapeHotKey() override {
        calls.push_back("Unregister Escape");
        escape = nullptr;
    }
};

// Stands for the session bus: the test reaches the window's session through it and counts the
// notices of change.
struct FakeMediaSessionService : MediaSessionService {
    explicit FakeMediaSessionService(int& changes) : changes_(changes) {}
    void SessionChanged() override { ++changes_; }
    int& changes_;
};

struct FakePlatform : Platform {
    RecordingDialogs dialogs;
    FakeProbe probe;
    FakeVendorLibrary vendor;
    bool flashInstalled = true;
    int flashControlsCreated = 0;

    IDialogs& Dialogs() override { return dialogs; }
    IUrlProbe* otherProbe = nullptr; // used instead of `probe` when set
    IUrlProbe& Probe() override { return otherProbe ? *otherProbe : probe; }
    FakeDesktop desktop;
    IDesktop& Desktop() override { return desktop; }
    VendorLibrary& Vendor() override { return vendor; }
    FakeVolume volume;
    IOutputVolume& Volume() override { return volume; }
    std::unique_ptr<FlashControl> CreateFlashControl(QWidget* parent) override {
        if (!flashInstalled)
            return nullptr;
        ++flashControlsCreated;
        return std::make_unique<FakeFlashControl>(parent);
    }
    WebPane* CreateWebPane(QWidget* parent) override { return new PlaceholderWebPane(parent); }
    // Every audio player the window asked for, the released ones included (then dangling).
    std::vector<FakeMediaPlayer*> mediaPlayers;
    MediaPlayer* CreateMediaPlayer(QWidget* parent) override {
        mediaPlayers.push_back(new FakeMediaPlayer(parent));
        return mediaPlayers.back();
    }
    MediaSession* mediaSession = nullptr; // the window's, once published
    int mediaSessionChanges = 0;
    std::unique_ptr<MediaSessionService> PublishMediaSession(MediaSession& session, int) override {
        mediaSession = &session;
        return std::make_unique<FakeMediaSessionService>(mediaSessionChanges);
    }
};

} // namespace luming::test
