#pragma once

#include <cstdint>
#include <string>

namespace luming {

// The programme record behind every node of the programme tree, and the record the players get.
// FileType codes: "0" folder, "1" Flash movie, "2" audio, "3" text, "4" Flash video, "10" and
// "11" archives.
struct TKrvPlay {
    std::string Id;
    int32_t TaskNo = 0; // the vendor library's transfer number; 0 until the programme is fetched
    std::string Pid;
    std::string Name;
    std::string SourceUrl;
    std::string FileType;
    std::string PlayUrl;
};

} // namespace luming
