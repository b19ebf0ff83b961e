#include "tools/ToolCommand.h"

#include <iostream>

int main(int argc, char** argv) {
    const luming::tool::Arguments arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    return luming::tool::RunTool(arguments, std::cout, std::cerr);
}
