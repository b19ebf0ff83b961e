#pragma once

#include "catalogue/TKrvPlay.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace luming {

// The player movie and the blank movie that clears the Flash control, beside the executable.
inline constexpr std::string_view kPlayerMovie = "flvplayer.swf";
inline constexpr std::string_view kBlankMovie = "flvplayer.swf?file=0.swf";

using FileExists = std::function<bool(const std::string& path)>;

// The local copy a programme plays from: the cache file CacheDir/<channel>/<Id><ext>, else the
// download file DownloadDir/<Name><ext>; nothing when neither exists (or the id or name could
// name a file elsewhere).
std::optional<std::string> LocalCopy(const TKrvPlay& play, const std::string& cacheDir, int channel,
                                     const std::string& downloadDir, const FileExists& exists);

// The player movie's parameters for a video from `source`; nothing in it is escaped.
std::string VideoFlashVars(std::string_view source);

// The audio page of a channel: Mp3PageUrl + "_" + channel + ".html".
std::string AudioPageAddress(std::string_view mp3PageUrl, int channel);

// Whether starting a programme of type `next` after one of type `current` leaves full screen: a
// Flash movie's full screen is the window's, a video's the player movie's own.
bool LeavesFullScreen(std::string_view current, std::string_view next);

} // namespace luming
