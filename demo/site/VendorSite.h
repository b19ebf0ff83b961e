#pragma once

#include <cstdint>
#include <string>

namespace httplib {
class Server;
}

namespace luming::site {

struct SiteOptions {
    std::string siteDir;         // a published site (luming-tool publish)
    int64_t rateKiloBytes = 0;   // per programme transfer and second; 0: as fast as possible
    int64_t failAfterBytes = -1; // cut every programme transfer after this many bytes; -1: never
};

// The vendor's site for a demo installation: the files of a published site as a static web
// server gives them (ranges, validators, conditional requests, the same types and cache
// lifetimes as the nginx configuration), plus what only tests need of a server: slow and cut
// programme transfers.
class VendorSite {
public:
    explicit VendorSite(SiteOptions options);
    void Register(httplib::Server& server);

private:
    SiteOptions options_;
};

} // namespace luming::site
