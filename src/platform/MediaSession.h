#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace luming {

enum class MediaStatus { Playing, Paused, Stopped };

// The programme a media session reports. Times are microseconds.
struct MediaTrack {
    std::string id;
    std::string title;
    std::string album;             // the folder it lies in; empty outside the tree
    std::optional<int64_t> length; // while unknown, none
    std::string lyrics;            // the read-along's poem, line by line; empty without one
    bool operator==(const MediaTrack&) const = default;
};

// What the window offers the desktop's media controls (media keys, the desktop's player
// applet): the transport and the volume, and what they show now. Called on the UI thread.
class MediaSession {
public:
    virtual ~MediaSession() = default;

    // The edition's title, as the title bar shows it.
    virtual std::string Identity() = 0;
    virtual void Raise() = 0;

    virtual void PlayPause() = 0;
    virtual void Play() = 0;
    virtual void Pause() = 0;
    virtual void Stop() = 0;
    virtual void Next() = 0;
    virtual void Previous() = 0;
    // Moves the current programme to `position` when it can seek; a place past its end moves
    // on to the next programme.
    virtual void SeekTo(int64_t position) = 0;

    virtual MediaStatus Status() = 0;
    // The programme handed to the player last, or none.
    virtual std::optional<MediaTrack> Track() = 0;
    virtual int64_t Position() = 0;
    virtual bool CanSeek() = 0;
    // 0.0 (silent or muted) .. 1.0.
    virtual double Volume() = 0;
    virtual void SetVolume(double volume) = 0;
};

// The published session. The window tells it whenever status, programme, volume or seeking may
// have changed; it reads them again and tells the desktop what really did.
class MediaSessionService {
public:
    virtual ~MediaSessionService() = default;
    virtual void SessionChanged() = 0;
};

} // namespace luming
