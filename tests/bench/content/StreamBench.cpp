// The local server against a direct download from the origin, and the time to a player's first
// byte after SetProgramInfo.
#include "kestrivane.h"
#include "support/LoopbackServer.h"
#include "support/TempDir.h"

#include <benchmark/benchmark.h>
#include <curl/curl.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace {

constexpr std::size_t kProgrammeSize = 32 * 1024 * 1024;

struct Counter {
    std::size_t bytes = 0;
    std::chrono::steady_clock::time_point firstByte{};
    bool stopAtFirst = false;
};

size_t CountBody(char*, size_t size, size_t count, void* target) {
    auto& counter = *static_cast<Counter*>(target);
    if (counter.bytes == 0)
        counter.firstByte = std::chrono::steady_clock::now();
    counter.bytes += size * count;
    return counter.stopAtFirst ? 0 : size * count;
}

Counter Download(const std::string& url, bool stopAtFirst = false) {
    Counter counter;
    counter.stopAtFirst = stopAtFirst;
    CURL* curl = curl_easy_init();
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &CountBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &counter);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_perform(curl);
    curl_easy_cleanup(curl);
    return counter;
}

// An origin serving one programme, and the library started on a fresh store.
struct Setup {
    luming::test::TempDir store;
    luming::test::LoopbackServer origin;
    std::string bytes = std::string(kProgrammeSize, 'p');

    Setup() {
        origin.server().Get(".*", [this](const httplib::Request&, httplib::Response& response) {
            response.set_content(bytes, "video/x-flv");
        });
        origin.Start();
        setenv("KESTRIVANE_STORE", store.path().c_str(), 1);
        Initkestrivane(26, nullptr, nullptr, nullptr, nullptr);
    }
    ~Setup() { UnInitkestrivane(); }

    std::string PlayUrl(const std::string& path) {
        char out[1024] = {};
        SetProgramInfo(origin.url(path).c_str(), 1, 2, 2, out);
        return out;
    }
};

void BM_DirectFromOrigin(benchmark::State& state) {
    Setup setup;
    for (auto _ : state)
        benchmark::DoNotOptimize(Download(setup.origin.url("/direct.flv")).bytes);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kProgrammeSize));
}
BENCHMARK(BM_DirectFromOrigin)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ThroughLocalServerDownloaded(benchmark::State& state) {
    Setup setup;
    const std::string playUrl = setup.PlayUrl("/stored.flv");
    Download(playUrl); // the first pass completes the download into the store
    for (auto _ : state)
        benchmark::DoNotOptimize(Download(playUrl).bytes);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kProgrammeSize));
}
BENCHMARK(BM_ThroughLocalServerDownloaded)->Unit(benchmark::kMillisecond)->UseRealTime();

// From SetProgramInfo of a new address to the player's first byte (manual time).
void BM_FirstByteAfterSetProgramInfo(benchmark::State& state) {
    Setup setup;
    int n = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const std::string playUrl = setup.PlayUrl("/first" + std::to_string(n++) + ".flv");
        const Counter counter = Download(playUrl, true);
        state.SetIterationTime(std::chrono::duration<double>(counter.firstByte - start).count());
    }
}
BENCHMARK(BM_FirstByteAfterSetProgramInfo)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(20);

// The same from the origin directly: what the origin itself takes to its first byte.
void BM_FirstByteFromOrigin(benchmark::State& state) {
    Setup setup;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const Counter counter = Download(setup.origin.url("/direct.flv"), true);
        state.SetIterationTime(std::chrono::duration<double>(counter.firstByte - start).count());
    }
}
BENCHMARK(BM_FirstByteFromOrigin)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(20);

// A stored part of a programme asked for while 200 requests wait for its missing tail (the
// origin sends the first half and then holds the rest back).
void BM_StoredBytesWhileTwoHundredWait(benchmark::State& state) {
    luming::test::TempDir store;
    luming::test::LoopbackServer origin;
    const std::string bytes(1024 * 1024, 'p');
    std::atomic<bool> release = false;
    origin.server().Get(".*", [&](const httplib::Request&, httplib::Response& response) {
        response.set_content_provider(
            bytes.size(), "video/x-flv", [&](size_t offset, size_t, httplib::DataSink& sink) {
                while (offset >= bytes.size() / 2 && !release)
                    std::this_thread::sleep_for(std::chrono::milliseconds(10));
                return sink.write(bytes.data() + offset,
                                  std::min<size_t>(65536, bytes.size() - offset));
            });
    });
    origin.Start();
    setenv("KESTRIVANE_STORE", store.path().c_str(), 1);
    Initkestrivane(26, nullptr, nullptr, nullptr, nullptr);
    char out[1024] = {};
    SetProgramInfo(origin.url("/held.flv").c_str(), 1, 2, 2, out);
    const std::string playUrl = out;
    Download(playUrl, true); // the size is known from here on

    CURLM* multi = curl_multi_init();
    Counter tails;
    std::vector<CURL*> waiting;
    for (int i = 0; i < 200; ++i) {
        CURL* curl = curl_easy_init();
        curl_easy_setopt(curl, CURLOPT_URL, playUrl.c_str());
        curl_easy_setopt(curl, CURLOPT_RANGE, "1048000-");
        curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &CountBody);
        curl_easy_setopt(curl, CURLOPT_WRITEDATA, &tails);
        curl_multi_add_handle(multi, curl);
        waiting.push_back(curl);
    }
    // Until every one has its head: from then on each waits for its body.
    const auto answered = [&] {
        for (CURL* curl : waiting) {
            long status = 0;
            curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
            if (status != 206)
                return false;
        }
        return true;
    };
    int running = 0;
    while (!answered()) {
        curl_multi_perform(multi, &running);
        curl_multi_poll(multi, nullptr, 0, 10, nullptr);
    }
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        CURL* curl = curl_easy_init();
        Counter counter;
        curl_easy_setopt(curl, CURLOPT_URL, playUrl.c_str());
        curl_easy_setopt(curl, CURLOPT_RANGE, "0-65535");
        curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &CountBody);
        curl_easy_setopt(curl, CURLOPT_WRITEDATA, &counter);
        curl_easy_perform(curl);
        curl_easy_cleanup(curl);
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    curl_multi_perform(multi, &running);
    state.counters["waiting"] = running;
    release = true;
    for (CURL* curl : waiting) {
        curl_multi_remove_handle(multi, curl);
        curl_easy_cleanup(curl);
    }
    curl_multi_cleanup(multi);
    UnInitkestrivane();
}
BENCHMARK(BM_StoredBytesWhileTwoHundredWait)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(50);

} // namespace
