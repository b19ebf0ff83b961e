#include "playback/ReadAlongSource.h"

#include "content/ContentAddress.h"
#include "content/LocalFile.h"

namespace luming {

std::optional<std::string> LocalReadAlong(const TKrvPlay& play, const std::string& cacheDir,
                                          int channel, const std::string& downloadDir,
                                          const FileExists& exists) {
    for (auto candidate :
         {SafeLocalFile(cacheDir + std::to_string(channel) + "/", play.Id, kReadAlongExt),
          SafeLocalFile(downloadDir, play.Name, kReadAlongExt)})
        if (candidate && exists(*candidate))
            return candidate;
    return std::nullopt;
}

std::optional<std::string> VendorReadAlongAddress(std::string_view downloadBaseUrl,
                                                  const TKrvPlay& play) {
    if (!TakesReadAlong(play.FileType))
        return std::nullopt;
    std::string address = SourceUrlFor(downloadBaseUrl, play.Id, play.FileType);
    address.resize(address.size() - GetFileExt(play.FileType).size());
    return address + std::string(kReadAlongExt);
}

bool TakesReadAlong(std::string_view fileType) {
    const std::string_view ext = GetFileExt(fileType);
    return ext == ".mp3" || ext == ".txt" || ext == ".flv";
}

} // namespace luming
