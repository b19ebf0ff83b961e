#pragma once

#include <string>

// Why a plain Flash movie cannot be played, as the program tells the user.
namespace luming::texts {

inline const std::string kMissing = "找不到节目文件";
inline const std::string kRefused = "节目服务器拒绝了请求";
inline const std::string kNotFlash = "节目不是 Flash 动画";
inline const std::string kUnsupported = "无法播放这种 Flash 动画";
inline const std::string kPlayerFailed = "Flash 动画无法播放";
inline const std::string kDownloadFailed = "节目下载失败";

} // namespace luming::texts
