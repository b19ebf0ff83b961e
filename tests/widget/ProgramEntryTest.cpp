#include "app/ProgramEntry.h"
#include "config/IniFile.h"
#include "platform/SingleInstanceGuard.h"
#include "platform/Translations.h"
#include "shell/TfrmMain.h"
#include "support/FakePlatform.h"
#include "support/TempDir.h"

#include <QApplication>
#include <QTimer>

#include <fstream>

#include <gtest/gtest.h>

using namespace luming;
using luming::test::FakePlatform;
using luming::test::TempDir;
namespace fs = std::filesystem;

namespace {

EntryOptions OptionsFor(const TempDir& temp, std::vector<std::string> arguments = {}) {
    fs::create_directories(temp.path() / "suite" / "26");
    fs::create_directories(temp.path() / "suite" / "Config");
    std::ofstream(temp.path() / "suite" / "Config" / "Source.ini");
    EntryOptions options;
    options.appDir = (temp.path() / "suite" / "26").string() + "/";
    options.arguments = std::move(arguments);
    options.buildNumber = 26;
    options.lockDirectory = temp.path().string();
    return options;
}

TfrmMain* FindMainWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* window = qobject_cast<TfrmMain*>(widget))
            return window;
    return nullptr;
}

} // namespace

TEST(ProgramEntry, WithoutFlashItSaysSoOnceAndEnds) {
    TempDir temp;
    FakePlatform platform;
    platform.flashInstalled = false;
    const EntryOptions options = OptionsFor(temp);

    EXPECT_EQ(RunProgram(*qApp, options, platform), 0);
    EXPECT_EQ(platform.dialogs.plain,
              std::vector<std::string>{"您的系统还没有安装对Flash的支持，请安装后重试。"});
    EXPECT_EQ(FindMainWindow(), nullptr);
    // The settings were still prepared, as a normal start does.
    EXPECT_TRUE(fs::exists(options.appDir + "Config/local.ini"));
}

TEST(ProgramEntry, ANormalStartShowsTheBorderlessWindow) {
    TempDir temp;
    FakePlatform platform;
    bool checked = false;
    QTimer::singleShot(0, [&] {
        TfrmMain* window = FindMainWindow();
        ASSERT_NE(window, nullptr);
        EXPECT_TRUE(window->isVisible());
        EXPECT_EQ(window->objectName(), "TfrmMain");
        EXPECT_EQ(window->windowTitle(), QStringLiteral("鹿鸣果儿童古诗精选"));
        EXPECT_EQ(window->FrameMaximized, 1) << "the window starts maximised";
        EXPECT_TRUE(window->windowFlags() & Qt::FramelessWindowHint);
        EXPECT_EQ(QGuiApplication::applicationDisplayName(), QGuiApplication::applicationName())
            << "none set: the desktop would append it to the message boxes' caption 提示";
        checked = true;
        qApp->quit();
    });
    EXPECT_EQ(RunProgram(*qApp, OptionsFor(temp), platform), 0);
    EXPECT_TRUE(checked);
    EXPECT_EQ(platform.flashControlsCreated, 2) << "one for the Flash check, one for the player";
}

TEST(ProgramEntry, AHiddenStartKeepsTheWindowHiddenUntilAnotherStartAsksForIt) {
    TempDir temp;
    FakePlatform platform;
    const EntryOptions options = OptionsFor(temp, {"-START"});
    bool hiddenAtFirst = false;
    bool broughtForward = false;
    std::thread second;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        TfrmMain* window = FindMainWindow();
        if (!window)
            return;
        if (!second.joinable()) {
            hiddenAtFirst = !window->isVisible();
            second = std::thread([&] {
                SingleInstanceGuard other("poetry", QString::fromStdString(options.lockDirectory));
                EXPECT_FALSE(other.TryBecomeFirst());
                EXPECT_TRUE(other.AskRunningCopyToShow());
            });
        } else if (window->isVisible() && !broughtForward) {
            broughtForward = true;
            window->close(); // the system close (Alt+F4) ends the program, hidden start or not
        }
    });
    poll.start(10);
    bool bound = false;
    QTimer::singleShot(10000, qApp, [&] { // a bound, should the end never come
        bound = true;
        qApp->quit();
    });
    EXPECT_EQ(RunProgram(*qApp, options, platform), 0);
    poll.stop();
    if (second.joinable())
        second.join();
    EXPECT_FALSE(bound) << "the close ended the program";
    EXPECT_TRUE(hiddenAtFirst);
    EXPECT_TRUE(broughtForward) << "the hidden window was never brought forward";
}

TEST(ProgramEntry, ASecondStartOfTheSameEditionTouchesNothing) {
    TempDir temp;
    const EntryOptions options = OptionsFor(temp);
    SingleInstanceGuard running("poetry", QString::fromStdString(options.lockDirectory));
    ASSERT_TRUE(running.TryBecomeFirst());

    FakePlatform platform;
    EXPECT_EQ(RunProgram(*qApp, options, platform), 0);
    EXPECT_FALSE(fs::exists(options.appDir + "Config")) << "no settings read or written";
    EXPECT_EQ(platform.flashControlsCreated, 0);
    EXPECT_EQ(FindMainWindow(), nullptr);
}

TEST(ProgramEntry, QtsOwnButtonsSpeakChinese) {
    ASSERT_TRUE(luming::InstallChineseQtTranslations(*qApp)) << "qt6-translations-l10n missing";
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "OK"), QStringLiteral("确定"));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("取消"));
}
