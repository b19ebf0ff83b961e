#pragma once

#include "ByteRange.h"
#include "HeldRecord.h"

#include <curl/curl.h>

#include <cstdint>
#include <optional>
#include <string>

namespace kestrivane {

// What the last answer of a transfer (after any redirect) told in its head, read through
// libcurl's header API once the head is in.
struct ResponseHead {
    long status = 0;
    std::optional<uint64_t> length; // of the body
    std::optional<ContentRange> range;
    std::string etag, lastModified;
    bool chunked = false; // the body ends with a marker, not with the connection

    // The size a Content-Range told (also in a 416 answer's "bytes */1000").
    std::optional<uint64_t> RangeTotal() const { return range ? range->total : std::nullopt; }
    // The programme's size and validators as this answer tells them; nothing without a size.
    std::optional<ProgrammeVersion> Version() const;
};

ResponseHead ReadResponseHead(CURL* curl);

} // namespace kestrivane
