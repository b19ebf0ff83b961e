#include "config/FormatSeconds.h"

#include <cstdio>

namespace luming {

std::string FormatSeconds(int64_t seconds) {
    if (seconds < 0)
        return "00:00";
    const int64_t hours = seconds / 3600;
    seconds -= hours * 3600;
    const int64_t minutes = seconds / 60;
    seconds -= minutes * 60;

    char text[48];
    if (hours > 0)
        std::snprintf(text, sizeof text, "%lld:%.2lld:%.2lld", static_cast<long long>(hours),
                      static_cast<long long>(minutes), static_cast<long long>(seconds));
    else
        std::snprintf(text, sizeof text, "%.2lld:%.2lld", static_cast<long long>(minutes),
                      static_cast<long long>(seconds));
    return text;
}

} // namespace luming
