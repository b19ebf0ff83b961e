// luming-vendor-site: the vendor's site for a demo installation, on 127.0.0.1 only.
//   luming-vendor-site --site DIR --port N [--rate KBPS] [--fail-after BYTES]
//   luming-vendor-site --media DIR [--channel FILE] --port N [--rate KBPS] [--fail-after BYTES]
// --site serves a published site; --media first publishes the programmes of DIR (as <id><ext>,
// with DIR/channel.tsv unless --channel names another) into a temporary folder, for the site's
// own address, and serves that. The first line on standard output is
// "listening on http://127.0.0.1:PORT/".
#include "VendorSite.h"
#include "publish/Publish.h"

#include <httplib.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

httplib::Server* runningServer = nullptr;

void Stop(int) {
    if (runningServer)
        runningServer->stop();
}

int Usage() {
    std::fprintf(stderr, "usage: luming-vendor-site (--site DIR | --media DIR [--channel FILE]) "
                         "--port N [--rate KBPS] [--fail-after BYTES]\n");
    return 64;
}

bool ParseNumber(const char* text, long long& value) {
    char* end = nullptr;
    value = std::strtoll(text, &end, 10);
    return end && *end == '\0' && end != text && value >= 0;
}

// A folder for a site published at start, removed at the end.
struct TemporarySite {
    std::string path = (std::filesystem::temp_directory_path() /
                        ("luming-vendor-site-" + std::to_string(::getpid())))
                           .string();
    ~TemporarySite() {
        std::error_code error;
        std::filesystem::remove_all(path, error);
    }
};

} // namespace

int main(int argc, char** argv) {
    luming::site::SiteOptions options;
    long long port = -1;
    std::string mediaDir, channelFile;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (i + 1 >= argc)
            return Usage();
        const char* value = argv[++i];
        long long number = 0;
        if (option == "--site")
            options.siteDir = value;
        else if (option == "--media")
            mediaDir = value;
        else if (option == "--channel")
            channelFile = value;
        else if (option == "--port" && ParseNumber(value, number) && number <= 65535)
            port = number;
        else if (option == "--rate" && ParseNumber(value, number))
            options.rateKiloBytes = number;
        else if (option == "--fail-after" && ParseNumber(value, number))
            options.failAfterBytes = number;
        else
            return Usage();
    }
    if (options.siteDir.empty() == mediaDir.empty() || port < 0)
        return Usage();

    httplib::Server server;
    const int bound = port == 0 ? server.bind_to_any_port("127.0.0.1")
                                : (server.bind_to_port("127.0.0.1", static_cast<int>(port))
                                       ? static_cast<int>(port)
                                       : -1);
    if (bound <= 0) {
        std::fprintf(stderr, "luming-vendor-site: cannot listen on 127.0.0.1:%lld\n", port);
        return 1;
    }
    const std::string address = "http://127.0.0.1:" + std::to_string(bound);
    TemporarySite published;
    if (!mediaDir.empty()) {
        options.siteDir = published.path;
        try {
            luming::site::Publish({channelFile.empty() ? mediaDir + "/channel.tsv" : channelFile,
                                   mediaDir, address, options.siteDir, 26});
        } catch (const luming::site::PublishError& error) {
            std::fprintf(stderr, "luming-vendor-site: %s\n", error.what());
            return 1;
        }
    }
    luming::site::VendorSite site(options);
    site.Register(server);
    std::printf("listening on %s/\n", address.c_str());
    std::fflush(stdout);

    runningServer = &server;
    std::signal(SIGINT, Stop);
    std::signal(SIGTERM, Stop);
    server.listen_after_bind();
    return 0;
}
