#include "catalogue/PlayOrder.h"

#include "catalogue/ChannelRules.h"
#include "catalogue/TreeQueries.h"
#include "config/Dialogs.h"

#include <chrono>
#include <random>

namespace luming {

namespace {

// A node's folder as the play list sees it: the index just before its first programme and the
// number of programmes counted from there. At the top level there is no folder node; the run of
// top-level nodes around the programme stands in for one, so a loose programme list at the top
// loops, shuffles and steps back within itself.
struct Folder {
    long long index;
    long long programmes;
};

Folder FolderOf(const ProgrammeTree& tree, NodeIndex node) {
    const NodeIndex parent = tree.Parent(node);
    if (parent != kNoNode)
        return {parent, CountChildren(tree, parent)};
    NodeIndex first = node;
    while (first > 0 && tree.Level(first - 1) == 0)
        --first;
    NodeIndex end = node + 1;
    while (end < tree.Count() && tree.Level(end) == 0)
        ++end;
    return {static_cast<long long>(first) - 1, end - first};
}

PlayStep ClickAt(const ProgrammeTree& tree, long long index) {
    if (index < 0 || index >= tree.Count())
        return {};
    return {PlayStep::Kind::Click, static_cast<NodeIndex>(index)};
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
    const auto node = static_cast<NodeIndex>(currentIndex);
    const long long current = currentIndex;
    const bool nextQualifies = node + 1 < tree.Count() && tree.Level(node + 1) == tree.Level(node);

    if (!automatic || playMode == "0")
        return ClickAt(tree, nextQualifies ? current + 1 : FolderOf(tree, node).index + 1);
    if (playMode == "1")
        return nextQualifies ? ClickAt(tree, current + 1) : PlayStep{PlayStep::Kind::EndOfList};
    if (playMode == "3") {
        const Folder folder = FolderOf(tree, node);
        if (folder.programmes <= 0)
            return {};
        long long target = folder.index + 1 + random(static_cast<int>(folder.programmes));
        if (target == current)
            target = current >= folder.index + folder.programmes ? folder.index + 1 : target + 1;
        return ClickAt(tree, target);
    }
    // "2" and anything unreadable: the selected node (normally the current one) again.
    return tree.Contains(tree.Selected()) ? PlayStep{PlayStep::Kind::Click, tree.Selected()}
                                          : PlayStep{};
}

PlayStep PlayPrevious(const ProgrammeTree& tree, int currentIndex) {
    if (!IsCurrent(tree, currentIndex))
        return {};
    const auto node = static_cast<NodeIndex>(currentIndex);
    const Folder folder = FolderOf(tree, node);
    const bool firstOfFolder = node == folder.index + 1;
    if (!firstOfFolder)
        return ClickAt(tree, currentIndex - 1LL);
    return ClickAt(tree, currentIndex + folder.programmes - 1);
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
