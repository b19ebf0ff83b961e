// Catalogue load and search at scale. Files are generated at run time (GB2312, channels ->
// folders -> programmes) in a temporary directory and removed at the end.
#include "catalogue/CatalogueSearch.h"
#include "catalogue/ChannelRules.h"
#include "catalogue/SearchNames.h"
#include "config/Dialogs.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iconv.h>
#include <iterator>
#include <malloc.h>
#include <map>
#include <spawn.h>
#include <stdexcept>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using namespace luming;

const char* const kPoems[] = {"静夜思", "春晓",       "登鹳雀楼", "咏鹅",   "悯农",
                              "江雪",   "望庐山瀑布", "赠汪伦",   "游子吟", "村居"};
const char* const kPoets[] = {"李白", "孟浩然", "王之涣", "骆宾王", "李绅", "柳宗元"};

std::string ToGb2312(const std::string& utf8) {
    iconv_t cd = iconv_open("GB2312", "UTF-8");
    std::string out(utf8.size() + 16, '\0');
    char* in = const_cast<char*>(utf8.data());
    size_t inLeft = utf8.size(), outLeft = out.size();
    char* outPtr = out.data();
    const size_t done = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (done == static_cast<size_t>(-1))
        throw std::runtime_error("generator text is not GB2312");
    out.resize(out.size() - outLeft);
    return out;
}

// `entries` entries: 10 channels, folders of 100 programmes each.
std::string GenerateCatalogue(int entries) {
    std::string xml = "<?xml version=\"1.0\" encoding=\"gb2312\"?>\n<list>\n";
    const auto entry = [&](int type, int id, int pid, const std::string& name) {
        xml += "<item><type>" + std::to_string(type) + "</type><id>" + std::to_string(id) +
               "</id><pid>" + (pid ? std::to_string(pid) : "") + "</pid><name>" + name +
               "</name></item>\n";
    };
    const int channels = 10;
    int written = 0, id = 1;
    std::vector<int> channelIds;
    for (int c = 0; c < channels && written < entries; ++c, ++written) {
        channelIds.push_back(id);
        entry(0, id++, 0, "频道" + std::to_string(c + 1));
    }
    int folderNo = 0;
    while (written < entries) {
        const int folder = id++;
        ++folderNo;
        entry(0, folder, channelIds[folderNo % channels],
              "古诗第" + std::to_string(folderNo) + "册");
        ++written;
        for (int p = 0; p < 100 && written < entries; ++p, ++written) {
            const int n = id++;
            entry(1 + n % 4, n, folder,
                  std::string(kPoems[n % 10]) + "（" + kPoets[n % 6] + "）第" + std::to_string(n) +
                      "首");
        }
    }
    return ToGb2312(xml + "</list>\n");
}

class Files {
public:
    Files()
        : dir_(std::filesystem::temp_directory_path() /
               ("luming-bench-" + std::to_string(::getpid()))) {
        std::filesystem::create_directories(dir_);
    }
    ~Files() { std::filesystem::remove_all(dir_); }
    std::string Scratch(const std::string& name) const { return (dir_ / name).string(); }
    const std::string& For(int entries) {
        auto& path = paths_[entries];
        if (path.empty()) {
            path = (dir_ / (std::to_string(entries) + ".xml")).string();
            std::ofstream(path, std::ios::binary) << GenerateCatalogue(entries);
        }
        return path;
    }

private:
    std::filesystem::path dir_;
    std::map<int, std::string> paths_;
};

Files& GeneratedFiles() {
    static Files files;
    return files;
}

struct Measured {
    double seconds;
    long peakKb;
};

// Runs a program to its end under /usr/bin/time, which forks it from a small process: a child
// spawned from this (large) process directly would inherit our peak as its own.
Measured RunProgram(const std::vector<std::string>& program) {
    const std::string peakFile = GeneratedFiles().Scratch("peak.txt");
    std::vector<std::string> arguments = {"/usr/bin/time", "-f", "%M", "-o", peakFile};
    arguments.insert(arguments.end(), program.begin(), program.end());
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        throw std::runtime_error("cannot start " + program[0]);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    waitpid(pid, &status, 0);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error(program[0] + " failed");
    long peakKb = 0;
    std::ifstream(peakFile) >> peakKb;
    return {took.count(), peakKb};
}

void ReportProcess(benchmark::State& state, const std::vector<std::string>& arguments,
                   const std::string& file) {
    long peakKb = 0;
    for (auto _ : state) {
        const Measured run = RunProgram(arguments);
        state.SetIterationTime(run.seconds);
        peakKb = std::max(peakKb, run.peakKb);
    }
    const double fileMb = static_cast<double>(std::filesystem::file_size(file)) / 1e6;
    state.counters["file_MB"] = fileMb;
    state.counters["peak_MB"] = peakKb / 1e3;
    state.counters["peak_per_file"] = peakKb / 1e3 / fileMb;
}

// File to finished tree in a process of its own, as the first-play command does it.
void BM_ToolFirstPlay(benchmark::State& state) {
    const std::string& file = GeneratedFiles().For(static_cast<int>(state.range(0)));
    ReportProcess(state, {LUMING_TOOL_PATH, "first-play", file}, file);
}

// The bare streaming parse the load is measured against.
void BM_XmllintStream(benchmark::State& state) {
    const std::string& file = GeneratedFiles().For(static_cast<int>(state.range(0)));
    ReportProcess(state, {"/usr/bin/xmllint", "--stream", "--noout", file}, file);
}

struct NoPlayer : IPlayProgram {
    void PlayProgram(TKrvPlay&) override {}
};
struct NoDialogs : IDialogs {
    void Information(const std::string&) override {}
    void Plain(const std::string&) override {}
    bool Confirm(const std::string&) override { return false; }
    void Error(const std::string&) override {}
};

// A catalogue file loaded into a tree the way the window loads its channel.
struct LoadedTree {
    explicit LoadedTree(const std::string& file) { rules.LoadCatalogueFile(file); }
    ProgrammeTree tree;
    ChannelState channel;
    NoPlayer player;
    ChannelRules rules{tree, channel, "", "", player};
};

void BM_LoadInProcess(benchmark::State& state) {
    const std::string& file = GeneratedFiles().For(static_cast<int>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(LoadedTree(file).tree.Count());
}

// One search, as a click on the magnifier runs it: a keyword that hits one name in 10 000.
void BM_Search(benchmark::State& state) {
    LoadedTree loaded(GeneratedFiles().For(static_cast<int>(state.range(0))));
    NoDialogs dialogs;
    CatalogueSearch search(loaded.tree, loaded.rules, dialogs);
    for (auto _ : state)
        benchmark::DoNotOptimize(search.imgSearchClick("第777"));
    state.counters["nodes"] = loaded.tree.Count();
}

LoadedTree& MillionEntries() {
    static LoadedTree loaded(GeneratedFiles().For(1000000));
    return loaded;
}

// Searches of one catalogue for the same poem written in characters, in the other script and
// in pinyin (one name in ten each), and for words no name holds; after a first search, so the
// names' simplified forms and readings are made already.
const char* const kKeywords[] = {"静夜思", "靜夜思",     "jingyesi",
                                 "jys",    "静夜思李白", "jingyesilibai"};

void BM_SearchKeyword(benchmark::State& state) {
    LoadedTree& loaded = MillionEntries();
    const char* keyword = kKeywords[state.range(0)];
    state.SetLabel(keyword);
    NoDialogs dialogs;
    CatalogueSearch search(loaded.tree, loaded.rules, dialogs);
    search.imgSearchClick(keyword);
    for (auto _ : state)
        benchmark::DoNotOptimize(search.imgSearchClick(keyword));
    search.delSearchResult();
}

// The first search of a catalogue in pinyin, which makes the names' readings first.
void BM_FirstPinyinSearch(benchmark::State& state) {
    LoadedTree& loaded = MillionEntries();
    NoDialogs dialogs;
    for (auto _ : state) {
        CatalogueSearch search(loaded.tree, loaded.rules, dialogs);
        benchmark::DoNotOptimize(search.imgSearchClick("jys"));
        state.PauseTiming();
        search.delSearchResult();
        state.ResumeTiming();
    }
}

// What malloc has handed out, from its heap and in mappings of their own.
size_t HeldBytes() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

// Making the names' simplified forms (0), which the first search with Chinese characters does,
// or their readings (1), which the first in pinyin does; the load does neither.
void BM_MakeSearchNames(benchmark::State& state) {
    LoadedTree& loaded = MillionEntries();
    const bool readings = state.range(0) == 1;
    state.SetLabel(readings ? "readings" : "simplified forms");
    size_t heldBytes = 0;
    for (auto _ : state) {
        const size_t before = HeldBytes();
        SearchNames names;
        names.Prepare(loaded.tree.Records(), !readings, readings);
        heldBytes = HeldBytes() - before;
    }
    state.counters["held_MB"] = static_cast<double>(heldBytes) / 1e6;
}

void CatalogueSizes(benchmark::internal::Benchmark* benchmark) {
    benchmark->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
}

// A whole program per iteration: few iterations, wall time as measured around it.
void ProgramRuns(benchmark::internal::Benchmark* benchmark) {
    CatalogueSizes(benchmark);
    benchmark->UseManualTime()->Iterations(3);
}

} // namespace

BENCHMARK(BM_XmllintStream)->Apply(ProgramRuns);
BENCHMARK(BM_ToolFirstPlay)->Apply(ProgramRuns);
BENCHMARK(BM_LoadInProcess)->Apply(CatalogueSizes);
BENCHMARK(BM_Search)->Apply(CatalogueSizes);
BENCHMARK(BM_SearchKeyword)->DenseRange(0, std::size(kKeywords) - 1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FirstPinyinSearch)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MakeSearchNames)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
