#pragma once

#include "catalogue/TKrvPlay.h"
#include "playback/PlayStart.h"

#include <optional>
#include <string>
#include <string_view>

namespace luming {

// A programme's read-along file has the programme's own name with this extension.
inline constexpr std::string_view kReadAlongExt = ".lrc";

// The read-along file beside a programme's local copy, found as the programme is: the cache
// file CacheDir/<channel>/<Id>.lrc, else the download file DownloadDir/<Name>.lrc; nothing when
// neither exists (or the id or name could name a file elsewhere).
std::optional<std::string> LocalReadAlong(const TKrvPlay& play, const std::string& cacheDir,
                                          int channel, const std::string& downloadDir,
                                          const FileExists& exists);

// The read-along file on the vendor's server: the programme's content address with ".lrc" for
// its extension. Throws ContentError for an id that is not a whole number; nothing for a type
// that plays no programme (folders, archives).
std::optional<std::string> VendorReadAlongAddress(std::string_view downloadBaseUrl,
                                                  const TKrvPlay& play);

// Whether a programme of this type can have a read-along: audio, text and video programmes.
bool TakesReadAlong(std::string_view fileType);

} // namespace luming
