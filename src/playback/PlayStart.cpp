#include "playback/PlayStart.h"

#include "content/ContentAddress.h"
#include "content/LocalFile.h"

namespace luming {

std::optional<std::string> LocalCopy(const TKrvPlay& play, const std::string& cacheDir, int channel,
                                     const std::string& downloadDir, const FileExists& exists) {
    const std::string_view ext = GetFileExt(play.FileType);
    for (auto candidate : {SafeLocalFile(cacheDir + std::to_string(channel) + "/", play.Id, ext),
                           SafeLocalFile(downloadDir, play.Name, ext)})
        if (candidate && exists(*candidate))
            return candidate;
    return std::nullopt;
}

std::string VideoFlashVars(std::string_view source) {
    return "file=" + std::string(source) +
           "&overstretch=true&showdigits=true&autostart=true&showplayerbar=true" +
           "&callback=true&enablejs=true&streamscript=http://";
}

std::string AudioPageAddress(std::string_view mp3PageUrl, int channel) {
    return std::string(mp3PageUrl) + "_" + std::to_string(channel) + ".html";
}

bool LeavesFullScreen(std::string_view current, std::string_view next) {
    if (current == "1")
        return next == "2" || next == "3" || next == "4";
    if (current == "4")
        return next == "2" || next == "3" || next == "1";
    return false;
}

} // namespace luming
