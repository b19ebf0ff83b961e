#include "shell/TreeRows.h"

namespace luming {

namespace {

// The next visible row after `node`: its first child when it is open, else what follows its
// subtree.
NodeIndex NextVisible(const ProgrammeTree& tree, NodeIndex node) {
    return tree.Expanded(node) ? node + 1 : tree.SubtreeEnd(node);
}

} // namespace

VisibleRowCount CountVisibleRows(const ProgrammeTree& tree, NodeIndex top) {
    VisibleRowCount count;
    bool beforeTop = top != kNoNode;
    for (NodeIndex node = 0; node < tree.Count(); node = NextVisible(tree, node)) {
        if (node == top)
            beforeTop = false;
        if (beforeTop)
            ++count.rowsAbove;
        ++count.rows;
    }
    return count;
}

NodeIndex VisibleRow(const ProgrammeTree& tree, int row) {
    if (row < 0)
        return kNoNode;
    int seen = 0;
    for (NodeIndex node = 0; node < tree.Count(); node = NextVisible(tree, node))
        if (seen++ == row)
            return node;
    return kNoNode;
}

} // namespace luming
