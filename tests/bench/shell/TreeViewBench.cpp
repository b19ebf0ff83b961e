// How the programme tree view copes with a catalogue of 100 000 entries: attaching the model and
// showing the first screen, opening a folder of 1 000 programmes and scrolling to its end, and
// the drawn scroll bar's row count with everything open.
#include "catalogue/ChannelRules.h"
#include "shell/ImageList.h"
#include "shell/ProgrammeTreeModel.h"
#include "shell/TreeRows.h"

#include <QApplication>
#include <QTreeView>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

using namespace luming;

struct NoPlayer : IPlayProgram {
    void PlayProgram(TKrvPlay&) override {}
};

// 10 channels × 100 folders × 100 programmes (plus one folder of 1 000), UTF-8.
std::string GenerateCatalogue() {
    const auto path = std::filesystem::temp_directory_path() / "luming-tree-view-bench.xml";
    std::ofstream out(path);
    out << "<?xml version=\"1.0\" encoding=\"utf-8\"?><c>";
    int id = 1;
    for (int channel = 0; channel < 10; ++channel) {
        const int channelId = id++;
        out << "<i><type>0</type><id>" << channelId << "</id><pid></pid><name>频道 " << channel
            << "</name></i>";
        for (int folder = 0; folder < 100; ++folder) {
            const int folderId = id++;
            const int programmes = channel == 9 && folder == 99 ? 1000 : 100;
            out << "<i><type>0</type><id>" << folderId << "</id><pid>" << channelId
                << "</pid><name>专辑 " << folder << "</name></i>";
            for (int p = 0; p < programmes; ++p)
                out << "<i><type>2</type><id>" << id++ << "</id><pid>" << folderId
                    << "</pid><name>古诗 " << p << "</name></i>";
        }
    }
    out << "</c>";
    return path.string();
}

struct Fixture {
    ProgrammeTree tree;
    ChannelState state;
    NoPlayer player;
    ChannelRules rules{tree, state, "", "", player};
    ImageList images{
        nullptr,
        "ImageList1",
        {16, 16},
        {"tree_0", "tree_1", "tree_2", "tree_3", "tree_4", "tree_5", "tree_6", "tree_7"}};

    Fixture() {
        static const std::string file = GenerateCatalogue();
        rules.LoadCatalogueFile(file);
    }
};

// The tree column's view over the model, shown and painted once.
struct ShownTree {
    ProgrammeTreeModel model;
    QTreeView view;

    explicit ShownTree(Fixture& fixture) : model(fixture.tree, fixture.images) {
        view.setUniformRowHeights(true);
        view.resize(211, 700);
        view.setModel(&model);
        view.show();
        QApplication::processEvents();
    }
};

void BM_ShowTree(benchmark::State& state) {
    Fixture fixture;
    for (auto _ : state) {
        ShownTree shown(fixture);
        benchmark::DoNotOptimize(shown.view.indexAt(QPoint(1, 1)));
    }
}
BENCHMARK(BM_ShowTree)->Unit(benchmark::kMillisecond);

void BM_OpenBigFolderAndScrollToItsEnd(benchmark::State& state) {
    Fixture fixture;
    ShownTree shown(fixture);
    ProgrammeTreeModel& model = shown.model;
    QTreeView& view = shown.view;
    const NodeIndex folder = fixture.tree.Count() - 1001; // the last folder, 1 000 programmes
    for (auto _ : state) {
        view.expand(model.IndexOf(fixture.tree.Parent(folder)));
        view.expand(model.IndexOf(folder));
        view.scrollTo(model.IndexOf(fixture.tree.Count() - 1));
        QApplication::processEvents();
        view.collapseAll();
        QApplication::processEvents();
    }
}
BENCHMARK(BM_OpenBigFolderAndScrollToItsEnd)->Unit(benchmark::kMillisecond);

void BM_CountRowsWithEverythingOpen(benchmark::State& state) {
    Fixture fixture;
    for (NodeIndex node = 0; node < fixture.tree.Count(); ++node)
        fixture.tree.SetExpanded(node, true);
    for (auto _ : state)
        benchmark::DoNotOptimize(CountVisibleRows(fixture.tree, fixture.tree.Count() / 2));
    state.counters["rows"] = static_cast<double>(fixture.tree.Count());
}
BENCHMARK(BM_CountRowsWithEverythingOpen)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
