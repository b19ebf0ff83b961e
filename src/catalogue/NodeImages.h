#pragma once

#include <optional>
#include <string_view>

namespace luming {

// Images of the tree's image list: folders, then one per programme type at 2 + its code.
inline constexpr int kClosedFolderImage = 0;
inline constexpr int kOpenFolderImage = 1;
inline constexpr std::string_view kFolderType = "0";

// 2 + the type's decimal value, or nothing when the type is not a number (or the sum would not
// be an image index at all); such a node keeps its default image.
std::optional<int> ProgrammeImage(std::string_view fileType);

} // namespace luming
