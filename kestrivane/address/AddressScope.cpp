#include "AddressScope.h"

#include <arpa/inet.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>

namespace kestrivane {

namespace {

AddressScope ScopeOf4(const std::array<uint8_t, 4>& a) {
    if (a[0] == 127 || a[0] == 0)
        return AddressScope::Loopback;
    if (a[0] == 10 || (a[0] == 172 && (a[1] & 0xF0) == 16) || (a[0] == 192 && a[1] == 168) ||
        (a[0] == 169 && a[1] == 254) || (a[0] == 100 && (a[1] & 0xC0) == 64))
        return AddressScope::Private;
    return AddressScope::Public;
}

} // namespace

std::optional<AddressScope> ScopeOf(std::string_view ip) {
    const std::string text(ip);
    std::array<uint8_t, 4> v4{};
    if (::inet_pton(AF_INET, text.c_str(), v4.data()) == 1)
        return ScopeOf4(v4);
    std::array<uint8_t, 16> v6{};
    if (::inet_pton(AF_INET6, text.c_str(), v6.data()) != 1)
        return std::nullopt;
    const auto zeroesUpTo = [&v6](std::size_t count) {
        return std::all_of(v6.begin(), v6.begin() + count, [](uint8_t b) { return b == 0; });
    };
    if (zeroesUpTo(15) && v6[15] <= 1) // :: and ::1
        return AddressScope::Loopback;
    if (zeroesUpTo(10) && v6[10] == 0xFF && v6[11] == 0xFF) // ::ffff:a.b.c.d
        return ScopeOf4({v6[12], v6[13], v6[14], v6[15]});
    if ((v6[0] & 0xFE) == 0xFC || (v6[0] == 0xFE && (v6[1] & 0xC0) == 0x80)) // fc00::/7, fe80::/10
        return AddressScope::Private;
    return AddressScope::Public;
}

ScopeGuard::ScopeGuard(CURL* curl, std::optional<AddressScope>& origin)
    : curl_(curl), origin_(origin) {
    curl_easy_setopt(curl, CURLOPT_PREREQFUNCTION, &ScopeGuard::OnConnected);
    curl_easy_setopt(curl, CURLOPT_PREREQDATA, this);
}

int ScopeGuard::OnConnected(void* self, char* ip, char*, int, int) {
    auto& guard = *static_cast<ScopeGuard*>(self);
    const std::optional<AddressScope> scope = ScopeOf(ip ? ip : "");
    long redirects = 0;
    curl_easy_getinfo(guard.curl_, CURLINFO_REDIRECT_COUNT, &redirects);
    // The first connection to the server itself tells where that server lives.
    if (!guard.origin_ && redirects == 0 && scope)
        guard.origin_ = scope;
    if (scope && guard.origin_ && *scope <= *guard.origin_)
        return CURL_PREREQFUNC_OK;
    guard.refused_ = true;
    return CURL_PREREQFUNC_ABORT;
}

} // namespace kestrivane
