#include "ProcessMemory.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace luming::test {

namespace {

int ParentOf(const std::filesystem::path& procDir) {
    std::ifstream stat(procDir / "stat");
    std::string line;
    std::getline(stat, line);
    // "pid (name) state ppid ...": the name may hold spaces and parentheses.
    const size_t close = line.rfind(')');
    if (close == std::string::npos)
        return -1;
    std::istringstream rest(line.substr(close + 2));
    char state = 0;
    int parent = -1;
    rest >> state >> parent;
    return parent;
}

} // namespace

int64_t ProcessPssKib(int pid) {
    std::ifstream rollup("/proc/" + std::to_string(pid) + "/smaps_rollup");
    std::string key;
    int64_t value = 0;
    while (rollup >> key) {
        if (key == "Pss:" && rollup >> value)
            return value;
        rollup.ignore(1 << 12, '\n');
    }
    return 0;
}

int64_t ProcessTreePssKib(int root) {
    std::multimap<int, int> children;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") == std::string::npos)
            children.emplace(ParentOf(entry.path()), std::stoi(name));
    }
    int64_t total = 0;
    std::vector<int> pending{root};
    while (!pending.empty()) {
        const int pid = pending.back();
        pending.pop_back();
        total += ProcessPssKib(pid);
        for (auto [it, end] = children.equal_range(pid); it != end; ++it)
            pending.push_back(it->second);
    }
    return total;
}

} // namespace luming::test
