#include "catalogue/TreeQueries.h"

#include "catalogue/NodeImages.h"

namespace luming {

bool IsProgramme(const ProgrammeTree& tree, NodeIndex node) {
    return tree.Contains(node) && !tree.HasChildren(node) && tree.FileType(node) != kFolderType;
}

int getFirstPlay(const ProgrammeTree& tree) {
    for (NodeIndex node = 0; node < tree.Count(); ++node)
        if (IsProgramme(tree, node))
            return static_cast<int>(node);
    return 0;
}

bool FlashMovieNear(const ProgrammeTree& tree, NodeIndex node) {
    const auto isFlashMovie = [&tree](NodeIndex each) {
        return IsProgramme(tree, each) && tree.FileType(each) == "1";
    };
    if (!tree.Contains(node))
        return false;
    const NodeIndex folder = tree.HasChildren(node) ? node : tree.Parent(node);
    if (folder == kNoNode)
        return isFlashMovie(node); // a programme at the top of the tree
    for (NodeIndex child = tree.FirstChild(folder); child != kNoNode;
         child = tree.NextSibling(child))
        if (isFlashMovie(child))
            return true;
    return false;
}

int CountChildren(const ProgrammeTree& tree, NodeIndex node) {
    if (!tree.Contains(node) || !tree.HasChildren(node))
        return 0;
    const uint32_t childLevel = tree.Level(node) + 1;
    int count = 0;
    for (NodeIndex next = node + 1; next < tree.Count() && tree.Level(next) == childLevel; ++next)
        ++count;
    return count;
}

} // namespace luming
