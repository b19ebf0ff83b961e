#include "VendorSite.h"

#include "Pages.h"
#include "content/ContentAddress.h"
#include "content/Des.h"

#include <httplib.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <regex>
#include <thread>

namespace luming::site {

namespace fs = std::filesystem;

namespace {

const char* MimeType(const std::string& extension) {
    if (extension == ".flv")
        return "video/x-flv";
    if (extension == ".mp3")
        return "audio/mpeg";
    if (extension == ".swf")
        return "application/x-shockwave-flash";
    if (extension == ".txt")
        return "text/plain";
    return "application/octet-stream";
}

void SendHtml(httplib::Response& response, const std::string& html) {
    response.set_content(html, "text/html; charset=utf-8");
}

} // namespace

std::optional<DownloadTarget> ParseDownloadPath(const std::string& bucket,
                                                const std::string& cipherHex,
                                                const std::string& extension) {
    const std::string id = DecryptFromHex(cipherHex, ContentKey);
    int32_t number = 0;
    try {
        number = ProgrammeIdNumber(id);
    } catch (const std::exception&) {
        return std::nullopt;
    }
    // Ids are stored in plain decimal: "007" would be a different address than "7".
    if (number < 0 || std::to_string(number) != id || std::to_string(IdBucket(number)) != bucket)
        return std::nullopt;
    return DownloadTarget{id, extension};
}

VendorSite::VendorSite(SiteOptions options) : options_(std::move(options)) {}

void VendorSite::Register(httplib::Server& server) {
    server.Get(R"(/dl/(\d{1,10})/([0-9A-Fa-f]{16}|[0-9A-Fa-f]{32})(\.[a-z0-9]{1,4})?)",
               [this](const httplib::Request& request, httplib::Response& response) {
                   const auto target = ParseDownloadPath(request.matches[1], request.matches[2],
                                                         request.matches[3]);
                   const fs::path file =
                       fs::path(options_.mediaDir) / (target ? target->id + target->extension : "");
                   std::error_code error;
                   if (!target || !fs::is_regular_file(file, error)) {
                       response.status = 404;
                       return;
                   }
                   const auto size = static_cast<size_t>(fs::file_size(file, error));
                   auto stream = std::make_shared<std::ifstream>(file, std::ios::binary);
                   auto sent = std::make_shared<int64_t>(0);
                   const int64_t rate = options_.rateKiloBytes * 1024;
                   const int64_t failAfter = options_.failAfterBytes;
                   response.set_content_provider(
                       size, MimeType(target->extension),
                       [stream, sent, rate, failAfter](size_t offset, size_t length,
                                                       httplib::DataSink& sink) {
                           // A tenth of a second's worth at a time when throttled.
                           const size_t chunk =
                               rate > 0 ? static_cast<size_t>(std::max<int64_t>(rate / 10, 1))
                                        : size_t{64 * 1024};
                           std::vector<char> buffer(std::min(chunk, length));
                           stream->seekg(static_cast<std::streamoff>(offset));
                           stream->read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
                           const auto got = static_cast<size_t>(stream->gcount());
                           if (got == 0)
                               return false;
                           size_t allowed = got;
                           if (failAfter >= 0) {
                               if (*sent >= failAfter)
                                   return false; // cut the transfer
                               allowed =
                                   static_cast<size_t>(std::min<int64_t>(got, failAfter - *sent));
                           }
                           if (!sink.write(buffer.data(), allowed))
                               return false;
                           *sent += static_cast<int64_t>(allowed);
                           if (rate > 0)
                               std::this_thread::sleep_for(std::chrono::milliseconds(100));
                           return true;
                       });
               });

    server.Get(R"(/Mp3PageHtml/Mp3PageHtml(_\d+)?\.html)",
               [this](const httplib::Request&, httplib::Response& response) {
                   SendHtml(response, AudioPage(options_.channel));
               });
    server.Get("/mini_index.html", [this](const httplib::Request&, httplib::Response& response) {
        SendHtml(response, NewsPage(options_.channel));
    });
    server.Get(R"(/ad/StatusBar\d*\.html)",
               [](const httplib::Request&, httplib::Response& response) {
                   SendHtml(response, StatusBarAdPage());
               });
    server.Get(R"(/ad/ChannelAds\d*\.html)",
               [this](const httplib::Request&, httplib::Response& response) {
                   SendHtml(response, ChannelAdPage(options_.channel));
               });
    server.Get(R"(/ad/PauseAds\d*\.html)",
               [](const httplib::Request&, httplib::Response& response) {
                   SendHtml(response, PauseAdPage());
               });
    server.Get("/links.html", [this](const httplib::Request&, httplib::Response& response) {
        SendHtml(response, LinksPage(options_.channel));
    });
    server.Get(R"(/play/.*)", [](const httplib::Request&, httplib::Response& response) {
        SendHtml(response, LinkOpenedElsewherePage());
    });
    server.Get("/login", [](const httplib::Request& request, httplib::Response& response) {
        response.set_content(request.has_param("version") ? "ok\n" : "version missing\n",
                             "text/plain");
        if (!request.has_param("version"))
            response.status = 400;
    });

    // One line per request, for people and for tests.
    server.set_logger([](const httplib::Request& request, const httplib::Response& response) {
        std::printf("%s %s %d\n", request.method.c_str(), request.path.c_str(), response.status);
        std::fflush(stdout);
    });
}

} // namespace luming::site
