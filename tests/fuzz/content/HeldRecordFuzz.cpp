// Held records of unfinished copies, as a crash or a full disk may leave them: a record read
// back names only ranges inside its programme, and writing it out again gives the same record.
#include "HeldRecord.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto record = kestrivane::ParseHeldRecord(text);
    if (!record)
        return 0;
    for (const auto& range : record->held.ranges())
        if (range.first >= range.end || range.end > record->version.total)
            std::abort();
    const auto again = kestrivane::ParseHeldRecord(kestrivane::FormatHeldRecord(*record));
    if (!again || again->held != record->held || again->version.total != record->version.total ||
        again->version.etag != record->version.etag ||
        again->version.lastModified != record->version.lastModified)
        std::abort();
    return 0;
}
