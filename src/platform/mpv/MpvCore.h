#pragma once

#include <QObject>

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <initializer_list>
#include <map>
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
// No request waits for mpv. When the UI thread also draws the picture, mpv's video output waits
// for that drawing, so a request that waited for the core on this thread held both up until mpv
// gave up (200 ms at every programme); and since mpv may reorder requests that do not wait, each
// is then sent once mpv has answered the one before it. A player without a picture sends them
// at once (answers come back through the UI thread, which may be busy when a programme starts).
class MpvCore : public QObject {
    Q_OBJECT
public:
    // nullptr when libmpv cannot be created. An option mpv does not know is left out (warned).
    static std::unique_ptr<MpvCore> Create(const MpvOptions& options,
                                           bool pictureDrawnOnThisThread = false);
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
    // Runs a command after the requests before it.
    void Command(std::initializer_list<const char*> words);

signals:
    // The playback state changed (one or more events were drained).
    void changed();

private:
    MpvCore(mpv_handle* mpv, bool oneRequestAtATime);
    static void OnWakeup(void* self);
    void Drain();
    void Apply(const mpv_event& event);

    // A request to mpv, sent with the reply tag it is given; a negative result is mpv's error.
    struct Request {
        std::function<int(uint64_t replyTag)> send;
        uint64_t tag = 0;    // what its answer means to Apply
        uint64_t loadNo = 0; // the Load it belongs to
    };
    void Send(std::function<int(uint64_t replyTag)> send, uint64_t tag = 0);
    void SendNext();
    void Answered(const mpv_event& event);
    void SetFlag(const char* name, bool value); // `name` lives as long as the program
    void SendCommand(std::vector<std::string> words, uint64_t tag = 0);

    mpv_handle* mpv_;
    MpvPlayback playback_;
    const bool oneRequestAtATime_;
    std::deque<Request> requests_;           // not sent yet
    std::map<uint64_t, Request> unanswered_; // sent, by reply tag
    uint64_t nextReply_;
    uint64_t loads_ = 0;       // Load and Stop calls so far: the newest one counts
    int64_t entry_ = -1;       // mpv's playlist entry of the current file
    int64_t lastStarted_ = -1; // the entry mpv started last
    bool entryStarted_ = false;
    std::optional<double> pendingSeek_; // asked for before the file was open
    std::atomic<bool> drainQueued_ = false;
};

} // namespace luming
