#pragma once

#include "catalogue/ProgrammeTree.h"

#include <functional>
#include <string_view>

namespace luming {

class ChannelRules;
class IDialogs;

inline constexpr std::string_view kSequenceEndMessage = "节目列表按顺序播放完成!";

// What the play list does next: nothing, select a node and click it, or (mode "1" at the end
// of the folder) tell the user the list is done.
struct PlayStep {
    enum class Kind { Nothing, Click, EndOfList };
    Kind kind = Kind::Nothing;
    NodeIndex node = kNoNode;
};

// A whole number from 0 to n - 1 (n > 0).
using RandomBelow = std::function<int(int n)>;
// Reseeded from the clock on every call, as the random play mode wants.
RandomBelow ClockSeededRandom();

// The programme after the current one. `automatic` is true at the end of a programme and false
// for the next button (which always moves on and wraps, whatever the mode). Modes: "0" loop the
// folder, "1" through the folder once, "2" the same programme (the selected node is clicked
// again), "3" a random other programme of the folder. The folder's programmes are its children
// without children of their own and not of type "0"; sub-folders are passed over. A programme
// at the top level takes the run of top-level nodes around it as its folder.
PlayStep PlayNext(const ProgrammeTree& tree, int currentIndex, std::string_view playMode,
                  bool automatic, const RandomBelow& random);

// The programme before the current one; from the first of a folder, the last.
PlayStep PlayPrevious(const ProgrammeTree& tree, int currentIndex);

// Carries a step out on the window's tree: the click through the channel rules, the end
// message through the information box.
void TakePlayStep(const PlayStep& step, ProgrammeTree& tree, ChannelRules& rules,
                  IDialogs& dialogs);

} // namespace luming
