#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace luming {

class IFlashControl;

// The requests the player movie answers, character for character.
inline constexpr std::string_view kPlayPauseRequest =
    "<invoke name=\"sendEvent\"><arguments><string>playpause</string></arguments></invoke>";
inline constexpr std::string_view kDurationRequest = "<invoke name=\"getDuration\"></invoke>";
inline constexpr std::string_view kPositionRequest = "<invoke name=\"getPosition\"></invoke>";
inline constexpr std::string_view kPlayStateRequest = "<invoke name=\"getPlayState\"></invoke>";
std::string SeekRequest(int32_t seconds);

// Play states the movie reports; any other number (-1 included) means "no change".
// Buffering: loading, or waiting for bytes that are still on their way.
enum FlvPlayState : int { kFlvStopped = 0, kFlvPlaying = 1, kFlvPaused = 2, kFlvBuffering = 3 };

// The reply lower-cased, with every "<number>" and then every "</number>" removed.
std::string StripNumberTags(std::string_view reply);

// The whole number a reply carries (rounded, halves to even), or `fallback` when the reply is no
// number element.
int32_t ReplyNumber(std::string_view reply, int32_t fallback);

// The player movie's operations. Events drop every error; the getters fall back to 0, 0 and -1.
void FlvPlayPause(IFlashControl& flash);
void FlvSeek(IFlashControl& flash, int32_t seconds);
int32_t FlvGetDuration(IFlashControl& flash);
int32_t FlvGetPosition(IFlashControl& flash);
int32_t FlvGetPlayState(IFlashControl& flash);

} // namespace luming
