#pragma once

#include <QModelIndex>

#include <functional>

class QTreeView;

namespace luming {

// The rows a tree view shows when scrolled through: nodes whose ancestors are all expanded,
// in the tree's flat order.
struct VisibleRowCount {
    int rows = 0;
    int rowsAbove = 0; // of those, the rows before the first row in view
};
VisibleRowCount CountVisibleRows(const QTreeView& tree);

// The visible row number `row` (from 0), or an invalid index past the end.
QModelIndex VisibleRow(const QTreeView& tree, int row);

} // namespace luming
