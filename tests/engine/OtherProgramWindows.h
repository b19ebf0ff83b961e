#pragma once

#include <string>

namespace luming::test {

// Runs as "another program" for the desktop tests: makes two unmapped top-level windows of the
// class `windowClass` (instance "luming-other"), one titled `title` through _NET_WM_NAME, one
// titled "Café" through the older Latin-1 WM_NAME only; prints "ready <first> <second>" and
// keeps them until standard input closes. Returns the process's exit code.
int RunOtherProgramWindows(const std::string& windowClass, const std::string& title);

} // namespace luming::test
