// A large Flash movie over a slow line: from the program's Load until Ruffle draws its first
// frame, with the movie served at 100 KB/s (8 MB: 82 s to arrive whole) and, for comparison, at
// full speed. The movie is made by ffmpeg (170 s of 480×360 Sorenson video with sound, 12 fps).
// Run: xvfb-run luming_flash_arrival_bench
#include "BenchSuite.h"
#include "platform/VolumeLevel.h"
#include "platform/flash/MovieEngine.h"
#include "platform/ruffle/RuffleMovie.h"
#include "support/LoopbackServer.h"
#include "support/TempDir.h"

#include <QApplication>
#include <QWidget>

#include <benchmark/benchmark.h>

#include <chrono>
#include <clocale>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <thread>

namespace {

using namespace luming;
using namespace luming::bench;
using Clock = std::chrono::steady_clock;

constexpr size_t kBytesPerSecond = 100 * 1024;
constexpr size_t kSlice = kBytesPerSecond / 10;

struct Harness {
    test::TempDir temp;
    std::string movie;
    test::LoopbackServer server;
    QWidget window;
    VolumeLevel volume;
    MovieEngine* engine = nullptr;

    Harness() {
        const auto path = temp.path() / "big.swf";
        Ffmpeg(path, {"-f", "lavfi", "-i", "testsrc=duration=170:size=480x360:rate=12", "-f",
                      "lavfi", "-i", "sine=frequency=440:duration=170", "-c:v", "flv1", "-q:v",
                      "2", "-c:a", "libmp3lame", "-ar", "22050", "-f", "swf"});
        std::ifstream file(path, std::ios::binary);
        std::ostringstream bytes;
        bytes << file.rdbuf();
        movie = bytes.str();
        server.server().Get("/slow.swf", [this](const httplib::Request&, httplib::Response& r) {
            r.set_content_provider(movie.size(), "application/x-shockwave-flash",
                                   [this](size_t offset, size_t length, httplib::DataSink& sink) {
                                       std::this_thread::sleep_for(std::chrono::milliseconds(100));
                                       return sink.write(movie.data() + offset,
                                                         std::min(length, kSlice));
                                   });
        });
        server.server().Get("/fast.swf", [this](const httplib::Request&, httplib::Response& r) {
            r.set_content(movie, "application/x-shockwave-flash");
        });
        server.Start();
        window.resize(480, 360);
        engine = CreateRuffleMovie(&window, volume, LUMING_RUFFLE_DIR);
        engine->resize(window.size());
        window.show();
        // Ruffle's code compiled ahead, as the window does near a Flash movie.
        engine->Prepare();
        RunUntil([] { return false; }); // 30 s: the page loads and compiles
    }
};

Harness* harness = nullptr;

void FirstFrame(benchmark::State& state, const char* path) {
    for (auto _ : state) {
        MovieEngine& engine = *harness->engine;
        const auto start = Clock::now();
        engine.Load(harness->server.url(path), "");
        if (!RunUntil([&] { return engine.ReadyState() >= 3 && engine.CurrentFrame() >= 1; }))
            state.SkipWithError("no frame within 30 s");
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
        engine.Clear();
    }
}

void BM_LargeMovieFirstFrameAt100KBs(benchmark::State& state) {
    FirstFrame(state, "/slow.swf");
}

void BM_LargeMovieFirstFrameWhole(benchmark::State& state) {
    FirstFrame(state, "/fast.swf");
}

BENCHMARK(BM_LargeMovieFirstFrameAt100KBs)
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LargeMovieFirstFrameWhole)
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    PrepareLikeTheClient();
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    benchmark::Initialize(&argc, argv);
    Harness fixture;
    if (fixture.movie.empty()) {
        std::fprintf(stderr, "ffmpeg could not make the movie\n");
        return 1;
    }
    std::printf("movie: %zu bytes, %.0f s to arrive at 100 KB/s (goal: first frame within 10 s)\n",
                fixture.movie.size(), fixture.movie.size() / double(kBytesPerSecond));
    harness = &fixture;
    benchmark::RunSpecifiedBenchmarks();
    harness = nullptr;
    benchmark::Shutdown();
    return 0;
}
