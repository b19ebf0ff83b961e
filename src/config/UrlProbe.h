#pragma once

#include <chrono>
#include <string>

namespace luming {

// The address probe that decides whether a vendor page is shown. An interface so that the
// window's rules can be tested without a network.
class IUrlProbe {
public:
    virtual ~IUrlProbe() = default;
    virtual bool IsUrlReachable(const std::string& address) = 0;
};

// The address as the probe fetches it: "http://" is put in front when the address names no
// scheme of its own.
std::string ProbeAddress(const std::string& address);

// One GET with the cache bypassed and redirects not followed; reachable means the server
// answered 200 or 302. Connecting and the whole exchange are bounded, so an address that never
// answers costs the caller at most `total`.
class CurlUrlProbe : public IUrlProbe {
public:
    explicit CurlUrlProbe(std::chrono::milliseconds connect = std::chrono::seconds(3),
                          std::chrono::milliseconds total = std::chrono::seconds(5));
    bool IsUrlReachable(const std::string& address) override;

private:
    std::chrono::milliseconds connect_;
    std::chrono::milliseconds total_;
};

// The probe of the running program.
bool IsUrlReachable(const std::string& address);

} // namespace luming
