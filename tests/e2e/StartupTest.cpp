// The client started as a user starts it, in a real X server: one copy per edition, the hidden
// start, and settings created on first start.
#include "RunningProgram.h"
#include "X11Windows.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <csignal>

using namespace luming::test;
namespace fs = std::filesystem;

namespace {

constexpr int kStartTimeoutMs = 20000;

bool HasViewableWindow(const RunningProgram& program) {
    return WindowsOfProcess(static_cast<pid_t>(program.pid())).viewable > 0;
}

class Startup : public ::testing::Test {
protected:
    TempDir temp;
    fs::path locks = temp.path() / "locks";
    void SetUp() override { fs::create_directories(locks); }
};

} // namespace

TEST_F(Startup, FirstStartShowsTheWindowAndWritesTheDefaultSettings) {
    Installation installation(temp.path() / "suite", 26);
    RunningProgram program(installation, {}, locks);
    ASSERT_TRUE(WaitUntil([&] { return HasViewableWindow(program); }, kStartTimeoutMs))
        << program.Output().toStdString();
    const fs::path ini = installation.appDir() / "Config" / "local.ini";
    // Created with the defaults, then this start counted.
    EXPECT_EQ(ReadFile(ini), "[Info]\n1=1\n6=33554458\n7=100090\n8=1\n9=0\n10=\n11=0\n12=\n");
    EXPECT_TRUE(fs::is_directory(installation.appDir() / "DL"));
    EXPECT_TRUE(fs::is_directory(installation.appDir() / "Caches"));
}

TEST_F(Startup, ASecondCopyBringsTheHiddenFirstForwardAndEnds) {
    Installation first(temp.path() / "one", 26);
    Installation second(temp.path() / "two", 26);
    RunningProgram hidden(first, {"-START"}, locks);
    ASSERT_TRUE(WaitUntil([&] { return fs::exists(first.appDir() / "Config" / "local.ini"); },
                          kStartTimeoutMs))
        << hidden.Output().toStdString() << hidden.Backtrace();
    EXPECT_FALSE(WaitUntil([&] { return HasViewableWindow(hidden); }, 1000))
        << "a hidden start shows no window";

    RunningProgram again(second, {}, locks);
    EXPECT_EQ(again.WaitForExit(kStartTimeoutMs), 0);
    EXPECT_FALSE(fs::exists(second.appDir() / "Config")) << "the second copy reads no settings";
    EXPECT_TRUE(WaitUntil([&] { return HasViewableWindow(hidden); }, kStartTimeoutMs));
    EXPECT_TRUE(hidden.running());
}

TEST_F(Startup, TwoEditionsRunSideBySide) {
    RunningProgram poetry(Installation(temp.path() / "a", 26), {}, locks);
    RunningProgram other(Installation(temp.path() / "b", 25), {}, locks);
    EXPECT_TRUE(WaitUntil([&] { return HasViewableWindow(poetry); }, kStartTimeoutMs));
    EXPECT_TRUE(WaitUntil([&] { return HasViewableWindow(other); }, kStartTimeoutMs));
    EXPECT_TRUE(poetry.running());
    EXPECT_TRUE(other.running());
}

TEST_F(Startup, ACrashedCopyDoesNotBlockTheNextStart) {
    Installation installation(temp.path() / "suite", 26);
    {
        RunningProgram crashing(installation, {}, locks);
        ASSERT_TRUE(WaitUntil([&] { return HasViewableWindow(crashing); }, kStartTimeoutMs));
        crashing.Kill(); // SIGKILL: no clean-up of any kind
    }
    RunningProgram next(installation, {}, locks);
    EXPECT_TRUE(WaitUntil([&] { return HasViewableWindow(next); }, kStartTimeoutMs));
}

TEST_F(Startup, OnlyAFirstArgumentStartsHidden) {
    Installation installation(temp.path() / "suite", 26);
    RunningProgram program(installation, {"other", "-start"}, locks);
    EXPECT_TRUE(WaitUntil([&] { return HasViewableWindow(program); }, kStartTimeoutMs))
        << program.Output().toStdString() << program.Backtrace();
}

// A logout, a service stop or Ctrl+C ends the program as its close button does (the demo
// suite's test checks that the web engine's processes go with it).
TEST_F(Startup, AnEndingSignalClosesTheWindowInOrder) {
    for (const int signalNumber : {SIGTERM, SIGINT, SIGHUP}) {
        Installation installation(temp.path() / ("suite" + std::to_string(signalNumber)), 26);
        RunningProgram program(installation, {}, locks);
        ASSERT_TRUE(WaitUntil([&] { return HasViewableWindow(program); }, kStartTimeoutMs));
        ::kill(static_cast<pid_t>(program.pid()), signalNumber);
        EXPECT_EQ(program.WaitForExit(kStartTimeoutMs), 0) << "signal " << signalNumber;
    }
}
