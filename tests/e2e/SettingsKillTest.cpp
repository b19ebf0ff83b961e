// The settings of a first start killed at random moments: local.ini is absent or complete after
// every kill, and the temporary files of killed writes do not stay.
// LUMING_KILL_STARTS sets the number of kills (default 30).
#include "RunningProgram.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <iostream>
#include <random>
#include <thread>

using namespace luming::test;
namespace fs = std::filesystem;

namespace {

constexpr int kStartTimeoutMs = 20000;
const std::string kDefaults = "[Info]\n1=0\n6=33554458\n7=100090\n8=1\n9=0\n10=\n11=0\n12=\n";
const std::string kCounted = "[Info]\n1=1\n6=33554458\n7=100090\n8=1\n9=0\n10=\n11=0\n12=\n";

size_t TemporariesIn(const fs::path& config) {
    size_t count = 0;
    for (const auto& entry : fs::directory_iterator(config))
        count += entry.path().filename().string().rfind("local.ini.", 0) == 0 ? 1 : 0;
    return count;
}

int KillCount() {
    const char* text = std::getenv("LUMING_KILL_STARTS");
    return text != nullptr ? std::atoi(text) : 30;
}

} // namespace

TEST(SettingsKill, AFirstStartKilledAtAnyMomentLeavesTheSettingsAbsentOrComplete) {
    TempDir temp;
    const fs::path locks = temp.path() / "locks";
    fs::create_directories(locks);
    Installation installation(temp.path() / "suite", 26);
    const fs::path config = installation.appDir() / "Config";
    const fs::path ini = config / "local.ini";

    // How long a first start takes to create its settings and then to count into them: half
    // the kills fall around the creation, the others anywhere up to a little after the count.
    using Clock = std::chrono::steady_clock;
    const auto started = Clock::now();
    long long created = 0;
    {
        RunningProgram program(installation, {}, locks);
        ASSERT_TRUE(WaitUntil([&] { return fs::exists(ini); }, kStartTimeoutMs))
            << program.Output().toStdString();
        created =
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - started).count();
        ASSERT_TRUE(WaitUntil([&] { return ReadFile(ini) == kCounted; }, kStartTimeoutMs));
    }
    const long long counted =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - started).count();

    const unsigned seed = std::random_device{}();
    std::mt19937 random(seed);
    std::uniform_int_distribution<long long> aroundCreation(0, created * 3 / 2);
    std::uniform_int_distribution<long long> wholeStart(0, counted * 6 / 5);
    int absent = 0, complete = 0;
    for (int run = 0; run < KillCount(); ++run) {
        fs::remove(ini);
        RunningProgram program(installation, {}, locks);
        const long long moment = run % 2 == 0 ? aroundCreation(random) : wholeStart(random);
        std::this_thread::sleep_for(std::chrono::milliseconds(moment));
        program.Kill();
        if (!fs::exists(ini)) {
            ++absent;
        } else {
            const std::string text = ReadFile(ini);
            EXPECT_TRUE(text == kDefaults || text == kCounted) << "run " << run << ": " << text;
            ++complete;
        }
        // A kill in the middle of a write leaves its temporary file; the next write clears it.
        ASSERT_LE(TemporariesIn(config), 1u) << "run " << run;
    }
    {
        RunningProgram program(installation, {}, locks);
        ASSERT_TRUE(WaitUntil([&] { return ReadFile(ini).find("\n1=1\n") != std::string::npos; },
                              kStartTimeoutMs));
    }
    EXPECT_EQ(TemporariesIn(config), 0u);
    std::cout << "kills: " << absent + complete << " (absent " << absent << ", complete "
              << complete << "); created after " << created << " ms, counted after " << counted
              << " ms; seed " << seed << "\n";
}
