#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace luming {

// The movie could not answer a request: no such callback, no movie loaded, a broken reply.
class FlashCallError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The Flash control `ShockwaveFlash1` as the playback rules use it. The player movie
// (a movie named "flvplayer.swf") plays videos and answers invoke requests; any other movie is a
// plain Flash programme with frames. Getters answer at once from what the control knows now.
class IFlashControl {
public:
    virtual ~IFlashControl() = default;

    // Runs an ExternalInterface request (XML "invoke" text) in the movie and returns its reply
    // (XML). Throws FlashCallError when the movie cannot answer it.
    virtual std::string CallFunction(const std::string& request) = 0;

    // Parameters of the next movie ("name=value&..."), set before Movie.
    virtual void SetFlashVars(const std::string& flashVars) = 0;
    // Loads a movie (a path or an address); it replaces whatever the control showed.
    virtual void SetMovie(const std::string& movie) = 0;
    virtual void SetLoop(bool loop) = 0;
    // 2: exact fit (the movie fills the control).
    virtual void SetScaleMode(int mode) = 0;
    // 0x00RRGGBB.
    virtual void SetBackgroundColor(int color) = 0;

    // 4 when the movie is completely loaded.
    virtual int ReadyState() = 0;
    virtual int TotalFrames() = 0;
    // The current frame, 1-based, for the end-of-programme test...
    virtual int FrameNum() = 0;
    // ...and for the display.
    virtual int CurrentFrame() = 0;
    virtual bool IsPlaying() = 0;
    virtual void Play() = 0;
    virtual void Stop() = 0;
    virtual void GotoFrame(int frame) = 0;
    // False when the movie cannot jump to a frame (ActionScript 3 programmes): the bar then does
    // not pretend to seek.
    virtual bool CanGotoFrame() = 0;

    // Why the current movie could not be played (missing file, refused by its server, not a
    // Flash movie); empty while all is well.
    virtual std::string LoadError() = 0;
};

// The device can not open or play its file.
class MediaError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The modes of a media device, as its Mode query reports them.
enum class MediaMode { NotReady, Stopped, Playing, Recording, Seeking, Paused, Open };

// The hidden audio player `AudioPlayer`: a media device that opens one file or address at a
// time. Times are milliseconds.
class IMediaPlayer {
public:
    virtual ~IMediaPlayer() = default;

    virtual void SetFileName(const std::string& fileName) = 0;
    virtual std::string FileName() const = 0;
    // The device type is chosen from the file itself.
    virtual void SetAutomaticDeviceType() = 0;
    // Opens FileName, closing a device that is still open first. Throws MediaError when there is
    // nothing to open.
    virtual void Open() = 0;
    virtual void Play() = 0;
    virtual void Stop() = 0;
    // Pauses a playing device, resumes a paused one.
    virtual void Pause() = 0;
    // Does nothing for a device that cannot eject, such as a file.
    virtual void Eject() = 0;

    virtual MediaMode Mode() = 0;
    // Playing, but waiting for bytes: a download that is slow or tries again.
    virtual bool Waiting() = 0;
    virtual void SetTimeFormatMilliseconds() = 0;
    // 0 while the length is not yet known.
    virtual int64_t Length() = 0;
    virtual int64_t Position() = 0;
    virtual void SetPosition(int64_t position) = 0;

    // Why the open file could not be played; empty while all is well.
    virtual std::string LoadError() = 0;
};

// The program's output volume, in the packed form of a stereo device volume: the left channel
// in the low 16 bits, the right in the high 16 bits, 0..0xFFFF each.
class IOutputVolume {
public:
    virtual ~IOutputVolume() = default;
    virtual uint32_t GetVolume() = 0;
    virtual void SetVolume(uint32_t volume) = 0;
};

} // namespace luming
