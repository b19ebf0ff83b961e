#include "app/ProgramEntry.h"
#include "config/FileVersion.h"
#include "platform/HeapPolicy.h"
#include "platform/RealPlatform.h"
#include "platform/Translations.h"
#include "platform/ruffle/RuffleMovie.h"

#include <QApplication>

#include <clocale>
#include <curl/curl.h>
#include <filesystem>

int main(int argc, char** argv) {
    luming::KeepLargeBlocksOutOfTheHeap();
    curl_global_init(CURL_GLOBAL_DEFAULT);
    luming::RegisterRuffleScheme(); // Qt takes schemes only before the application exists
    // The video's OpenGL picture and the web views share one process.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    // Text is UTF-8 throughout; numbers are always read and written the C way.
    std::setlocale(LC_NUMERIC, "C");
    luming::InstallChineseQtTranslations(app);

    luming::EntryOptions options;
    const std::filesystem::path executable = luming::RunningExecutablePath();
    options.appDir = executable.parent_path().string() + "/";
    options.arguments.assign(argv + std::min(argc, 1), argv + argc);
    options.buildNumber = luming::GetBuildNumber();

    int exitCode = 0;
    {
        // Ruffle's files are shipped beside the executable.
        luming::RealPlatform platform(QString::fromStdString(options.appDir + "ruffle"));
        exitCode = luming::RunProgram(app, options, platform);
    }
    curl_global_cleanup();
    return exitCode;
}
