#pragma once

#include <string>
#include <vector>

namespace luming {

// True when the first argument (after the program name), in lower case, is "-start": the
// program then starts with its window hidden. "-start" anywhere else is ignored.
bool IsHiddenStart(const std::vector<std::string>& argumentsAfterProgram);

// What the command line asks for: the program, or only its version or usage printed (no window,
// no single-instance check), or nothing but the usage on standard error (Refused) for an option
// the program does not know, whatever else is asked. Otherwise "--help" or "-h" anywhere asks
// for the usage, else "--version" anywhere for the version.
enum class CommandRequest { Run, Version, Help, Refused };
CommandRequest RequestOf(const std::vector<std::string>& argumentsAfterProgram);

// The first option (an argument beginning with "-") that is neither the program's own ("-start"
// in any letter case, "--verbose", "--version", "--help", "-h") nor one of those Qt takes
// (e.g. "-platform xcb", "--style=fusion"); empty when there is none. Other arguments are not
// options and are passed over.
std::string UnknownOption(const std::vector<std::string>& argumentsAfterProgram);

// The exit status for a refused command line, as for other programs' usage errors.
inline constexpr int kUsageErrorStatus = 2;

// The environment variable that names the edition directory (the launcher sets it).
inline constexpr const char* kEditionDirVariable = "LUMING_EDITION_DIR";

// The messages of the engines (web engine, player, sound system) go to standard error too when
// "--verbose" is given anywhere, or when this variable is set to anything but "" and "0".
inline constexpr const char* kVerboseVariable = "LUMING_VERBOSE";
bool WantsEngineMessages(const std::vector<std::string>& argumentsAfterProgram,
                         const char* verboseVariable);

// The usage `luming --help` prints.
inline constexpr const char* kUsageText =
    "用法: luming [-start] [--verbose]\n"
    "  -start      启动时不显示窗口（记住的节目照常开始播放）\n"
    "  --verbose   标准错误输出也显示网页引擎、播放器和声音系统的消息\n"
    "  --version   显示版本后退出\n"
    "  --help      显示本说明后退出\n"
    "环境变量 LUMING_EDITION_DIR: 版本目录（设置、缓存和下载所在的目录），\n"
    "  默认为程序文件所在的目录。\n"
    "环境变量 LUMING_VERBOSE=1: 同 --verbose。\n";

// The edition directory, ending with "/": `override` (LUMING_EDITION_DIR) when it is set and not
// empty, made absolute against `workingDirectory`; else the directory of `executablePath`.
std::string EditionDirectory(const char* override, const std::string& executablePath,
                             const std::string& workingDirectory);

} // namespace luming
