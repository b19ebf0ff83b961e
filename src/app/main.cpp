#include "app/CommandLine.h"
#include "app/EngineFlags.h"
#include "app/EngineMessages.h"
#include "app/ProgramEntry.h"
#include "app/RootStart.h"
#include "app/WindowPlatform.h"
#include "config/FileVersion.h"
#include "platform/HeapPolicy.h"
#include "platform/RealPlatform.h"
#include "platform/Translations.h"
#include "platform/ruffle/RuffleMovie.h"

#include <QApplication>
#include <QLibraryInfo>

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <curl/curl.h>
#include <filesystem>
#include <sstream>
#include <unistd.h>

namespace {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// Qt's platform plugins lie in its own plugin directory and in those of QT_PLUGIN_PATH.
std::vector<std::string> PluginDirectories() {
    std::vector<std::string> directories{QLibraryInfo::path(QLibraryInfo::PluginsPath).toStdString()};
    std::istringstream extra(Environment("QT_PLUGIN_PATH"));
    for (std::string directory; std::getline(extra, directory, ':');)
        if (!directory.empty())
            directories.push_back(directory);
    return directories;
}

// The user's QT_QPA_PLATFORM, given back once Qt has read ours: the programs this one starts
// choose their own.
std::string usersPlatform;

// Sets QT_QPA_PLATFORM for this session before Qt reads it; false when no window can be shown.
bool PrepareWindowPlatform(const std::vector<std::string>& arguments) {
    if (std::find(arguments.begin(), arguments.end(), "-platform") != arguments.end())
        return true; // Qt's own option decides
    const std::vector<std::string> plugins = PluginDirectories();
    luming::WindowSession session;
    session.qpaPlatform = usersPlatform = Environment("QT_QPA_PLATFORM");
    session.waylandDisplay = Environment("WAYLAND_DISPLAY");
    session.x11Display = Environment("DISPLAY");
    session.waylandPlugin = luming::PlatformPluginInstalled(plugins, "libqwayland");
    session.xcbPlugin = luming::PlatformPluginInstalled(plugins, "libqxcb");
    const luming::WindowPlatform choice = luming::ChooseWindowPlatform(session);
    if (!choice.message.empty())
        std::fprintf(stderr, "luming: %s\n", choice.message.c_str());
    if (!choice.platforms.empty())
        setenv("QT_QPA_PLATFORM", choice.platforms.c_str(), 1);
    return choice.canStart;
}

} // namespace

int main(int argc, char** argv) {
    luming::KeepLargeBlocksOutOfTheHeap();
    const std::vector<std::string> given(argv + std::min(argc, 1), argv + argc);
    switch (luming::RequestOf(given)) {
    case luming::CommandRequest::Version:
        std::printf("%s\n", luming::GetFileVersionText().c_str());
        return 0;
    case luming::CommandRequest::Help:
        std::fputs(luming::kUsageText, stdout);
        return 0;
    case luming::CommandRequest::Refused:
        // Before anything is read or written: a mistyped option starts nothing.
        std::fprintf(stderr, "luming: 未知的选项: %s\n%s",
                     luming::UnknownOption(given).c_str(), luming::kUsageText);
        return luming::kUsageErrorStatus;
    case luming::CommandRequest::Run:
        break;
    }
    if (!luming::WantsEngineMessages(given, std::getenv(luming::kVerboseVariable)))
        luming::HoldBackEngineMessages();
    const luming::RootStart rootStart =
        luming::RootStartFor(geteuid() == 0, std::getenv(luming::kSandboxVariable) != nullptr);
    if (rootStart == luming::RootStart::Refused)
        return luming::RefuseRootStart(argc, argv, PrepareWindowPlatform(given));
    if (rootStart == luming::RootStart::WithoutSandbox)
        std::fprintf(stderr, "luming: %s\n", luming::kRootWithoutSandboxText);
    if (!PrepareWindowPlatform(given))
        return 1;
    // Qt joins the accessibility bus when it comes up after the program, but asks the desktop
    // only then whether a screen reader wants it: with this, a reader started later finds the
    // window too.
    setenv("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1", 0);

    luming::EntryOptions options;

    // The edition directory the launcher names; the variable is not handed on to the programs
    // this one starts. The vendor library keeps its store beside itself unless told otherwise:
    // with the edition elsewhere, its store goes there too.
    const std::string override = Environment(luming::kEditionDirVariable);
    std::error_code noWorkingDirectory;
    options.appDir = luming::EditionDirectory(
        override.c_str(), luming::RunningExecutablePath(),
        std::filesystem::current_path(noWorkingDirectory).string());
    unsetenv(luming::kEditionDirVariable);
    if (!override.empty())
        setenv("KESTRIVANE_STORE", (options.appDir + "KestrivaneStore").c_str(), 0);
    options.buildNumber = luming::GetBuildNumber();

    curl_global_init(CURL_GLOBAL_DEFAULT);
    luming::RegisterRuffleScheme(); // Qt takes schemes only before the application exists
    setenv(luming::kEngineFlagsVariable,
           luming::WithRendererPerSite(Environment(luming::kEngineFlagsVariable)).c_str(), 1);
    // The video's OpenGL picture and the web views share one process.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    if (usersPlatform.empty())
        unsetenv("QT_QPA_PLATFORM");
    else
        setenv("QT_QPA_PLATFORM", usersPlatform.c_str(), 1);
    // Text is UTF-8 throughout; numbers are always read and written the C way.
    std::setlocale(LC_NUMERIC, "C");
    luming::InstallChineseQtTranslations(app);
    options.arguments.assign(argv + std::min(argc, 1), argv + argc); // without Qt's own options

    int exitCode = 0;
    {
        // Ruffle's files lie in the edition directory.
        luming::RealPlatform platform(QString::fromStdString(options.appDir + "ruffle"));
        exitCode = luming::RunProgram(app, options, platform);
    }
    curl_global_cleanup();
    return exitCode;
}
