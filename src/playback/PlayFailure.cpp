#include "playback/PlayFailure.h"

#include "config/TextCase.h"

namespace luming {

namespace {

bool StartsWithChinese(std::string_view text) {
    return !text.empty() && static_cast<unsigned char>(text.front()) >= 0x80;
}

bool Names(std::string_view lowerText, std::initializer_list<std::string_view> words) {
    for (std::string_view word : words)
        if (lowerText.find(word) != std::string_view::npos)
            return true;
    return false;
}

} // namespace

PlayFailure DescribePlayFailure(std::string_view playerText, bool local) {
    PlayFailure failure{{}, std::string(playerText)};
    if (StartsWithChinese(playerText)) {
        // "无法播放这种 Flash 动画 (unsupported …)": the Chinese part is the message.
        failure.message = std::string(playerText.substr(0, playerText.find(" (")));
        return failure;
    }
    const std::string lower = LowerAscii(playerText);
    if (Names(lower, {"no file to open", "no address"}))
        failure.message = kNoAddressMessage;
    else if (Names(lower, {"output initialization", "render context", "no player"}))
        failure.message = kNoPlayerMessage;
    else
        failure.message = local ? kCannotOpenMessage : kDownloadFailedMessage;
    return failure;
}

} // namespace luming
