#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace luming {

// The programme a link in a web page names: what follows "TJID_" in the address.
struct LinkRecord {
    std::string Id; // deciphered; empty when the link's id does not decipher
    std::string Name;
    std::string FileType;
    std::string Pid;
};

// The text after the first "TJID_" (any letter case), in its own case; nothing when the address
// carries no marker.
std::optional<std::string_view> LinkPayload(std::string_view address);

// Cuts a link's payload into items: "_" and runs of characters 1..32 separate them, an item
// may be quoted with '"' (a doubled quote inside stands for one).
std::vector<std::string> SplitLinkItems(std::string_view payload);

// The record of a programme link; nothing when the address has no marker or fewer than four
// items. The id and name are outside input: see SafeLocalFile before using them in a path.
std::optional<LinkRecord> ParseProgrammeLink(std::string_view address);

} // namespace luming
