#include "catalogue/PlayOrder.h"

#include "catalogue/ChannelRules.h"
#include "catalogue/TreeQueries.h"
#include "config/Dialogs.h"

#include <chrono>
#include <random>
#include <vector>

namespace luming {

namespace {

// The play list of a node: the programmes of its folder, in tree order. Sub-folders and empty
// folders among them are passed over, so a folder inside a folder never stalls the list. At the
// top level there is no folder node; the run of top-level nodes around the node stands in for
// one, so a loose programme list at the top loops, shuffles and steps back within itself.
struct PlayList {
    std::vector<NodeIndex> programmes;
    // Where the current node stands: its own place when it is a programme, else the place of
    // the first programme after it.
    std::size_t place = 0;
    bool currentListed = false;
};

std::vector<NodeIndex> FolderNodes(const ProgrammeTree& tree, NodeIndex node) {
    std::vector<NodeIndex> nodes;
    const NodeIndex parent = tree.Parent(node);
    if (parent != kNoNode) {
        for (NodeIndex child = tree.FirstChild(parent); child != kNoNode;
             child = tree.NextSibling(child))
            nodes.push_back(child);
        return nodes;
    }
    NodeIndex first = node;
    while (first > 0 && tree.Level(first - 1) == 0)
        --first;
    for (NodeIndex each = first; each < tree.Count() && tree.Level(each) == 0; ++each)
        nodes.push_back(each);
    return nodes;
}

PlayList PlayListOf(const ProgrammeTree& tree, NodeIndex current) {
    PlayList list;
    for (NodeIndex node : FolderNodes(tree, current)) {
        if (!IsProgramme(tree, node))
            continue;
        if (node < current)
            ++list.place;
        list.currentListed = list.currentListed || node == current;
        list.programmes.push_back(node);
    }
    return list;
}

PlayStep ClickOn(NodeIndex node) {
    return {PlayStep::Kind::Click, node};
}

bool IsCurrent(const ProgrammeTree& tree, int currentIndex) {
    return currentIndex >= 0 && static_cast<NodeIndex>(currentIndex) < tree.Count();
}

} // namespace

RandomBelow ClockSeededRandom() {
    return [](int n) {
        std::mt19937 engine(static_cast<std::mt19937::result_type>(
            std::chrono::system_clock::now().time_since_epoch().count()));
        return std::uniform_int_distribution<int>(0, n - 1)(engine);
    };
}

PlayStep PlayNext(const ProgrammeTree& tree, int currentIndex, std::string_view playMode,
                  bool automatic, const RandomBelow& random) {
    if (!IsCurrent(tree, currentIndex))
        return {};
    const auto current = static_cast<NodeIndex>(currentIndex);
    if (automatic && playMode != "0" && playMode != "1" && playMode != "3") {
        // "2" and anything unreadable: the selected node (normally the current one) again.
        return tree.Contains(tree.Selected()) ? ClickOn(tree.Selected()) : PlayStep{};
    }
    const PlayList list = PlayListOf(tree, current);
    const std::size_t count = list.programmes.size();
    if (count == 0)
        return {};
    const std::size_t after = list.currentListed ? list.place + 1 : list.place;
    if (!automatic || playMode == "0")
        return ClickOn(list.programmes[after % count]);
    if (playMode == "1")
        return after < count ? ClickOn(list.programmes[after])
                             : PlayStep{PlayStep::Kind::EndOfList};
    // "3": another programme of the folder; with only one, that one again.
    std::size_t pick = static_cast<std::size_t>(random(static_cast<int>(count))) % count;
    if (list.programmes[pick] == current)
        pick = (pick + 1) % count;
    return ClickOn(list.programmes[pick]);
}

PlayStep PlayPrevious(const ProgrammeTree& tree, int currentIndex) {
    if (!IsCurrent(tree, currentIndex))
        return {};
    const PlayList list = PlayListOf(tree, static_cast<NodeIndex>(currentIndex));
    const std::size_t count = list.programmes.size();
    if (count == 0)
        return {};
    return ClickOn(list.programmes[(list.place + count - 1) % count]);
}

void TakePlayStep(const PlayStep& step, ProgrammeTree& tree, ChannelRules& rules,
                  IDialogs& dialogs) {
    switch (step.kind) {
    case PlayStep::Kind::Nothing:
        return;
    case PlayStep::Kind::EndOfList:
        ShowInfo(dialogs, std::string(kSequenceEndMessage));
        return;
    case PlayStep::Kind::Click:
        tree.Select(step.node);
        rules.tv1Click();
        return;
    }
}

} // namespace luming
