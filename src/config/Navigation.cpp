#include "config/Navigation.h"

#include "config/UrlProbe.h"

namespace luming {

void NavigateWithFallback(INavigable& pane, IUrlProbe& probe, const std::string& primary,
                          const std::string& fallback) {
    if (probe.IsUrlReachable(primary) || probe.IsUrlReachable(primary))
        pane.Navigate(primary);
    else
        pane.Navigate(fallback);
}

} // namespace luming
