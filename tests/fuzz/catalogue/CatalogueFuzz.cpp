// Arbitrary bytes as a catalogue file: reading, placing entries, then the queries, a search and
// the play order over whatever tree came out.
#include "catalogue/CatalogueLoader.h"
#include "catalogue/CatalogueSearch.h"
#include "catalogue/ChannelRules.h"
#include "catalogue/PlayOrder.h"
#include "catalogue/TreeQueries.h"
#include "config/Dialogs.h"

#include <cstddef>
#include <cstdint>

namespace {

using namespace luming;

struct NoPlayer : IPlayProgram {
    void PlayProgram(TKrvPlay& play) override { (void)play.Name.size(); }
};
struct NoDialogs : IDialogs {
    void Information(const std::string&) override {}
    void Plain(const std::string&) override {}
    bool Confirm(const std::string&) override { return false; }
    void Error(const std::string&) override {}
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ProgrammeTree tree;
    LoadReport report;
    try {
        CatalogueLoader loader(tree, &report);
        ReadCatalogueBytes({reinterpret_cast<const char*>(data), size}, loader);
        loader.Finish();
    } catch (const CatalogueFormatError&) {
        return 0;
    }
    ChannelState state;
    NoPlayer player;
    NoDialogs dialogs;
    ChannelRules rules(tree, state, "", "", player);
    CatalogueSearch search(tree, rules, dialogs);
    const int first = getFirstPlay(tree);
    for (NodeIndex node = 0; node < tree.Count() && node < 64; ++node) {
        (void)CountChildren(tree, node);
        TakePlayStep(PlayNext(tree, static_cast<int>(node), "3", true, ClockSeededRandom()), tree,
                     rules, dialogs);
        TakePlayStep(PlayPrevious(tree, static_cast<int>(node)), tree, rules, dialogs);
    }
    if (tree.Count() > 0) {
        search.imgSearchClick(tree.Text(static_cast<NodeIndex>(first) % tree.Count()));
        tree.Select(0);
        rules.tv1Click();
        search.delSearchResult();
    }
    return 0;
}
