#include "content/PlayRequest.h"

#include "content/ContentError.h"

#include <charconv>
#include <cstring>

namespace luming {

std::string ReplyText(const VendorLibrary::ReplyBuffer& reply) {
    return std::string(reply.data(), strnlen(reply.data(), reply.size()));
}

PlayTicket ParsePlayAddress(std::string_view playUrl) {
    constexpr std::string_view kMarker = "P2P/";
    constexpr std::size_t kExtensionSize = 4;
    const std::size_t marker = playUrl.find(kMarker);
    const std::size_t start = marker == std::string_view::npos ? 0 : marker + kMarker.size();
    int64_t number = 0;
    bool valid = marker != std::string_view::npos && playUrl.size() > start + kExtensionSize;
    if (valid) {
        const std::string_view digits =
            playUrl.substr(start, playUrl.size() - start - kExtensionSize);
        const char* first = digits.data();
        if (digits.size() > 1 && digits.front() == '+' && digits[1] != '-')
            ++first;
        const auto [end, error] = std::from_chars(first, digits.data() + digits.size(), number);
        valid = error == std::errc() && end == digits.data() + digits.size();
    }
    if (!valid)
        throw ContentError("the play address '" + std::string(playUrl) +
                           "' carries no task number");
    return PlayTicket{static_cast<int32_t>(static_cast<uint32_t>(number)), std::string(playUrl)};
}

std::optional<PlayTicket> FetchPlayAddress(VendorLibrary& library, const std::string& sourceUrl,
                                           int32_t id) {
    VendorLibrary::ReplyBuffer reply{};
    if (!library.SetProgramInfo(sourceUrl, id, reply))
        return std::nullopt;
    return ParsePlayAddress(ReplyText(reply));
}

std::optional<std::string> DownloadFailureMessage(VendorLibrary& library, int32_t taskNo) {
    return DownloadFailureText(library.GetProgError(taskNo));
}

std::optional<std::string> DownloadFailureText(int32_t error) {
    switch (error) {
    case 0:
        return std::nullopt;
    case kStoreFullError:
        return "磁盘空间不足";
    default:
        return "节目下载失败";
    }
}

int32_t FlvCurDownloadPercent(VendorLibrary& library, int32_t taskNo) {
    int32_t percent = 0;
    return library.GetProgInfo(taskNo, percent) ? percent : -1;
}

} // namespace luming
