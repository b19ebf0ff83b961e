// Playback in the real window against bare libmpv programs, in one process run under an X server:
// a click on a cached video until its first frame is drawn, the CPU that video costs over 10 s (in
// three turns with a bare player, and how much of it the GL rasteriser took), a click on a cached
// MP3 until it plays, and a click on a cached Flash movie until Ruffle draws its first frame. Then
// the memory of the whole process tree (the web engine's helpers included) in
// four states: idle with the two advertising panes, a video playing, a Flash movie playing, and
// paused with the pause advertisement. Last the read-along of the MP3: how far behind the voice
// its lit line changes, and what it costs the process tree while it shows.
// Run: xvfb-run luming_playback_bench
#include "BareMpv.h"
#include "BenchSuite.h"
#include "config/DataModule.h"
#include "config/Settings.h"
#include "engine/ProcessMemory.h"
#include "platform/FlashControl.h"
#include "platform/MediaPlayer.h"
#include "platform/RealPlatform.h"
#include "platform/mpv/MpvVideoWindow.h"
#include "shell/ReadAlong.h"
#include "shell/ReadAlongView.h"
#include "shell/TfrmMain.h"
#include "support/LoopbackServer.h"

#include <QApplication>
#include <QFrame>
#include <QWindow>
#include <QProcess>
#include <QTimer>
#include <QToolButton>

#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace {

using namespace luming;
using namespace luming::bench;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

const fs::path kCache = BenchSuite::Cache();

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// CPU of Mesa's software rasteriser threads ("llvmpipe-N"), which draw all GL where there is no
// GPU: mpv's picture and Qt's composition of the window alike.
double RasteriserSeconds() {
    double ticks = 0;
    for (const auto& task : fs::directory_iterator("/proc/self/task")) {
        std::ifstream file(task.path() / "stat");
        std::string stat;
        std::getline(file, stat);
        const auto nameEnd = stat.rfind(')');
        if (nameEnd == std::string::npos || stat.find("(llvmpipe-") == std::string::npos)
            continue;
        std::istringstream fields(stat.substr(nameEnd + 2));
        std::string field;
        long userAndSystem = 0;
        for (int index = 3; index <= 15 && fields >> field; ++index) // utime is 14, stime 15
            if (index >= 14)
                userAndSystem += std::stol(field);
        ticks += static_cast<double>(userAndSystem);
    }
    return ticks / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// Other work on the machine moves every figure: the load average goes with them.
void PrintLoad(const char* when) {
    std::printf("load %s: %s\n", when, LoadAverage().c_str());
}

struct Harness {
    Harness() {
        BenchSuite::Make(site);
        settings.EditionNo = 26;
        TDataModule1(BenchSuite::Edition().string() + "/", settings).DataModuleCreate();
        window = std::make_unique<TfrmMain>(settings, platform);
        window->show();
    }
    // The bare program draws as large as the window's player does, and only while measured.
    void ShowBare(bool show) {
        barePicture.Watch(&bare);
        if (MpvVideoWindow* surface = FindVideoWindow())
            bare.resize(surface->size());
        bare.setVisible(show);
        RunUntil([] { return true; });
    }

    void Click(NodeIndex node) {
        window->Tree().Select(node);
        window->tv1Click();
    }
    // The window plays nothing, so that the other side is measured alone.
    void QuietWindow() {
        Click(1);
        RunUntil([] { return true; });
    }
    // The window shows the red clip: the next blue picture is the programme's first frame.
    void RedWindow() {
        Click(5);
        RunUntil([this] {
            if (MpvVideoWindow* surface = FindVideoWindow())
                windowPicture.Watch(surface);
            return windowPicture.Red();
        });
    }
    void RedBare() {
        bare.Load(QString::fromStdString((kCache / "5.flv").string()));
        RunUntil([this] { return barePicture.Red(); });
    }

    test::LoopbackServer site;
    Settings settings;
    RealPlatform platform{LUMING_RUFFLE_DIR};
    std::unique_ptr<TfrmMain> window;
    BareMpvVideo bare;
    BareMpvAudio bareAudio;
    PictureWatch windowPicture, barePicture;
    std::map<std::string, double> figures;
};

Harness* harness = nullptr;

void Report(benchmark::State& state, const std::string& name, double value) {
    harness->figures[name] = value;
    state.counters[name] = value;
}

void BM_WindowVideoFirstFrame(benchmark::State& state) {
    for (auto _ : state) {
        harness->RedWindow();
        const auto start = Clock::now();
        harness->Click(2);
        if (!RunUntil([] { return harness->windowPicture.Blue(); }))
            state.SkipWithError("no picture");
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    }
}

void BM_BareVideoFirstFrame(benchmark::State& state) {
    harness->QuietWindow();
    harness->ShowBare(true);
    harness->barePicture.Watch(&harness->bare);
    for (auto _ : state) {
        harness->RedBare();
        const auto start = Clock::now();
        harness->bare.Stop(); // as the window clears its player before the next programme
        harness->bare.Load(QString::fromStdString((kCache / "1.flv").string()));
        if (!RunUntil([] { return harness->barePicture.Blue(); }))
            state.SkipWithError("no picture");
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    }
    harness->bare.Stop();
    harness->ShowBare(false);
}

// Shares of one core over 10 s of the video playing: the whole process, and the rasteriser.
struct VideoLoad {
    double percent = 0;
    double rasteriserPercent = 0;
    double framesPerSecond = 0;
};

VideoLoad VideoCpu(const std::function<void()>& start, PictureWatch& picture) {
    start();
    RunUntil([&] { return picture.Blue(); });
    const double before = CpuSeconds();
    const double rasteriserBefore = RasteriserSeconds();
    const int framesBefore = picture.Frames();
    const auto end = Clock::now() + std::chrono::seconds(10);
    RunUntil([&] { return Clock::now() >= end; });
    return {(CpuSeconds() - before) * 10.0, (RasteriserSeconds() - rasteriserBefore) * 10.0,
            (picture.Frames() - framesBefore) / 10.0};
}

VideoLoad WindowVideoCpu() {
    const VideoLoad load = VideoCpu(
        [] {
            harness->RedWindow();
            harness->Click(2);
        },
        harness->windowPicture);
    harness->QuietWindow();
    return load;
}

VideoLoad BareVideoCpu() {
    harness->ShowBare(true);
    const VideoLoad load = VideoCpu(
        [] {
            harness->RedBare();
            harness->bare.Load(QString::fromStdString((kCache / "1.flv").string()));
        },
        harness->barePicture);
    harness->bare.Stop();
    harness->ShowBare(false);
    return load;
}

// The window and the bare player take turns: on this machine the same program's CPU for the same
// video drifts by a fifth from one run to the next, so each turn is compared with its neighbour;
// the median and the worst turn are reported.
void BM_VideoCpuInTurns(benchmark::State& state) {
    for (auto _ : state) {
        std::vector<double> ratios;
        for (int turn = 1; turn <= 3; ++turn) {
            const VideoLoad window = WindowVideoCpu();
            const VideoLoad bare = BareVideoCpu();
            ratios.push_back(bare.percent > 0 ? window.percent / bare.percent : 0.0);
            std::printf("CPU turn %d: window %.0f %% (GL rasteriser %.0f %%, %.1f frames/s), bare "
                        "libmpv %.0f %% (%.0f %%, %.1f frames/s), ratio %.2f\n",
                        turn, window.percent, window.rasteriserPercent, window.framesPerSecond,
                        bare.percent, bare.rasteriserPercent, bare.framesPerSecond,
                        ratios.back());
        }
        Report(state, "cpu_ratio", Median(ratios));
        Report(state, "cpu_ratio_worst", *std::max_element(ratios.begin(), ratios.end()));
    }
}

void BM_WindowAudioPlaying(benchmark::State& state) {
    for (auto _ : state) {
        harness->QuietWindow();
        const auto start = Clock::now();
        harness->Click(3);
        if (!RunUntil([] {
                return harness->window->AudioPlayer &&
                       harness->window->AudioPlayer->Mode() == MediaMode::Playing &&
                       harness->window->AudioPlayer->Position() > 0;
            }))
            state.SkipWithError("not playing");
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    }
    harness->QuietWindow();
}

void BM_BareAudioPlaying(benchmark::State& state) {
    for (auto _ : state) {
        harness->bareAudio.Stop();
        const auto start = Clock::now();
        harness->bareAudio.Load(QString::fromStdString((kCache / "2.mp3").string()));
        if (!RunUntil([] { return harness->bareAudio.Position() > 0; }))
            state.SkipWithError("not playing");
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    }
    harness->bareAudio.Stop();
}

void BM_WindowFlashFirstFrame(benchmark::State& state) {
    for (auto _ : state) {
        harness->QuietWindow();
        const auto start = Clock::now();
        harness->Click(4);
        FlashControl& flash = *harness->window->ShockwaveFlash1;
        if (!RunUntil([&] { return flash.ReadyState() == 4 && flash.CurrentFrame() >= 1; }))
            state.SkipWithError("no frame");
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    }
    Report(state, "process_tree_pss_mib", luming::test::ProcessTreePssKib() / 1024.0);
}

double PssMib() {
    return luming::test::ProcessTreePssKib() / 1024.0;
}

void BM_MemoryIdleWithAdvertising(benchmark::State& state) {
    for (auto _ : state) {
        harness->QuietWindow();
        RunUntil([] {
            return !harness->window->pnlAds->isHidden() &&
                   !harness->window->pnlStatusBarAds->isHidden();
        });
        const auto settle = Clock::now() + std::chrono::seconds(3);
        RunUntil([&] { return Clock::now() >= settle; });
        Report(state, "idle_pss_mib", PssMib());
    }
}

void BM_MemoryVideoPlaying(benchmark::State& state) {
    for (auto _ : state) {
        harness->RedWindow();
        harness->Click(2);
        RunUntil([] { return harness->windowPicture.Blue(); });
        Report(state, "video_pss_mib", PssMib());
    }
}

void BM_MemoryPausedWithAdvertisement(benchmark::State& state) {
    for (auto _ : state) {
        harness->RedWindow();
        harness->Click(2);
        RunUntil([] { return harness->windowPicture.Blue(); });
        harness->window->btnPlay->click();
        if (!RunUntil([] { return !harness->window->pnlPauseAds->isHidden(); }))
            state.SkipWithError("no pause advertisement");
        const auto settle = Clock::now() + std::chrono::seconds(2);
        RunUntil([&] { return Clock::now() >= settle; });
        Report(state, "paused_pss_mib", PssMib());
    }
}

void BM_MemoryFlashPlaying(benchmark::State& state) {
    for (auto _ : state) {
        harness->Click(4);
        FlashControl& flash = *harness->window->ShockwaveFlash1;
        RunUntil([&] { return flash.ReadyState() == 4 && flash.CurrentFrame() > 12; });
        Report(state, "flash_pss_mib", PssMib());
    }
}

// The MP3 (10 s) with a read-along of a line each second.
const fs::path kReadAlong = kCache / "2.lrc";
constexpr int kReadAlongLines = 9;

void WriteReadAlong() {
    std::ofstream lrc(kReadAlong);
    lrc << "[ti:静夜思]\n[ar:李白]\n";
    const char* lines[] = {"床前明月光", "疑是地上霜", "举头望明月", "低头思故乡"};
    for (int line = 1; line <= kReadAlongLines; ++line)
        lrc << "[00:0" << line << ".00]" << lines[line % 4] << "\n";
}

// Each line change of the read-along, as late as the player's position says it came: the
// position when the line was lit less the line's time, over the lines of each play.
void BM_ReadAlongLitLineDelay(benchmark::State& state) {
    WriteReadAlong();
    std::vector<double> delays;
    for (auto _ : state) {
        harness->QuietWindow();
        harness->Click(3);
        ReadAlongPresenter& readAlong = harness->window->ReadAlong();
        std::vector<int64_t> lit;
        const auto connection = QObject::connect(&readAlong, &ReadAlongPresenter::LineLit, [&] {
            if (MediaPlayer* audio = harness->window->AudioPlayer)
                lit.push_back(audio->Position());
        });
        if (!RunUntil([&] { return lit.size() >= kReadAlongLines; }))
            state.SkipWithError("the lines were not lit");
        for (size_t line = 0; line < lit.size(); ++line)
            delays.push_back(static_cast<double>(lit[line] - (int64_t(line) + 1) * 1000));
        QObject::disconnect(connection);
    }
    std::sort(delays.begin(), delays.end());
    Report(state, "readalong_delay_median_ms", Median(delays));
    Report(state, "readalong_delay_worst_ms", delays.empty() ? 0 : delays.back());
    harness->QuietWindow();
}

// The process tree while the MP3 plays with its read-along shown, and without one.
void BM_MemoryReadAlong(benchmark::State& state) {
    for (auto _ : state) {
        for (const bool withReadAlong : {false, true, false, true}) {
            if (withReadAlong)
                WriteReadAlong();
            else
                fs::remove(kReadAlong);
            harness->QuietWindow();
            harness->Click(3);
            RunUntil([&] {
                return harness->window->AudioPlayer &&
                       harness->window->AudioPlayer->Position() > 2500 &&
                       harness->window->ReadAlong().View()->isVisible() == withReadAlong;
            });
            const auto settle = Clock::now() + std::chrono::seconds(2);
            RunUntil([&] { return Clock::now() >= settle; });
            Report(state, withReadAlong ? "readalong_pss_mib" : "no_readalong_pss_mib", PssMib());
            std::printf("audio playing %s a read-along: %.0f MiB\n",
                        withReadAlong ? "with" : "without", PssMib());
        }
    }
    fs::remove(kReadAlong);
    harness->QuietWindow();
}

BENCHMARK(BM_MemoryIdleWithAdvertising)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_MemoryVideoPlaying)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_MemoryPausedWithAdvertisement)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_WindowVideoFirstFrame)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareVideoFirstFrame)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WindowAudioPlaying)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareAudioPlaying)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WindowFlashFirstFrame)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemoryFlashPlaying)->Iterations(1)->Unit(benchmark::kSecond);
// Last: its minute of video lets Ruffle's view go, which the Flash movie above would then pay.
BENCHMARK(BM_VideoCpuInTurns)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_ReadAlongLitLineDelay)->Iterations(3)->Unit(benchmark::kSecond);
BENCHMARK(BM_MemoryReadAlong)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char** argv) {
    PrepareLikeTheClient();
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    benchmark::Initialize(&argc, argv);

    PrintLoad("at the start");
    Harness fixture;
    harness = &fixture;
    SecondsReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    auto ratio = [](double a, double b) { return b > 0 ? a / b : 0.0; };
    std::printf(
        "\nfirst video frame, window / bare libmpv: %.2f (target <= 1.1)\n",
        ratio(reporter.Find("BM_WindowVideoFirstFrame"), reporter.Find("BM_BareVideoFirstFrame")));
    std::printf("CPU over 10 s of video, window / bare libmpv: worst of three turns %.2f, median "
                "%.2f (target <= 1.1 in every turn)\n",
                fixture.figures["cpu_ratio_worst"], fixture.figures["cpu_ratio"]);
    std::printf(
        "MP3 playing, window / bare libmpv: %.2f (target <= 1.5)\n",
        ratio(reporter.Find("BM_WindowAudioPlaying"), reporter.Find("BM_BareAudioPlaying")));
    std::printf("Flash movie first frame: %.0f ms, process tree %.0f MiB PSS\n",
                reporter.Find("BM_WindowFlashFirstFrame") * 1000,
                fixture.figures["process_tree_pss_mib"]);
    std::printf("process tree PSS (MiB): idle with advertising %.0f (goal <= 450), video %.0f, "
                "paused with advertisement %.0f, Flash movie %.0f\n",
                fixture.figures["idle_pss_mib"], fixture.figures["video_pss_mib"],
                fixture.figures["paused_pss_mib"], fixture.figures["flash_pss_mib"]);
    std::printf("read-along: lit line behind the voice by %.0f ms (median), %.0f ms (worst; goal "
                "<= 100); process tree with it %.0f MiB, without %.0f MiB (goal: at most 30 MiB "
                "more)\n",
                fixture.figures["readalong_delay_median_ms"],
                fixture.figures["readalong_delay_worst_ms"], fixture.figures["readalong_pss_mib"],
                fixture.figures["no_readalong_pss_mib"]);
    PrintLoad("at the end");
    harness = nullptr;
    benchmark::Shutdown();
    return 0;
}
