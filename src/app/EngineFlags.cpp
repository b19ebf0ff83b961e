#include "app/EngineFlags.h"

namespace luming {

std::string WithRendererPerSite(const std::string& userFlags) {
    constexpr char kPerSite[] = "--process-per-site";
    if (userFlags.find(kPerSite) != std::string::npos)
        return userFlags;
    return userFlags.empty() ? kPerSite : userFlags + " " + kPerSite;
}

} // namespace luming
