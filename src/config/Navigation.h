#pragma once

#include <string>

namespace luming {

class IUrlProbe;

// Anything that can be sent to an address: a web pane.
class INavigable {
public:
    virtual ~INavigable() = default;
    virtual void Navigate(const std::string& address) = 0;
};

// Goes to `primary` when a probe (tried twice) reaches it, else to `fallback` unprobed.
void NavigateWithFallback(INavigable& pane, IUrlProbe& probe, const std::string& primary,
                          const std::string& fallback);

} // namespace luming
