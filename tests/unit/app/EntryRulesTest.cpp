#include "app/CommandLine.h"
#include "app/EngineFlags.h"
#include "app/EngineMessages.h"
#include "app/WindowPlatform.h"
#include "config/EditionTable.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <unistd.h>

using namespace luming;

TEST(EditionTable, EachBuildHasItsRowAndEveryOtherTheDefault) {
    EXPECT_STREQ(EditionFor(26).title, "鹿鸣果儿童古诗精选");
    const EditionRow& fallback = EditionFor(27);
    EXPECT_EQ(&EditionFor(0), &fallback);
    EXPECT_EQ(&EditionFor(-1), &fallback);

    std::set<std::string> keys;
    for (int build : {21, 22, 23, 24, 25, 26, 0}) {
        const std::string key = EditionFor(build).key;
        EXPECT_GE(key.size(), 4u);
        EXPECT_LE(key.size(), 7u);
        for (char c : key)
            EXPECT_TRUE(c >= 'a' && c <= 'z') << key;
        keys.insert(key);
    }
    EXPECT_EQ(keys.size(), 7u) << "each edition needs a lock of its own";
}

TEST(CommandLine, OnlyTheFirstArgumentCanAskForAHiddenStart) {
    EXPECT_FALSE(IsHiddenStart({}));
    EXPECT_TRUE(IsHiddenStart({"-start"}));
    EXPECT_TRUE(IsHiddenStart({"-START", "x"}));
    EXPECT_FALSE(IsHiddenStart({"x", "-start"}));
    EXPECT_FALSE(IsHiddenStart({"-started"}));
    EXPECT_FALSE(IsHiddenStart({"start"}));
}

TEST(CommandLine, VersionAndHelpAreAskedForAnywhereAndHelpWins) {
    EXPECT_EQ(RequestOf({}), CommandRequest::Run);
    EXPECT_EQ(RequestOf({"-start"}), CommandRequest::Run);
    EXPECT_EQ(RequestOf({"--version"}), CommandRequest::Version);
    EXPECT_EQ(RequestOf({"-start", "--version"}), CommandRequest::Version);
    EXPECT_EQ(RequestOf({"-h"}), CommandRequest::Help);
    EXPECT_EQ(RequestOf({"--version", "--help"}), CommandRequest::Help);
    EXPECT_EQ(RequestOf({"--versions", "-version"}), CommandRequest::Refused);
}

TEST(CommandLine, AnOptionNeitherOursNorQtsIsRefusedBeforeAnythingElse) {
    EXPECT_EQ(UnknownOption({"-v"}), "-v");
    EXPECT_EQ(UnknownOption({"-start", "--bogus", "-x"}), "--bogus");
    EXPECT_EQ(RequestOf({"--help", "--bogus"}), CommandRequest::Refused);
    EXPECT_EQ(RequestOf({"--version", "-V"}), CommandRequest::Refused);
    EXPECT_EQ(UnknownOption({"--verbose=1"}), "--verbose=1");
    // Ours, in the cases the program takes them; words that are not options pass.
    EXPECT_EQ(UnknownOption({"-START", "--verbose", "-h", "file.swf", "-"}), "");
    // Qt's own, with their values as the next word or after "=".
    EXPECT_EQ(UnknownOption({"-platform", "xcb", "--style=fusion", "-reverse"}), "");
    EXPECT_EQ(UnknownOption({"-display", "-bogus"}), "") << "a value, not an option";
    EXPECT_EQ(UnknownOption({"-reverse=1"}), "-reverse=1");
    EXPECT_EQ(RequestOf({"-platform", "offscreen", "-start"}), CommandRequest::Run);
}

TEST(CommandLine, TheEnginesMessagesAreAskedForByTheOptionOrTheVariable) {
    EXPECT_FALSE(WantsEngineMessages({"-start"}, nullptr));
    EXPECT_FALSE(WantsEngineMessages({}, ""));
    EXPECT_FALSE(WantsEngineMessages({}, "0"));
    EXPECT_FALSE(WantsEngineMessages({"-verbose"}, nullptr));
    EXPECT_TRUE(WantsEngineMessages({"-start", "--verbose"}, nullptr));
    EXPECT_TRUE(WantsEngineMessages({}, "1"));
}

// Lines as the engines and the program wrote them on this machine, and a long one of the
// program's own that arrives in several reads.
TEST(EngineFlags, OneRendererPerSiteIsAddedOnceAndTheUsersOptionsStay) {
    EXPECT_EQ(WithRendererPerSite(""), "--process-per-site");
    EXPECT_EQ(WithRendererPerSite("--enable-logging --v=1"),
              "--enable-logging --v=1 --process-per-site");
    EXPECT_EQ(WithRendererPerSite("--process-per-site --v=1"), "--process-per-site --v=1");
}

TEST(EngineMessages, OnlyTheProgramsOwnLinesPass) {
    const std::string own = "luming: " + std::string(10000, 'x') + "\n";
    const std::string written =
        "qt.webenginecontext:\n\nGL Type: desktop\nSurface Type: OpenGL\n"
        "luming: 春晓: 节目下载失败\n"
        "[1204:1204:1209/101010.123456:ERROR:gpu_init.cc(523)] WebGL blocklisted\n"
        "ALSA lib pcm.c:2666:(snd_pcm_open_noupdate) Unknown PCM default\n"
        "  luming: not at the start\n" +
        own + "luming: the last line, cut short";
    int in[2], out[2];
    ASSERT_EQ(pipe(in), 0);
    ASSERT_EQ(pipe(out), 0);
    ASSERT_EQ(write(in[1], written.data(), written.size()), static_cast<ssize_t>(written.size()));
    close(in[1]);
    PassClientLines(in[0], out[1]);
    close(in[0]);
    close(out[1]);
    std::string passed;
    char buffer[4096];
    for (ssize_t count; (count = read(out[0], buffer, sizeof buffer)) > 0;)
        passed.append(buffer, static_cast<size_t>(count));
    close(out[0]);
    EXPECT_EQ(passed, "luming: 春晓: 节目下载失败\n" + own + "luming: the last line, cut short\n");
}

TEST(CommandLine, TheEditionDirectoryIsTheOverrideMadeAbsoluteElseTheExecutables) {
    EXPECT_EQ(EditionDirectory(nullptr, "/usr/lib/luming/poetry/luming", "/home/u"),
              "/usr/lib/luming/poetry/");
    EXPECT_EQ(EditionDirectory("", "/usr/lib/luming/poetry/luming", "/home/u"),
              "/usr/lib/luming/poetry/");
    EXPECT_EQ(EditionDirectory("/home/u/suite/poetry", "/x/luming", "/tmp"),
              "/home/u/suite/poetry/");
    EXPECT_EQ(EditionDirectory("/home/u/suite/poetry/", "/x/luming", "/tmp"),
              "/home/u/suite/poetry/");
    EXPECT_EQ(EditionDirectory("suite/./poetry", "/x/luming", "/home/u"), "/home/u/suite/poetry/");
}

TEST(WindowPlatformChoice, EachSessionGetsItsPlatformAndAMissingPluginNeverAborts) {
    WindowSession x11;
    x11.x11Display = ":0";
    x11.xcbPlugin = x11.waylandPlugin = true;
    EXPECT_EQ(ChooseWindowPlatform(x11).platforms, "xcb");

    WindowSession wayland = x11;
    wayland.waylandDisplay = "wayland-0";
    const WindowPlatform native = ChooseWindowPlatform(wayland);
    EXPECT_EQ(native.platforms, "wayland;xcb");
    EXPECT_TRUE(native.message.empty());

    // Without qt6-wayland: through XWayland, saying so; with no XWayland either, no start.
    wayland.waylandPlugin = false;
    const WindowPlatform viaX11 = ChooseWindowPlatform(wayland);
    EXPECT_EQ(viaX11.platforms, "xcb");
    EXPECT_TRUE(viaX11.canStart);
    EXPECT_NE(viaX11.message.find("qt6-wayland"), std::string::npos);
    wayland.x11Display.clear();
    const WindowPlatform none = ChooseWindowPlatform(wayland);
    EXPECT_FALSE(none.canStart);
    EXPECT_NE(none.message.find("qt6-wayland"), std::string::npos);

    // The user's own choice stands, unless it is Wayland alone without its plugin.
    WindowSession chosen = x11;
    chosen.qpaPlatform = "offscreen";
    EXPECT_TRUE(ChooseWindowPlatform(chosen).platforms.empty());
    EXPECT_TRUE(ChooseWindowPlatform(chosen).canStart);
    chosen.qpaPlatform = "wayland";
    chosen.waylandPlugin = false;
    EXPECT_EQ(ChooseWindowPlatform(chosen).platforms, "xcb");

    EXPECT_FALSE(ChooseWindowPlatform(WindowSession{}).canStart);
}

TEST(WindowPlatformChoice, APluginCountsWhenItsFileIsInAPlatformsDirectory) {
    luming::test::TempDir qt;
    luming::test::WriteFile(qt.path() / "platforms" / "libqxcb.so", "");
    luming::test::WriteFile(qt.path() / "platforms" / "libqwayland-egl.so.debug", "");
    const std::vector<std::string> directories{"/nonexistent", qt.path().string()};
    EXPECT_TRUE(PlatformPluginInstalled(directories, "libqxcb"));
    EXPECT_FALSE(PlatformPluginInstalled(directories, "libqwayland"));
}
