#pragma once

#include "Channel.h"

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace httplib {
class Server;
}

namespace luming::site {

struct SiteOptions {
    std::string mediaDir;        // the programmes as <id><ext>
    int64_t rateKiloBytes = 0;   // per transfer and second; 0: as fast as possible
    int64_t failAfterBytes = -1; // cut every transfer after this many bytes; -1: never
    int edition = 26;            // the edition whose pages the site shows by default
    std::vector<ChannelEntry> channel;
};

// What a download address names: the programme's id and extension, or nothing when the
// address is not one the download server knows (bad form, id that does not decipher, id in
// the wrong bucket).
struct DownloadTarget {
    std::string id;
    std::string extension;
};
std::optional<DownloadTarget> ParseDownloadPath(const std::string& bucket,
                                                const std::string& cipherHex,
                                                const std::string& extension);

// The vendor's site for a demo installation: the download server under /dl/, the audio page,
// the latest news, the advertising pages, the login, and a page of programme links.
class VendorSite {
public:
    explicit VendorSite(SiteOptions options);
    void Register(httplib::Server& server);

private:
    SiteOptions options_;
};

} // namespace luming::site
