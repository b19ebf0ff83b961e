#pragma once

namespace luming {

// The URL scheme that serves the Ruffle page and its files.
inline constexpr char kRuffleScheme[] = "luming-flash";

} // namespace luming
