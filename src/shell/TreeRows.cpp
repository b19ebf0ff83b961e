#include "shell/TreeRows.h"

#include <QTreeView>

namespace luming {

namespace {

// Walks the visible rows in order until `visit` returns false.
void WalkVisibleRows(const QTreeView& tree, const std::function<bool(const QModelIndex&)>& visit) {
    const QAbstractItemModel* model = tree.model();
    if (!model)
        return;
    std::function<bool(const QModelIndex&)> walk = [&](const QModelIndex& parent) {
        const int count = model->rowCount(parent);
        for (int row = 0; row < count; ++row) {
            const QModelIndex index = model->index(row, 0, parent);
            if (!visit(index))
                return false;
            if (tree.isExpanded(index) && !walk(index))
                return false;
        }
        return true;
    };
    walk(tree.rootIndex());
}

} // namespace

VisibleRowCount CountVisibleRows(const QTreeView& tree) {
    VisibleRowCount count;
    const QModelIndex top = tree.indexAt(QPoint(1, 1));
    bool beforeTop = top.isValid();
    WalkVisibleRows(tree, [&](const QModelIndex& index) {
        if (beforeTop && index == top)
            beforeTop = false;
        if (beforeTop)
            ++count.rowsAbove;
        ++count.rows;
        return true;
    });
    return count;
}

QModelIndex VisibleRow(const QTreeView& tree, int row) {
    QModelIndex found;
    int seen = 0;
    WalkVisibleRows(tree, [&](const QModelIndex& index) {
        if (seen++ == row) {
            found = index;
            return false;
        }
        return true;
    });
    return found;
}

} // namespace luming
