#pragma once

#include "HeldRanges.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kestrivane {

// Which version of a programme an origin's answer carries: its size and validators.
struct ProgrammeVersion {
    uint64_t total = 0;
    std::string etag;         // empty when the origin sent none
    std::string lastModified; // likewise
    // Pieces of two answers may be joined: the same size, and no validator both sent that
    // differs.
    bool Matches(const ProgrammeVersion& other) const;
};

// What an unfinished copy with holes holds, kept beside its data file:
//   kestrivane-held 1
//   total 1900000
//   etag "5f-1d00"               (when the origin sent one)
//   last-modified <HTTP date>     (likewise)
//   held 0 65536                  (one line per range: first byte, one past the last)
struct HeldRecord {
    ProgrammeVersion version;
    HeldRanges held;
};

std::string FormatHeldRecord(const HeldRecord& record);
// Nothing for anything but a whole record in that form, with every range inside the programme.
std::optional<HeldRecord> ParseHeldRecord(std::string_view text);

} // namespace kestrivane
