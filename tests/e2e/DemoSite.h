#pragma once

#include <QProcess>

#include <filesystem>
#include <memory>
#include <string>

namespace luming::test {

// Writes a few seconds of programme `id` of `type` into `media` as <id><ext>: videos and Flash
// movies with duration metadata, so they can play while they download.
bool MakeProgramme(const std::filesystem::path& media, const std::string& id,
                   const std::string& type);

// Publishes the demo channel (demo/channel.tsv, with programmes made by MakeProgramme into
// `media`) as the site `site`; false with a message on stderr when publishing fails.
bool PublishDemo(const std::filesystem::path& media, const std::filesystem::path& site);

// A web server on 127.0.0.1 serving a published site, stopped with the object (also when a test
// fails). url() has no trailing slash; empty when the server did not start.
class SiteServer {
public:
    virtual ~SiteServer() = default;
    const std::string& url() const { return url_; }
    virtual std::string Log() = 0;

protected:
    std::string url_;
};

// luming-vendor-site --site; `rateKiloBytes` 0 for full speed.
std::unique_ptr<SiteServer> StartVendorSite(const std::filesystem::path& site, int rateKiloBytes);
// nginx with demo/nginx/luming-site.conf, its own prefix under `work` and a free port.
std::unique_ptr<SiteServer> StartNginx(const std::filesystem::path& site,
                                       const std::filesystem::path& work);

} // namespace luming::test
