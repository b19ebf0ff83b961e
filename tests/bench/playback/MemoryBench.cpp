// Memory over many plays in the real window, and the first Flash movie of a session. In one
// process under an X server, with the cached programmes of BenchSuite:
//  1. click → first frame of the first Flash movie of the session (after the window has stood
//     shown and idle for a while, as a child looks before clicking) and of later ones;
//  2. each kind played many times in a row: the growth per play of this process's PSS and of its
//     malloc heap after a warm-up, by least squares over the plays;
//  3. mixed plays (video, audio, Flash in turn): the whole process tree's PSS after the first 20
//     plays and after all of them, and while each kind plays: just after the switch, and for
//     video and audio also once they have played longer than Ruffle's view is kept;
//  4. the same figures of luming_bare_parts, a bare program with the same parts, run first while
//     the window does not exist yet.
// Run: scripts/memory-bench.sh (or xvfb-run -a luming_memory_bench [--plays N] [--mixed N]).
#include "BenchSuite.h"
#include "config/DataModule.h"
#include "config/Settings.h"
#include "engine/ProcessMemory.h"
#include "platform/FlashControl.h"
#include "platform/MediaPlayer.h"
#include "platform/RealPlatform.h"
#include "platform/flash/EngineFlashControl.h"
#include "shell/TfrmMain.h"

#include <QApplication>
#include <QEventLoop>
#include <QFrame>
#include <QProcess>
#include <QTimer>
#include <QUrl>

#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

using namespace luming;
using namespace luming::bench;
using Clock = std::chrono::steady_clock;

struct Options {
    int warmup = 5;
    int plays = 30;
    int mixed = 200;
    int idleSeconds = 5;
    std::vector<std::string> kinds = {"video", "audio", "flash"};
};

double Kib(int64_t kib) {
    return static_cast<double>(kib);
}

double HeapKib() {
    const struct mallinfo2 info = mallinfo2();
    return static_cast<double>(info.uordblks + info.hblkhd) / 1024.0;
}

double Milliseconds(Clock::time_point since) {
    return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}

// Lets the window run for `ms` (RunUntil gives up after 30 s).
void Settle(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Slope of `values` over their index, by least squares.
double Slope(const std::vector<double>& values) {
    const double n = static_cast<double>(values.size());
    if (n < 2)
        return 0;
    double sumX = 0, sumY = 0, sumXY = 0, sumXX = 0;
    for (size_t i = 0; i < values.size(); ++i) {
        const double x = static_cast<double>(i);
        sumX += x;
        sumY += values[i];
        sumXY += x * values[i];
        sumXX += x * x;
    }
    return (n * sumXY - sumX * sumY) / (n * sumXX - sumX * sumX);
}

class Window {
public:
    Window() {
        settings_.EditionNo = 26;
        TDataModule1(BenchSuite::Edition().string() + "/", settings_).DataModuleCreate();
        // A programme plays on, again and again, until the next click.
        settings_.PlayMode = std::string("2");
        window_ = std::make_unique<TfrmMain>(settings_, platform_);
        window_->show();
        RunUntil([this] {
            return !window_->pnlAds->isHidden() && !window_->pnlStatusBarAds->isHidden();
        });
    }

    // Clicks the programme of `kind` (alternating the two videos, so that each new picture is
    // told from the last) and waits until it plays; false when it does not within 30 s.
    bool Play(const std::string& kind) {
        if (kind == "video") {
            const bool red = (videos_++ % 2) == 1;
            Click(red ? kRed : kVideo);
            return RunUntil([&] {
                if (MpvVideoWindow* surface = FindVideoWindow())
                    picture_.Watch(surface);
                return red ? picture_.Red() : picture_.Blue();
            });
        }
        if (kind == "audio") {
            Click(kAudio);
            return RunUntil([&] {
                MediaPlayer* audio = window_->AudioPlayer;
                return audio && audio->Mode() == MediaMode::Playing && audio->Position() > 0;
            });
        }
        Click(kFlash);
        FlashControl& flash = *window_->ShockwaveFlash1;
        return RunUntil([&] { return flash.ReadyState() == 4 && flash.CurrentFrame() >= 1; });
    }

    void PrintViewCosts() { bench::PrintViewCosts(window_.get()); }

    void Quiet() {
        Click(kQuiet);
        Settle(100);
    }

private:
    void Click(int node) {
        window_->Tree().Select(node);
        window_->tv1Click();
    }

    Settings settings_;
    RealPlatform platform_{LUMING_RUFFLE_DIR};
    std::unique_ptr<TfrmMain> window_;
    PictureWatch picture_;
    int videos_ = 0;
};

struct Growth {
    double pssPerPlay = 0;  // KiB
    double heapPerPlay = 0; // KiB
    double treePss = 0;     // KiB, while the kind plays after the run
    int failed = 0;
};

Growth PlayInARow(Window& window, const std::string& kind, const Options& options) {
    Growth growth;
    std::vector<double> pss, heap;
    for (int play = 0; play < options.warmup + options.plays; ++play) {
        if (!window.Play(kind))
            ++growth.failed;
        if (play < options.warmup)
            continue;
        pss.push_back(Kib(test::ProcessPssKib(getpid())));
        heap.push_back(HeapKib());
    }
    growth.pssPerPlay = Slope(pss);
    growth.heapPerPlay = Slope(heap);
    Settle(2000);
    growth.treePss = Kib(test::ProcessTreePssKib());
    std::printf("%-5s %d plays after %d: client PSS %+.0f KiB/play (%.0f → %.0f MiB), heap "
                "%+.0f KiB/play (%.0f → %.0f MiB), tree %.0f MiB, %d failed [load %s]\n",
                kind.c_str(), options.plays, options.warmup, growth.pssPerPlay, pss.front() / 1024,
                pss.back() / 1024, growth.heapPerPlay, heap.front() / 1024, heap.back() / 1024,
                growth.treePss / 1024, growth.failed, LoadAverage().c_str());
    std::fflush(stdout);
    return growth;
}

Options Parse(int argc, char** argv) {
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        const int value = std::atoi(argv[i + 1]);
        if (name == "--plays")
            options.plays = std::max(2, value);
        else if (name == "--warmup")
            options.warmup = std::max(0, value);
        else if (name == "--mixed")
            options.mixed = std::max(0, value);
        else if (name == "--idle")
            options.idleSeconds = std::max(0, value);
        else if (name == "--kinds") {
            options.kinds.clear();
            for (const QString& kind : QString(argv[i + 1]).split(','))
                options.kinds.push_back(kind.toStdString());
        }
    }
    return options;
}

} // namespace

int main(int argc, char** argv) {
    PrepareLikeTheClient();
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    const Options options = Parse(argc, argv);

    test::LoopbackServer site;
    BenchSuite::Make(site);
    const char* const cycle[] = {"video", "audio", "flash"};

    // 4. The bare program with the same parts, before the window exists: the pages of the
    // libraries both map count in full to whichever runs alone, and would be split between the
    // two if both ran at once.
    std::map<std::string, std::map<std::string, double>> bare;
    for (const char* kind : cycle)
        if (options.mixed > 0)
            bare[kind] = BareFigures(kind, site, LUMING_RUFFLE_DIR);

    Window window;
    std::printf("window shown, idle for %d s [load %s]\n", options.idleSeconds, LoadAverage().c_str());
    Settle(options.idleSeconds * 1000);
    const double idlePss = Kib(test::ProcessTreePssKib());
    std::printf("idle: tree PSS %.0f MiB, the web views:\n", idlePss / 1024);
    window.PrintViewCosts();

    // 1. The first Flash movie of the session, then later ones.
    const bool flash = std::count(options.kinds.begin(), options.kinds.end(), "flash") > 0;
    auto start = Clock::now();
    if (flash)
        window.Play("flash");
    const double firstFlash = Milliseconds(start);
    std::vector<double> later;
    for (int i = 0; flash && i < 3; ++i) {
        window.Quiet();
        start = Clock::now();
        window.Play("flash");
        later.push_back(Milliseconds(start));
    }
    std::printf("Flash click → first frame: first %.0f ms, later %.0f ms [load %s]\n", firstFlash,
                Median(later), LoadAverage().c_str());
    std::fflush(stdout);

    // 2. Each kind in a row.
    std::map<std::string, Growth> growth;
    for (const std::string& kind : options.kinds)
        growth[kind] = PlayInARow(window, kind, options);

    if (options.mixed == 0)
        return 0; // a profile of single kinds

    // 3. Mixed plays.
    double after20 = 0, afterAll = 0;
    std::map<std::string, double> kindPss;
    for (int play = 1; play <= options.mixed; ++play) {
        window.Play(cycle[(play - 1) % 3]);
        if (play == 20 || play == options.mixed) {
            Settle(2000);
            (play == 20 ? after20 : afterAll) = Kib(test::ProcessTreePssKib());
        }
    }
    for (const char* kind : cycle) {
        window.Play(kind);
        Settle(2000);
        kindPss[kind] = Kib(test::ProcessTreePssKib());
    }
    // A child who watches one video or hears one poem for a while (Ruffle's renderer process
    // takes some seconds to go once its view is freed).
    std::map<std::string, double> lastingPss;
    for (const char* kind : {"video", "audio"}) {
        window.Play(kind);
        Settle(static_cast<int>(EngineFlashControl::kRuffleUnusedLimit.count()) + 20000);
        lastingPss[kind] = Kib(test::ProcessTreePssKib());
    }
    std::printf("mixed plays: tree PSS %.0f MiB after 20, %.0f MiB after %d (%+.1f %%) "
                "[load %s]\n",
                after20 / 1024, afterAll / 1024, options.mixed,
                after20 > 0 ? (afterAll / after20 - 1) * 100 : 0.0, LoadAverage().c_str());
    std::fflush(stdout);
    std::printf("\n== summary [load %s]\n", LoadAverage().c_str());
    std::printf("window idle after %d s: tree PSS %.0f MiB\n", options.idleSeconds, idlePss / 1024);
    std::printf("Flash click → first frame: first %.0f ms, later %.0f ms, bare Ruffle page "
                "%.0f ms; first / bare %.2f (goal <= 1.3)\n",
                firstFlash, Median(later), bare["flash"]["first_frame_ms"],
                bare["flash"]["first_frame_ms"] > 0 ? firstFlash / bare["flash"]["first_frame_ms"]
                                                    : 0.0);
    for (const auto& [kind, g] : growth)
        std::printf("%-5s growth per play: client PSS %+.0f KiB, heap %+.0f KiB (goal < 100)\n",
                    kind.c_str(), g.pssPerPlay, g.heapPerPlay);
    std::printf("tree PSS after %d mixed plays / after 20: %.3f (goal within 1.10)\n",
                options.mixed, after20 > 0 ? afterAll / after20 : 0.0);
    for (const char* kind : cycle) {
        const double barePss = bare[kind]["pss_kib"];
        std::printf("%-5s playing: tree PSS %.0f MiB, bare %.0f MiB, ratio %.2f (goal <= 1.5)\n",
                    kind, kindPss[kind] / 1024, barePss / 1024,
                    barePss > 0 ? kindPss[kind] / barePss : 0.0);
        if (lastingPss.count(kind))
            std::printf(
                "%-5s playing %lld s on: tree PSS %.0f MiB, ratio %.2f\n", kind,
                static_cast<long long>(EngineFlashControl::kRuffleUnusedLimit.count() / 1000 + 20),
                lastingPss[kind] / 1024, barePss > 0 ? lastingPss[kind] / barePss : 0.0);
    }
    return 0;
}
