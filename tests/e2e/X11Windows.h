#pragma once

#include <sys/types.h>

#include <cstdint>
#include <vector>

namespace luming::test {

// How many top-level windows of process `pid` the X server shows (mapped and viewable), and how
// many it knows at all. The program's windows carry _NET_WM_PID.
struct WindowCount {
    int viewable = 0;
    int all = 0;
};
WindowCount WindowsOfProcess(pid_t pid);

// The client windows as a window manager stacks them, bottom first (_NET_CLIENT_LIST_STACKING);
// empty while no such window manager runs.
std::vector<uint32_t> StackedClientWindows();

} // namespace luming::test
