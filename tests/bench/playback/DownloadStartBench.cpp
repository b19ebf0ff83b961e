// From asking to play a programme the vendor's site sends at 64 KB/s (luming-vendor-site --rate
// 64, a child's slow line) to its playing: through SetProgramInfo of libkestrivane, into an
// empty store each time, and a libmpv player as the client's (no picture, no sound device). Each
// clip is timed as made with its metadata and without: an MP3 with an ID3v2 tag against ID3v1
// only, a Sorenson FLV with onMetaData against none. Without metadata the player reads the
// file's end first, which the download reaches last. Run: luming_download_start_bench
#include "BenchSuite.h"
#include "content/ContentAddress.h"
#include "e2e/DemoSite.h"
#include "kestrivane.h"
#include "platform/mpv/MpvCore.h"
#include "support/TempDir.h"

#include <QCoreApplication>
#include <QThread>

#include <benchmark/benchmark.h>

#include <chrono>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace {

using namespace luming;
using namespace luming::bench;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kRateKiloBytes = 64;
constexpr auto kGiveUpAfter = std::chrono::seconds(120);

// Each clip about 1.9 MB, 30 s at that rate.
struct Clip {
    const char* id;
    const char* type; // "2" audio, "4" video
    QStringList ffmpeg;
};

const QStringList kTone = {"-f",   "lavfi",      "-i",        "sine=frequency=440:duration=120",
                           "-c:a", "libmp3lame", "-b:a",      "128k",
                           "-ar",  "44100",      "-metadata", "title=jingyesi"};
const QStringList kVideo = {
    "-f",   "lavfi",      "-i",   "testsrc=duration=60:size=320x240:rate=25",
    "-f",   "lavfi",      "-i",   "sine=frequency=440:duration=60",
    "-c:v", "flv1",       "-b:v", "200k",
    "-c:a", "libmp3lame", "-b:a", "64k",
    "-ar",  "22050"};

const Clip kMp3Tagged{"901", "2", kTone};
const Clip kMp3Untagged{"902", "2",
                        kTone + QStringList{"-id3v2_version", "0", "-write_id3v1", "1"}};
const Clip kFlvWithMetadata{"903", "4", kVideo};
const Clip kFlvWithoutMetadata{"904", "4", kVideo + QStringList{"-flvflags", "no_metadata"}};

struct Site {
    test::TempDir files;
    std::unique_ptr<test::SiteServer> server;

    Site() {
        for (const Clip* clip :
             {&kMp3Tagged, &kMp3Untagged, &kFlvWithMetadata, &kFlvWithoutMetadata}) {
            const fs::path file = files.path() / SourceUrlFor("dl/", clip->id, clip->type);
            fs::create_directories(file.parent_path());
            Ffmpeg(file, clip->ffmpeg);
        }
        server = test::StartVendorSite(files.path(), kRateKiloBytes);
    }
};

Site* site = nullptr;

// Pumps the event loop until the programme plays (mpv has it open, is not waiting for data and
// its position has moved) or the time is up.
bool PlaysWithin(const MpvCore& core, Clock::duration limit) {
    const auto end = Clock::now() + limit;
    while (Clock::now() < end) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        const MpvPlayback& playback = core.Playback();
        if (!playback.error.empty())
            return false;
        if (playback.loaded && !playback.coreIdle && playback.position > 0)
            return true;
        QThread::msleep(2);
    }
    return false;
}

void StartPlaying(benchmark::State& state, const Clip& clip) {
    if (!site || site->server->url().empty())
        return state.SkipWithError("the vendor's site did not start");
    const std::string source = SourceUrlFor(site->server->url() + "/dl/", clip.id, clip.type);
    for (auto _ : state) {
        test::TempDir store;
        setenv("KESTRIVANE_STORE", store.path().c_str(), 1);
        Initkestrivane(26, nullptr, nullptr, nullptr, nullptr);
        auto core = MpvCore::Create({{"vo", "null"}, {"ao", "null"}});
        const auto asked = Clock::now();
        char playUrl[1024] = {};
        const bool started =
            core && SetProgramInfo(source.c_str(), std::atoi(clip.id), 2, 2, playUrl);
        if (started)
            core->Load(playUrl, false);
        const bool plays = started && PlaysWithin(*core, kGiveUpAfter);
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - asked).count());
        core.reset();
        UnInitkestrivane();
        if (!plays)
            return state.SkipWithError("the programme did not play");
    }
}

void BM_Mp3WithId3v2(benchmark::State& state) {
    StartPlaying(state, kMp3Tagged);
}
void BM_Mp3WithoutId3v2(benchmark::State& state) {
    StartPlaying(state, kMp3Untagged);
}
void BM_FlvWithMetadata(benchmark::State& state) {
    StartPlaying(state, kFlvWithMetadata);
}
void BM_FlvWithoutMetadata(benchmark::State& state) {
    StartPlaying(state, kFlvWithoutMetadata);
}
BENCHMARK(BM_Mp3WithId3v2)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Mp3WithoutId3v2)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FlvWithMetadata)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FlvWithoutMetadata)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    benchmark::Initialize(&argc, argv);
    Site made;
    site = &made;
    SecondsReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const auto ratio = [&](const char* without, const char* with) {
        const double base = reporter.Find(with);
        return base > 0 ? reporter.Find(without) / base : 0.0;
    };
    std::printf("\nat %d KB/s, asking to play to playing, without metadata / with (goal <= 1.5): "
                "MP3 %.2f, FLV %.2f\n",
                kRateKiloBytes, ratio("BM_Mp3WithoutId3v2", "BM_Mp3WithId3v2"),
                ratio("BM_FlvWithoutMetadata", "BM_FlvWithMetadata"));
    site = nullptr;
    benchmark::Shutdown();
    return 0;
}
