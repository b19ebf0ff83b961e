#include "DemoSite.h"

#include "content/ContentAddress.h"
#include "publish/Channel.h"
#include "publish/Publish.h"
#include "support/TempDir.h"

#include <QRegularExpression>
#include <QStringList>

#include <httplib.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace luming::test {

namespace fs = std::filesystem;

namespace {

constexpr int kTimeoutMs = 30000;

bool Ffmpeg(const fs::path& file, const QStringList& input) {
    QProcess process;
    process.start("ffmpeg", QStringList{"-loglevel", "error", "-y"} + input +
                                QStringList{QString::fromStdString(file.string())});
    return process.waitForFinished(60000) && process.exitCode() == 0;
}

// Polls until `condition` holds; false when it did not within the time.
bool Eventually(const std::function<bool()>& condition) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(kTimeoutMs);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

bool Answers(const std::string& url) {
    httplib::Client client(url);
    const auto result = client.Get("/login");
    return result && result->status == 200;
}

class VendorSiteServer : public SiteServer {
public:
    VendorSiteServer(const fs::path& site, int rateKiloBytes) {
        process_.setProcessChannelMode(QProcess::SeparateChannels);
        process_.start(LUMING_SITE_EXECUTABLE,
                       {"--site", QString::fromStdString(site.string()), "--port", "0", "--rate",
                        QString::number(rateKiloBytes)});
        if (!process_.waitForReadyRead(kTimeoutMs))
            return;
        const auto match = QRegularExpression("^listening on (http://127.0.0.1:\\d+)/$")
                               .match(QString::fromUtf8(process_.readLine()).trimmed());
        if (match.hasMatch())
            url_ = match.captured(1).toStdString();
    }
    ~VendorSiteServer() override {
        process_.terminate();
        process_.waitForFinished(5000);
    }
    std::string Log() override {
        process_.waitForReadyRead(50); // no event loop here: the output is read on request
        log_ += process_.readAllStandardOutput().toStdString();
        return log_;
    }

private:
    QProcess process_;
    std::string log_;
};

// A port on 127.0.0.1 that was free a moment ago.
int FreePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    ::close(fd);
    return port;
}

class NginxServer : public SiteServer {
public:
    NginxServer(const fs::path& site, const fs::path& prefix) : prefix_(prefix) {
        fs::create_directories(prefix / "temp");
        // Another program may take the free port first: then nginx ends, and a new one is tried.
        for (int attempt = 0; attempt < 5 && url_.empty(); ++attempt) {
            const int port = FreePort();
            WriteFile(prefix / "nginx.conf", Configuration(site, port));
            process_.setProcessChannelMode(QProcess::MergedChannels);
            process_.start("nginx", {"-p", QString::fromStdString(prefix.string()), "-e",
                                     QString::fromStdString((prefix / "error.log").string()), "-c",
                                     QString::fromStdString((prefix / "nginx.conf").string())});
            const std::string url = "http://127.0.0.1:" + std::to_string(port);
            if (process_.waitForStarted(kTimeoutMs) &&
                Eventually([&] { return Answers(url) || process_.waitForFinished(0); }) &&
                process_.state() == QProcess::Running)
                url_ = url;
            else
                std::fprintf(stderr, "nginx: %s\n", process_.readAll().constData());
        }
    }
    ~NginxServer() override {
        process_.terminate();
        if (!process_.waitForFinished(5000))
            process_.kill();
    }
    // The access log in the form of luming-vendor-site's: method, path, status.
    std::string Log() override { return ReadFile(prefix_ / "access.log"); }

private:
    // One process (no workers to change user), in the foreground, everything under the prefix.
    static std::string Configuration(const fs::path& site, int port) {
        return "daemon off;\nmaster_process off;\npid nginx.pid;\nerror_log error.log;\n"
               "events { worker_connections 64; }\n"
               "http {\n"
               "    log_format luming '$request_method $uri $status';\n"
               "    access_log access.log luming;\n"
               "    client_body_temp_path temp/body;\n    proxy_temp_path temp/proxy;\n"
               "    fastcgi_temp_path temp/fastcgi;\n    uwsgi_temp_path temp/uwsgi;\n"
               "    scgi_temp_path temp/scgi;\n"
               "    server {\n        listen 127.0.0.1:" +
               std::to_string(port) + ";\n        root " + site.string() +
               ";\n        include " LUMING_SOURCE_DIR "/demo/nginx/luming-site.conf;\n    }\n}\n";
    }

    fs::path prefix_;
    QProcess process_;
};

} // namespace

bool MakeProgramme(const fs::path& media, const std::string& id, const std::string& type) {
    const QStringList tone = {"-f", "lavfi", "-i", "sine=frequency=440:duration=3"};
    if (type == "4") // long enough to pause, resume and seek in
        return Ffmpeg(media / (id + ".flv"),
                      QStringList{"-f", "lavfi", "-i", "testsrc=duration=8:size=320x240:rate=25",
                                  "-f", "lavfi", "-i", "sine=frequency=440:duration=8", "-c:v",
                                  "flv1", "-c:a", "libmp3lame", "-ar", "22050"});
    if (type == "1")
        return Ffmpeg(
            media / (id + ".swf"),
            QStringList{"-f", "lavfi", "-i", "testsrc=duration=3:size=320x240:rate=12"} + tone +
                QStringList{"-c:v", "flv1", "-c:a", "libmp3lame", "-ar", "22050", "-f", "swf"});
    if (type == "2")
        return Ffmpeg(media / (id + ".mp3"), tone + QStringList{"-c:a", "libmp3lame"});
    WriteFile(media / (id + std::string(GetFileExt(type))), "text");
    return true;
}

bool PublishDemo(const fs::path& media, const fs::path& site) {
    fs::create_directories(media);
    fs::copy_file(LUMING_SOURCE_DIR "/demo/channel.tsv", media / "channel.tsv",
                  fs::copy_options::overwrite_existing);
    for (const auto& entry : site::ReadChannel((media / "channel.tsv").string()))
        if (!GetFileExt(entry.type).empty() && !MakeProgramme(media, entry.id, entry.type))
            return false;
    try {
        // The clients' addresses come from the suite's own platform.ini.
        site::Publish({(media / "channel.tsv").string(), media.string(), "http://127.0.0.1",
                       site.string(), 26});
    } catch (const site::PublishError& error) {
        std::fprintf(stderr, "publish: %s\n", error.what());
        return false;
    }
    return true;
}

std::unique_ptr<SiteServer> StartVendorSite(const fs::path& site, int rateKiloBytes) {
    return std::make_unique<VendorSiteServer>(site, rateKiloBytes);
}

std::unique_ptr<SiteServer> StartNginx(const fs::path& site, const fs::path& work) {
    return std::make_unique<NginxServer>(site, work);
}

} // namespace luming::test
