#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace luming {

// The fixed key under which programme ids stand enciphered in content addresses and links.
inline constexpr std::string_view ContentKey = "QRX#2207%LUMA^KEY";

// The file extension (with its dot) of a programme of type `fileType`; empty for a type that
// has none (folders, unknown codes).
std::string_view GetFileExt(std::string_view fileType);

// A programme id read as a whole number ("007" is 7). Throws ContentError when it is not one.
int32_t ProgrammeIdNumber(std::string_view id);

// The bucket directory of an id on the download server: ⌈id / 128⌉.
int64_t IdBucket(int32_t id);

// The content address of a programme: download base, bucket, "/", the id enciphered under the
// content key, extension. Throws ContentError for an id that is not a whole number.
std::string SourceUrlFor(std::string_view downloadBaseUrl, std::string_view id,
                         std::string_view fileType);

// Names in links and catalogues write spaces as "%20".
std::string DecodeNameSpaces(std::string_view name);

} // namespace luming
