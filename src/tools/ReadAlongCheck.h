#pragma once

#include "catalogue/ProgrammeTree.h"

#include <ostream>
#include <string>

namespace luming::tool {

// Reports every read-along file of the tree's programmes in a media folder (<id>.lrc, as
// `luming-tool publish` reads it) that a client could not read; returns how many there were.
int ReportUnreadableReadAlongs(const ProgrammeTree& tree, const std::string& mediaDir,
                               std::ostream& out);

} // namespace luming::tool
