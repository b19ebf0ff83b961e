// Range headers of players' requests against programmes of any size: a part always lies inside
// the programme and is never empty. The same bytes as an origin's Content-Range: a part read
// from it fits its size.
#include "ByteRange.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < sizeof(uint64_t))
        return 0;
    uint64_t total = 0;
    std::memcpy(&total, data, sizeof total);
    total %= uint64_t{1} << 40; // programme sizes, not just the ends of 64 bits
    const std::string_view header(reinterpret_cast<const char*>(data) + sizeof total,
                                  size - sizeof total);
    const kestrivane::RangeAnswer answer = kestrivane::ResolveRange(header, total);
    if (answer.kind == kestrivane::RangeAnswer::Kind::Part &&
        (answer.length == 0 || answer.first >= total || answer.length > total - answer.first))
        std::abort();
    const auto told = kestrivane::ParseContentRange(header);
    if (told && (told->first.has_value() != told->last.has_value() ||
                 (told->first &&
                  (*told->last < *told->first || (told->total && *told->last >= *told->total))) ||
                 (!told->first && !told->total)))
        std::abort();
    return 0;
}
