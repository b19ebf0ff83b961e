#pragma once

#include <curl/curl.h>

#include <optional>
#include <string_view>

namespace kestrivane {

// How near to this computer an address lies. An origin out on the internet must not send a
// client to the computer's own services or to its local network by a redirect (or by a name
// that later resolves there); a server that is itself on the local network or this computer
// may, since that is where it lives.
enum class AddressScope { Public = 0, Private = 1, Loopback = 2 };

// Nothing for text that is not a numeric IPv4 or IPv6 address.
std::optional<AddressScope> ScopeOf(std::string_view ip);

// Keeps a libcurl transfer (and the redirects it follows) within the scope of the first address
// its own server was reached at: every connection is checked once made, before a request is sent
// on it. The guard must outlive the transfer.
class ScopeGuard {
public:
    // `origin`: the scope the server was first reached in, learnt here when not yet known; the
    // transfers of one programme share it, so that its name cannot move nearer later.
    ScopeGuard(CURL* curl, std::optional<AddressScope>& origin);
    ScopeGuard(const ScopeGuard&) = delete;
    ScopeGuard& operator=(const ScopeGuard&) = delete;

    // A connection was refused (the transfer then fails with CURLE_ABORTED_BY_CALLBACK).
    bool Refused() const { return refused_; }

private:
    static int OnConnected(void* self, char* ip, char* localIp, int port, int localPort);

    CURL* curl_;
    std::optional<AddressScope>& origin_;
    bool refused_ = false;
};

} // namespace kestrivane
