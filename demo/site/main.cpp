// luming-vendor-site: the vendor's site for a demo installation, on 127.0.0.1 only.
//   luming-vendor-site --media DIR --port N [--rate KBPS] [--fail-after BYTES] [--channel FILE]
// The first line on standard output is "listening on http://127.0.0.1:PORT/".
#include "VendorSite.h"

#include <httplib.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

httplib::Server* runningServer = nullptr;

void Stop(int) {
    if (runningServer)
        runningServer->stop();
}

int Usage() {
    std::fprintf(stderr, "usage: luming-vendor-site --media DIR --port N [--rate KBPS] "
                         "[--fail-after BYTES] [--channel FILE]\n");
    return 64;
}

bool ParseNumber(const char* text, long long& value) {
    char* end = nullptr;
    value = std::strtoll(text, &end, 10);
    return end && *end == '\0' && end != text && value >= 0;
}

} // namespace

int main(int argc, char** argv) {
    luming::site::SiteOptions options;
    long long port = -1;
    std::string channelFile;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (i + 1 >= argc)
            return Usage();
        const char* value = argv[++i];
        long long number = 0;
        if (option == "--media")
            options.mediaDir = value;
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
    if (options.mediaDir.empty() || port < 0)
        return Usage();
    options.channel = luming::site::ReadChannel(
        channelFile.empty() ? options.mediaDir + "/channel.tsv" : channelFile);

    httplib::Server server;
    luming::site::VendorSite site(options);
    site.Register(server);
    const int bound = port == 0 ? server.bind_to_any_port("127.0.0.1")
                                : (server.bind_to_port("127.0.0.1", static_cast<int>(port))
                                       ? static_cast<int>(port)
                                       : -1);
    if (bound <= 0) {
        std::fprintf(stderr, "luming-vendor-site: cannot listen on 127.0.0.1:%lld\n", port);
        return 1;
    }
    std::printf("listening on http://127.0.0.1:%d/\n", bound);
    std::fflush(stdout);

    runningServer = &server;
    std::signal(SIGINT, Stop);
    std::signal(SIGTERM, Stop);
    server.listen_after_bind();
    return 0;
}
