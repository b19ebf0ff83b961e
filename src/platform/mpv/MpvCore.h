#pragma once

#include <QObject>

#include <atomic>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

struct mpv_handle;
struct mpv_event;

namespace luming {

// libmpv options as name/value pairs, applied after our own (a later one wins).
using MpvOptions = std::vector<std::pair<std::string, std::string>>;

// What the players know about the file mpv plays, kept up to date from mpv's events so that
// every getter answers at once without asking mpv.
struct MpvPlayback {
    bool active = false; // a file was given and not stopped since
    bool loaded = false; // mpv has opened it
    std::string error;   // why it could not be opened; empty while fine
    double position = 0; // seconds
    double duration = 0; // seconds, 0 while unknown
    bool paused = false;
    bool ended = false;   // kept open at its last frame
    bool coreIdle = true; // waiting for data (loading, buffering, seeking)
};

// One libmpv player: a handle created with our options, the properties the players need
// observed, and its events drained on the UI thread (queued from mpv's wakeup callback).
// Commands that may wait on playback (seek, pause, volume) are sent asynchronously.
class MpvCore : public QObject {
    Q_OBJECT
public:
    // nullptr when libmpv cannot be created. An option mpv does not know is left out (warned).
    static std::unique_ptr<MpvCore> Create(const MpvOptions& options);
    // True when a libmpv handle can be created here (it is freed at once).
    static bool Available();
    ~MpvCore() override;

    mpv_handle* Handle() const { return mpv_; }
    const MpvPlayback& Playback() const { return playback_; }

    // Replaces what plays with `file` (a path or an address), paused or not.
    void Load(const std::string& file, bool paused);
    // Ends the file; the player is empty again.
    void Stop();
    void SetPaused(bool paused);
    // Absolute, in seconds.
    void Seek(double seconds);
    // From the start, playing (after the end of the file).
    void Restart();
    void SetVolume(double percent);
    void SetProperty(const char* name, const std::string& value);
    // Runs a command without waiting for it.
    void Command(std::initializer_list<const char*> words, uint64_t tag = 0);

signals:
    // The playback state changed (one or more events were drained).
    void changed();

private:
    explicit MpvCore(mpv_handle* mpv);
    static void OnWakeup(void* self);
    void Drain();
    void Apply(const mpv_event& event);

    mpv_handle* mpv_;
    MpvPlayback playback_;
    int64_t entry_ = -1; // mpv's playlist entry of the current file
    bool entryStarted_ = false;
    int64_t restartEntry_ = -1;         // the file Restart's seek was for
    std::optional<double> pendingSeek_; // asked for before the file was open
    std::atomic<bool> drainQueued_ = false;
};

} // namespace luming
