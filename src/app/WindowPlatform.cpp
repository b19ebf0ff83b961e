#include "app/WindowPlatform.h"

#include <filesystem>

namespace luming {

namespace {

constexpr char kWayland[] = "wayland";
constexpr char kXcb[] = "xcb";
constexpr char kInstallWayland[] = "请安装软件包 qt6-wayland。";

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

WindowPlatform OnX11Instead(const WindowSession& session, const std::string& why) {
    if (!session.x11Display.empty() && session.xcbPlugin)
        return {kXcb, why + "改经 X11（XWayland）显示窗口。", true};
    return {{}, why + "无法显示窗口。" + kInstallWayland, false};
}

} // namespace

WindowPlatform ChooseWindowPlatform(const WindowSession& session) {
    const std::string missingWayland = "缺少 Qt 的 Wayland 平台插件（软件包 qt6-wayland），";
    if (!session.qpaPlatform.empty()) {
        // The user's choice, unless it is Wayland alone and Wayland cannot be had.
        if (StartsWith(session.qpaPlatform, kWayland) && !session.waylandPlugin &&
            session.qpaPlatform.find(';') == std::string::npos)
            return OnX11Instead(session, missingWayland);
        return {};
    }
    if (!session.waylandDisplay.empty()) {
        if (session.waylandPlugin)
            return {std::string(kWayland) + ";" + kXcb, {}, true};
        return OnX11Instead(session, missingWayland);
    }
    if (!session.x11Display.empty())
        return {kXcb, {}, true};
    return {{}, "没有可用的图形桌面（DISPLAY 和 WAYLAND_DISPLAY 都未设置），无法显示窗口。", false};
}

bool PlatformPluginInstalled(const std::vector<std::string>& pluginDirectories,
                             const std::string& fileStem) {
    namespace fs = std::filesystem;
    for (const std::string& directory : pluginDirectories) {
        std::error_code error;
        for (fs::directory_iterator entry(fs::path(directory) / "platforms", error), end;
             !error && entry != end; entry.increment(error)) {
            const std::string name = entry->path().filename().string();
            if (StartsWith(name, fileStem) && entry->path().extension() == ".so")
                return true;
        }
    }
    return false;
}

} // namespace luming
