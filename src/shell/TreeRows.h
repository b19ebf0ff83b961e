#pragma once

#include "catalogue/ProgrammeTree.h"

namespace luming {

// The rows the tree view shows when scrolled through: nodes whose ancestors are all open, in
// the tree's flat order. Closed subtrees are stepped over whole, so the cost follows the rows
// shown, not the size of the catalogue.
struct VisibleRowCount {
    int rows = 0;
    int rowsAbove = 0; // of those, the rows before `top`
};
VisibleRowCount CountVisibleRows(const ProgrammeTree& tree, NodeIndex top);

// The node of visible row `row` (from 0), or kNoNode past the last row.
NodeIndex VisibleRow(const ProgrammeTree& tree, int row);

} // namespace luming
