#pragma once

#include "catalogue/TKrvPlay.h"
#include "playback/BarGeometry.h"
#include "playback/PlayState.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace luming {

class IFlashControl;
class IMediaPlayer;
class VendorLibrary;

// Plain Flash programmes are taken to run at 12 frames a second.
inline constexpr int32_t kFlashFramesPerSecond = 12;

// What the transport rules see of the window: the position bar, the time and status texts and
// the play button.
class ITransportBar {
public:
    virtual ~ITransportBar() = default;
    virtual BarGeometry Bar() = 0;
    virtual void SetKnobLeft(int left) = 0;
    virtual void SetLoadedWidth(int width) = 0;
    virtual void SetTimeText(const std::string& text) = 0;
    virtual void SetStatusText(const std::string& text) = 0;
    // What the status line stands for in full (its tooltip); a new look clears it.
    virtual void SetStatusDetail(const std::string& detail) = 0;
    // Applies a player state's look (button, hint, status, pause advertisement, bar shown).
    virtual void ShowLook(const PlayStateLook& look) = 0;
    virtual int PlayButtonTag() = 0;
};

// Keeps the current programme going: the play-list tick that follows the player once a second,
// the play button, seeking on the position bar. The programme's start and the choice of the next
// programme belong to the window; this class calls back for them.
class Transport {
public:
    struct Players {
        IFlashControl& flash;
        std::function<IMediaPlayer*()> audio; // the audio player of the moment, or nullptr
        VendorLibrary& vendor;
    };
    struct Actions {
        std::function<void()> playNext; // the end of a programme: the play mode picks the next
        std::function<void()> replay;   // start the current programme again
        // A programme that cannot play has said so for a while: the play list may go on.
        std::function<void()> passOver;
    };

    Transport(ITransportBar& bar, Players players, Actions actions);

    TKrvPlay* CurrentPlay = nullptr;
    bool PlayingLocal = false;
    bool KnobDragging = false;
    int KnobGrabX = 0;

    void SetPlayState(PlayState state);
    // Empties the loaded bar, puts the knob at the start and the time at "00:00/00:00".
    void ResetPosition();
    // The loaded bar for `pos` of `total`: full for a local file, else the vendor's progress.
    void UpdateLoadBar(int32_t pos, int32_t total);
    // The vendor library finished transfer `task`: the current programme's bar fills up.
    void TransferProgress(int32_t task, int32_t percent);

    // One tick of the play-list timer; every error is swallowed.
    void Tick();
    void PlayButtonClick();
    // A click on the loaded bar, `x` measured from the bar's left edge.
    void LoadBarClick(int x);
    void KnobMouseDown(int x);
    void KnobMouseMove(int x);
    void KnobMouseUp();

    // A text programme is on the screen: the play list goes on after `seconds` of reading, which
    // the bar counts like a programme's time and the play button pauses.
    void StartReading(int32_t seconds);
    // The text on the page is read again from its start; false when no reading has begun.
    bool ReadAgain();

    // Shows why the programme cannot play (the button then offers to try again), instead of
    // loading for ever: a plain message on the bar, the player's own text in its tooltip and,
    // once per programme, on standard error. False for no error.
    bool ShowPlayError(const std::string& error);
    // The same for a programme whose download through the vendor library failed for good.
    bool ShowDownloadFailure();
    // A full store is told the moment a write fails, not once the player has run dry: the
    // player is paused there. False while there is room.
    bool ShowStoreFull();

    // Whether the current programme can be sought on the bar (not Flash movies that cannot jump).
    bool CanSeek();

    // The current programme's length and place in milliseconds, as its player knows them now;
    // 0 while unknown.
    int64_t LengthMilliseconds();
    int64_t PositionMilliseconds();
    // Moves the current programme to `milliseconds` (kept within it) when it can seek, the bar
    // with it; a paused programme stays paused. False when it cannot be sought now.
    bool SeekToMilliseconds(int64_t milliseconds);
    // Where the current programme stands, in whole seconds; nothing while nothing plays or its
    // length is not known yet.
    struct Position {
        int32_t seconds = 0;
        int32_t total = 0;
    };
    std::optional<Position> CurrentPosition();
    // The same in whole seconds, and from where it stands (plain Flash by whole frames).
    bool SeekTo(int32_t seconds);
    bool SeekBy(int32_t seconds);

private:
    bool SeekInPlayer(int64_t milliseconds);
    // The loading look, with the share of the programme that has arrived while it comes from
    // the vendor library ("正在装载 37%").
    void ShowLoading();
    void PauseCurrent();
    bool ShowFailure(const std::string& error, bool passOverLater);
    void TickFlash();
    void TickAudio(IMediaPlayer& audio);
    void TickVideo();
    void TickText();
    // The bar of a text being read: playing, "正在阅读", the reading time on the knob and clock.
    void ShowReading();
    void ShowTime(int32_t pos, int32_t total);
    void PlaceKnob(int32_t value, int32_t total);
    struct Reading;
    // A time of the current programme in milliseconds, read from the player of its type (a
    // text's from its reading clock).
    int64_t PlayerMilliseconds(int64_t (IMediaPlayer::*audioTime)(),
                               int32_t (*videoSeconds)(IFlashControl&),
                               int (IFlashControl::*flashFrames)(),
                               int32_t Reading::*readingSeconds);
    // The bar and the time after a jump to `value` of `total` (frames or seconds).
    void ShowSought(int32_t value, int32_t total, int32_t seconds, int32_t totalSeconds);

    ITransportBar& bar_;
    Players players_;
    Actions actions_;
    std::string reportedError_; // the failure already written to standard error
    int errorTicks_ = 0;        // ticks that showed why the current start cannot play
    // The reading time of a text programme: nothing counts until its text is shown.
    struct Reading {
        bool started = false;
        bool paused = false;
        int32_t elapsed = 0;
        int32_t total = 0;
    } reading_;
};

// The state line while a text programme is read.
inline constexpr std::string_view kReadingStatus = "正在阅读";

// "mm:ss/mm:ss" of a position and a total in seconds.
std::string TimeText(int32_t pos, int32_t total);

// The status line of a programme that cannot be played.
std::string LoadErrorStatus(const std::string& error);

// The status line while `percent` of a programme has arrived.
std::string LoadingStatus(int32_t percent);

// How many ticks a programme that cannot play shows why before the play list passes over it.
inline constexpr int kTicksBeforePassingOver = 4;

} // namespace luming
