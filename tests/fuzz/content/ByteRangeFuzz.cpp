// Range headers of players' requests against programmes of any size: a part always lies inside
// the programme and is never empty.
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
    return 0;
}
