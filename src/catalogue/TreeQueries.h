#pragma once

#include "catalogue/ProgrammeTree.h"

namespace luming {

// A node the play list can play: it has no children and its FileType is not "0".
bool IsProgramme(const ProgrammeTree& tree, NodeIndex node);

// The absolute index of the first node, in depth-first order, that has no children and whose
// FileType is not "0"; 0 when there is none.
int getFirstPlay(const ProgrammeTree& tree);

// The programmes of a folder as the play list counts them: from the folder's first child on,
// the run of consecutive nodes exactly one level below the folder (it ends at the first node
// that is deeper or shallower). 0 for no node or a node without children.
int CountChildren(const ProgrammeTree& tree, NodeIndex node);

// A Flash movie the child can start with one click from where `node` is: the node itself, or a
// programme of the folder it is in (a programme's parent, an open folder itself).
bool FlashMovieNear(const ProgrammeTree& tree, NodeIndex node);

} // namespace luming
