#include "catalogue/NodeImages.h"

#include "config/NumberText.h"

#include <limits>

namespace luming {

std::optional<int> ProgrammeImage(std::string_view fileType) {
    const auto value = ParseInt32(fileType);
    if (!value || *value > std::numeric_limits<int>::max() - 2)
        return std::nullopt;
    return *value + 2;
}

} // namespace luming
