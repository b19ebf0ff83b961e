#pragma once

#include <string>
#include <string_view>

namespace luming {

// Why a programme cannot play, in the words a parent reads on the bar, and the player's own
// words for whoever reports the fault.
struct PlayFailure {
    std::string message; // plain Chinese: 没有节目地址, 节目下载失败, 节目文件无法打开 …
    std::string detail; // what the player said, as it said it
};

inline constexpr std::string_view kNoAddressMessage = "没有节目地址";
inline constexpr std::string_view kDownloadFailedMessage = "节目下载失败";
inline constexpr std::string_view kCannotOpenMessage = "节目文件无法打开";
inline constexpr std::string_view kNoPlayerMessage = "本机无法播放此类节目";

// Turns a player's failure text into a message. A text that is already Chinese stands (without
// any English explanation it carries in brackets); an English one becomes one of the messages
// above, by what it names and by whether the programme is a local file (`local`) or comes from
// the vendor.
PlayFailure DescribePlayFailure(std::string_view playerText, bool local);

} // namespace luming
