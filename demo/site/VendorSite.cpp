#include "VendorSite.h"

#include "publish/Publish.h"

#include <httplib.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sys/stat.h>
#include <thread>

namespace luming::site {

namespace fs = std::filesystem;

namespace {

// The types of demo/nginx/luming-site.conf.
const char* ContentType(const fs::path& file) {
    const std::string extension = file.extension().string();
    if (extension == ".html" || extension == ".htm")
        return "text/html; charset=utf-8";
    if (extension == ".xml")
        return "application/xml";
    if (extension == ".flv")
        return "video/x-flv";
    if (extension == ".mp3")
        return "audio/mpeg";
    if (extension == ".swf")
        return "application/x-shockwave-flash";
    if (extension == ".zip")
        return "application/zip";
    if (extension == ".rar")
        return "application/x-rar-compressed";
    return "text/plain";
}

// Programmes live at content addresses, which never change; everything else may.
bool IsProgramme(const std::string& path) {
    return path.starts_with("/dl/") && !path.starts_with("/dl/xml/");
}

// The file a request names inside the site; empty for anything outside it.
fs::path FileFor(const fs::path& root, std::string path) {
    if (path.find("/../") != std::string::npos || path.ends_with("/..") ||
        path.find('\0') != std::string::npos)
        return {};
    if (path.starts_with("/play/"))
        return root / kLinkOpenedElsewherePath;
    if (path.ends_with('/'))
        path += "index.html";
    return root / path.substr(1);
}

std::string HttpDate(time_t when) {
    char text[64];
    std::tm parts{};
    gmtime_r(&when, &parts);
    std::strftime(text, sizeof text, "%a, %d %b %Y %H:%M:%S GMT", &parts);
    return text;
}

// The validators nginx gives a file: its modification time and size.
void SetValidators(httplib::Response& response, const struct stat& info) {
    char etag[64];
    std::snprintf(etag, sizeof etag, "\"%llx-%llx\"",
                  static_cast<unsigned long long>(info.st_mtime),
                  static_cast<unsigned long long>(info.st_size));
    response.set_header("ETag", etag);
    response.set_header("Last-Modified", HttpDate(info.st_mtime));
}

bool NotModified(const httplib::Request& request, const httplib::Response& response) {
    if (request.has_header("If-None-Match"))
        return request.get_header_value("If-None-Match") == response.get_header_value("ETag");
    return request.has_header("If-Modified-Since") &&
           request.get_header_value("If-Modified-Since") ==
               response.get_header_value("Last-Modified");
}

} // namespace

VendorSite::VendorSite(SiteOptions options) : options_(std::move(options)) {}

void VendorSite::Register(httplib::Server& server) {
    server.Get(R"(/.*)", [this](const httplib::Request& request, httplib::Response& response) {
        const fs::path file = FileFor(options_.siteDir, request.path);
        struct stat info {};
        if (file.empty() || ::stat(file.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
            response.status = 404;
            return;
        }
        const bool programme = IsProgramme(request.path);
        response.set_header("Cache-Control",
                            programme ? "max-age=31536000, immutable" : "no-cache");
        SetValidators(response, info);
        if (NotModified(request, response)) {
            response.status = 304;
            return;
        }
        auto stream = std::make_shared<std::ifstream>(file, std::ios::binary);
        auto sent = std::make_shared<int64_t>(0);
        const int64_t rate = programme ? options_.rateKiloBytes * 1024 : 0;
        const int64_t failAfter = programme ? options_.failAfterBytes : -1;
        response.set_content_provider(
            static_cast<size_t>(info.st_size), ContentType(file),
            [stream, sent, rate, failAfter](size_t offset, size_t length, httplib::DataSink& sink) {
                // A tenth of a second's worth at a time when throttled.
                const size_t chunk = rate > 0 ? static_cast<size_t>(std::max<int64_t>(rate / 10, 1))
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
                    allowed = static_cast<size_t>(std::min<int64_t>(got, failAfter - *sent));
                }
                if (!sink.write(buffer.data(), allowed))
                    return false;
                *sent += static_cast<int64_t>(allowed);
                if (rate > 0)
                    std::this_thread::sleep_for(std::chrono::milliseconds(100));
                return true;
            });
    });

    // One line per request, for people and for tests.
    server.set_logger([](const httplib::Request& request, const httplib::Response& response) {
        std::printf("%s %s %d\n", request.method.c_str(), request.path.c_str(), response.status);
        std::fflush(stdout);
    });
}

} // namespace luming::site
