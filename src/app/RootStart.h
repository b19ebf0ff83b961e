#pragma once

namespace luming {

// The web engine (Chromium) keeps its pages in a sandbox that it cannot set up for root, and
// the program shows pages from the network: the vendor's pages, and Flash movies through Ruffle.
// Without the sandbox a flaw in the engine reached through any of them would own the whole
// system, so the program does not start for root and says why. Whoever turns the sandbox off on
// purpose (QTWEBENGINE_DISABLE_SANDBOX, as a test machine does) starts it with a warning.
enum class RootStart { Normal, WithoutSandbox, Refused };
RootStart RootStartFor(bool root, bool sandboxTurnedOff);

inline constexpr const char* kSandboxVariable = "QTWEBENGINE_DISABLE_SANDBOX";
inline constexpr const char* kRootRefusedText =
    "本程序不能以 root（系统管理员）身份运行：它要显示网络上的网页，而以 root 身份运行时，"
    "网页引擎无法启用保护系统的沙箱。请以普通用户身份重新启动。";
inline constexpr const char* kRootWithoutSandboxText =
    "正以 root 身份运行，网页引擎的沙箱已按 QTWEBENGINE_DISABLE_SANDBOX 关闭：网页中的漏洞可能"
    "危及整个系统。";

// Says on standard error why the program does not start, and in a message box when a window
// can be shown (`windowPlatformReady`, and the display answers). Returns the exit status, 1.
int RefuseRootStart(int argc, char** argv, bool windowPlatformReady);

} // namespace luming
