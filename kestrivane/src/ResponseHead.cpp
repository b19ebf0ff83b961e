#include "ResponseHead.h"

#include <algorithm>
#include <cctype>

namespace kestrivane {

namespace {

// The value of the last answer's header `name` (its last occurrence); empty without one.
std::string Header(CURL* curl, const char* name) {
    curl_header* header = nullptr;
    if (curl_easy_header(curl, name, 0, CURLH_HEADER, -1, &header) != CURLHE_OK || !header)
        return {};
    if (header->amount > 1)
        curl_easy_header(curl, name, header->amount - 1, CURLH_HEADER, -1, &header);
    return header->value ? header->value : "";
}

} // namespace

std::optional<ProgrammeVersion> ResponseHead::Version() const {
    std::optional<uint64_t> total;
    if (status == 206 && range)
        total = range->total;
    else if (status == 200)
        total = length;
    if (!total)
        return std::nullopt;
    return ProgrammeVersion{*total, etag, lastModified};
}

ResponseHead ReadResponseHead(CURL* curl) {
    ResponseHead head;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &head.status);
    curl_off_t length = -1;
    curl_easy_getinfo(curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
    if (length >= 0)
        head.length = static_cast<uint64_t>(length);
    if (const std::string range = Header(curl, "Content-Range"); !range.empty())
        head.range = ParseContentRange(range);
    head.etag = Header(curl, "ETag");
    head.lastModified = Header(curl, "Last-Modified");
    std::string encoding = Header(curl, "Transfer-Encoding");
    std::transform(encoding.begin(), encoding.end(), encoding.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    head.chunked = encoding.find("chunked") != std::string::npos;
    return head;
}

} // namespace kestrivane
