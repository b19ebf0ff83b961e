#include "app/ProgramEntry.h"

#include "app/CommandLine.h"
#include "config/DataModule.h"
#include "config/Dialogs.h"
#include "config/EditionTable.h"
#include "config/Settings.h"
#include "platform/Platform.h"
#include "platform/SingleInstanceGuard.h"
#include "platform/TerminationSignals.h"
#include "shell/TfrmMain.h"

#include <QApplication>

#include <csignal>
#include <cstring>
#include <iostream>

namespace luming {

int RunProgram(QApplication& app, const EntryOptions& options, Platform& platform) {
    Settings settings;
    settings.EditionNo = options.buildNumber;

    // No application display name: the desktop would append it to every caption, and a message
    // box's caption is "提示" and nothing more.
    const EditionRow& edition = EditionFor(settings.EditionNo);

    SingleInstanceGuard guard(QString::fromLatin1(edition.key),
                              QString::fromStdString(options.lockDirectory));
    if (!guard.TryBecomeFirst()) {
        // Another copy of this edition runs: bring it forward and end without touching anything.
        guard.AskRunningCopyToShow();
        return 0;
    }

    // A logout or a service stop ends the program as its close button does, without asking:
    // the child's place and the settings are kept, the web engine's processes end with it.
    TerminationSignals endingSignals;
    QObject::connect(&endingSignals, &TerminationSignals::received, &app, [&app](int signalNumber) {
        std::cerr << "luming: SIG" << sigabbrev_np(signalNumber) << ", ending" << std::endl;
        app.quit();
    });

    settings.StartHidden = IsHiddenStart(options.arguments);
    if (settings.StartHidden)
        QGuiApplication::setQuitOnLastWindowClosed(false);

    // Without a Flash control the program cannot play; it says so, still builds its settings and
    // window as a normal start does, and ends before the window is shown.
    bool terminate = false;
    if (!FlashAvailable(platform)) {
        platform.Dialogs().Plain(kFlashMissingMessage);
        terminate = true;
    }

    TDataModule1 dataModule(options.appDir, settings);
    dataModule.DataModuleCreate();

    TfrmMain mainWindow(settings, platform);
    QObject::connect(&guard, &SingleInstanceGuard::showRequested, &mainWindow,
                     &TfrmMain::BringForward);
    if (terminate)
        return 0;

    if (!settings.StartHidden)
        mainWindow.show();
    return app.exec();
}

} // namespace luming
