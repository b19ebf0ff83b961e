#pragma once

#include "tools/ToolCommand.h"

#include <sstream>
#include <string>

namespace luming::test {

// What a luming-tool command answered: its exit code and both streams.
struct ToolRun {
    int code;
    std::string out, err;
};

inline ToolRun RunToolCommand(const tool::Arguments& arguments) {
    std::ostringstream out, err;
    const int code = tool::RunTool(arguments, out, err);
    return {code, out.str(), err.str()};
}

} // namespace luming::test
