#pragma once

#include <string>

namespace luming {

// A vendor page of this edition: every ".html", in any letter case, becomes the edition number
// followed by ".html" (StatusBar.html → StatusBar26.html).
std::string EditionAddress(const std::string& address, int editionNo);

} // namespace luming
