// The demo site stopped in the middle of a download and started again on the same port: the
// download resumes where it broke and the player's request is held open until its end.
#include "Origin.h"
#include "VendorSite.h"
#include "content/ContentAddress.h"
#include "kestrivane.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <memory>
#include <thread>

using namespace std::chrono_literals;

namespace {

// The demo site on 127.0.0.1 at `port` (0: any free one), throttled to 64 KB/s.
class DemoSite {
public:
    DemoSite(const std::filesystem::path& siteDir, int port) {
        luming::site::SiteOptions options;
        options.siteDir = siteDir.string();
        options.rateKiloBytes = 64;
        site_ = std::make_unique<luming::site::VendorSite>(options);
        site_->Register(server_);
        port_ = port == 0 ? server_.bind_to_any_port("127.0.0.1")
                          : (server_.bind_to_port("127.0.0.1", port) ? port : -1);
        thread_ = std::thread([this] { server_.listen_after_bind(); });
        while (!server_.is_running() && port_ > 0)
            std::this_thread::yield();
    }
    ~DemoSite() {
        server_.stop();
        thread_.join();
    }
    int port() const { return port_; }

private:
    httplib::Server server_;
    std::unique_ptr<luming::site::VendorSite> site_;
    std::thread thread_;
    int port_ = 0;
};

template <class Condition> bool Eventually(Condition condition) {
    const auto deadline = std::chrono::steady_clock::now() + 60s;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(5ms);
    }
    return true;
}

int32_t DownloadedKiB(int32_t task) {
    int32_t percent = 0, downloaded = 0, total = 0;
    GetProgInfo(task, &percent, &downloaded, &total);
    return downloaded;
}

} // namespace

TEST(KestrivaneSiteDrop, DownloadResumesAfterTheSiteComesBackAndThePlayerGetsEveryByte) {
    luming::test::TempDir store, media;
    const std::string video = kestrivane::test::ProgrammeBytes(400000);
    // A published site holds the programme at its content address.
    const std::filesystem::path published = media.path() / luming::SourceUrlFor("dl/", "300", "4");
    std::filesystem::create_directories(published.parent_path());
    std::ofstream(published, std::ios::binary) << video;
    setenv("KESTRIVANE_STORE", store.path().c_str(), 1);
    setenv("KESTRIVANE_WAIT_MS", "20000", 1);
    setenv("KESTRIVANE_RETRY_MS", "60000", 1);
    ASSERT_EQ(Initkestrivane(26, nullptr, nullptr, nullptr, nullptr), 1);

    auto site = std::make_unique<DemoSite>(media.path(), 0);
    const int port = site->port();
    ASSERT_GT(port, 0);
    const std::string source =
        luming::SourceUrlFor("http://127.0.0.1:" + std::to_string(port) + "/dl/", "300", "4");
    char out[1024] = {};
    ASSERT_TRUE(SetProgramInfo(source.c_str(), 300, 2, 2, out));
    const std::string playUrl = out;
    const int32_t task = std::stoi(playUrl.substr(playUrl.rfind('/') + 1));
    auto played = std::async(std::launch::async, [&] {
        httplib::Client player("127.0.0.1", std::stoi(playUrl.substr(17)));
        player.set_read_timeout(120s);
        return player.Get(playUrl.substr(playUrl.find('/', 17)).c_str());
    });

    ASSERT_TRUE(Eventually([&] { return DownloadedKiB(task) >= 100; }));
    site.reset(); // the site goes away in the middle
    EXPECT_LT(DownloadedKiB(task), 390);
    site = std::make_unique<DemoSite>(media.path(), port);
    ASSERT_EQ(site->port(), port);

    const auto response = played.get();
    ASSERT_TRUE(response);
    EXPECT_EQ(response->status, 200);
    EXPECT_TRUE(response->body == video) << response->body.size() << " bytes";
    int32_t percent = 0;
    EXPECT_TRUE(Eventually(
        [&] { return GetProgInfo(task, &percent, nullptr, nullptr) && percent == 100; }));
    EXPECT_EQ(GetProgError(task), KESTRIVANE_ERROR_NONE);
    UnInitkestrivane();

    // The stored copy is whole: the site is gone and the programme still plays from the store.
    site.reset();
    ASSERT_EQ(Initkestrivane(26, nullptr, nullptr, nullptr, nullptr), 1);
    ASSERT_TRUE(SetProgramInfo(source.c_str(), 300, 2, 2, out));
    const std::string again = out;
    httplib::Client player("127.0.0.1", std::stoi(again.substr(17)));
    const auto stored = player.Get(again.substr(again.find('/', 17)).c_str());
    ASSERT_TRUE(stored);
    EXPECT_TRUE(stored->body == video);
    UnInitkestrivane();
}
