#pragma once

#include <sys/types.h>

namespace luming::test {

// How many top-level windows of process `pid` the X server shows (mapped and viewable), and how
// many it knows at all. The program's windows carry _NET_WM_PID.
struct WindowCount {
    int viewable = 0;
    int all = 0;
};
WindowCount WindowsOfProcess(pid_t pid);

} // namespace luming::test
