#include "HangUpOrigin.h"
#include "KestrivaneFixture.h"
#include "Origin.h"
#include "Store.h"
#include "support/LoopbackServer.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <algorithm>
#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <mutex>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using namespace std::chrono_literals;

namespace kestrivane::test {
namespace {

TEST_F(Kestrivane, StreamsTheOriginsBytesAndCompletesOnce) {
    Origin origin(kSize);
    const PlayAddress address = Fetch(origin.url("/fast.flv"));
    const auto response = Play(address);
    ASSERT_TRUE(response);
    EXPECT_EQ(response->status, 200);
    EXPECT_TRUE(response->body == origin.bytes());
    EXPECT_EQ(response->get_header_value("Content-Length"), std::to_string(kSize));
    EXPECT_EQ(response->get_header_value("Content-Type"), "video/x-flv");
    // Only players read it: no web page is told it may.
    EXPECT_FALSE(response->has_header("Access-Control-Allow-Origin"));
    // The token: 128 bits, as hexadecimal digits.
    EXPECT_EQ(address.path.find("/P2P/"), 33u) << address.path;

    EXPECT_TRUE(Eventually([&] { return Percent(address.task) == 100; }));
    EXPECT_TRUE(Eventually([&] { return CallbacksFor(address.task) == 1; }));
    // The same address again is the same task, and its completion is not announced again.
    EXPECT_EQ(Fetch(origin.url("/fast.flv")).path, address.path);
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(CallbacksFor(address.task), 1);
    EXPECT_EQ(origin.Requests("/fast.flv"), 1);
}

// The download waits at half; a request near the end is answered from a fetch of its own. The
// copy has a hole until the download passes it, and is complete once checked whole.
TEST_F(Kestrivane, RangeFarPastTheDownloadIsFetchedOnItsOwn) {
    Origin origin(kSize);
    const std::string url = origin.url("/gated.flv");
    const PlayAddress address = Fetch(url);
    ASSERT_TRUE(Eventually([&] { return Percent(address.task) >= 49; }));

    const std::size_t from = kSize * 3 / 4;
    const auto far = Play(address, RangeOf(from, 1000));
    ASSERT_TRUE(far);
    EXPECT_EQ(far->status, 206);
    EXPECT_TRUE(far->body == origin.bytes().substr(from, 1000));
    EXPECT_EQ(far->get_header_value("Content-Range"), "bytes " + std::to_string(from) + "-" +
                                                          std::to_string(from + 999) + "/" +
                                                          std::to_string(kSize));
    EXPECT_LE(Percent(address.task), 50); // the download still waits at half
    // Bytes of the first half are there already.
    const auto early = Play(address, "bytes=100-199");
    ASSERT_TRUE(early);
    EXPECT_EQ(early->body, origin.bytes().substr(100, 100));

    origin.Release();
    EXPECT_TRUE(Eventually([&] { return CallbacksFor(address.task) == 1; }));
    const auto data = kestrivane::Store(store.path()).DataFile(url, ".flv");
    EXPECT_TRUE(luming::test::ReadFile(data) == origin.bytes());
    EXPECT_FALSE(std::filesystem::exists(data.string() + ".held"));
}

// A player that goes elsewhere leaves its side fetch to nobody: that one is ended, and the new
// place gets a fetch of its own.
TEST_F(Kestrivane, SideFetchNobodyWaitsForIsEnded) {
    Origin origin(kSize);
    const PlayAddress address = Fetch(origin.url("/gated.flv"));
    ASSERT_TRUE(Eventually([&] { return Percent(address.task) >= 49; }));
    const std::size_t first = kSize * 5 / 8, second = kSize * 7 / 8;
    std::string got;
    httplib::Client player("127.0.0.1", address.port);
    player.Get(address.path.c_str(), {{"Range", "bytes=" + std::to_string(first) + "-"}},
               [&](const char* data, size_t length) {
                   got.append(data, length);
                   return got.size() < 1000;
               });
    EXPECT_TRUE(got.substr(0, 1000) == origin.bytes().substr(first, 1000));
    EXPECT_TRUE(Eventually([&] { return origin.Dropped() == 1; }));

    const auto elsewhere = Play(address, RangeOf(second, 1000));
    ASSERT_TRUE(elsewhere);
    EXPECT_TRUE(elsewhere->body == origin.bytes().substr(second, 1000));
}

// Pieces of two versions of a programme never make one copy: a part from an origin that has
// changed it is not taken, and the player gets the bytes of the version being downloaded.
TEST_F(Kestrivane, PartOfAChangedProgrammeIsNotMixedIn) {
    Origin origin(kSize);
    const PlayAddress address = Fetch(origin.url("/changing.flv"));
    ASSERT_TRUE(Eventually([&] { return Percent(address.task) >= 49; }));
    const std::size_t from = kSize * 3 / 4;
    auto far = std::async(std::launch::async, [&] { return Play(address, RangeOf(from, 1000)); });
    ASSERT_TRUE(Eventually([&] {
        const auto asked = origin.RangesAsked();
        return std::count(asked.begin(), asked.end(), "bytes=" + std::to_string(from) + "-") == 1;
    }));
    origin.Release();
    const auto response = far.get();
    ASSERT_TRUE(response);
    EXPECT_TRUE(response->body == origin.bytes().substr(from, 1000));
    EXPECT_TRUE(Eventually([&] { return CallbacksFor(address.task) == 1; }));
}

// What a copy with holes holds survives a restart: the download goes on from the end of its
// first part, and the part fetched for a player is not fetched again.
TEST_F(Kestrivane, CopyWithHolesGoesOnAfterARestart) {
    Origin origin(kSize);
    const std::string url = origin.url("/gated.flv");
    const PlayAddress first = Fetch(url);
    ASSERT_TRUE(Eventually([&] { return Percent(first.task) >= 49; }));
    const std::size_t from = kSize * 3 / 4;
    ASSERT_TRUE(Play(first, RangeOf(from, 1000)));
    Restart();
    const PlayAddress again = Fetch(url);
    origin.Release();
    ExpectWholeProgramme(Play(again), origin.bytes());
    EXPECT_TRUE(Eventually([&] { return CallbacksFor(again.task) == 1; }));
    const auto asked = origin.RangesAsked();
    EXPECT_EQ(std::count(asked.begin(), asked.end(), "bytes=" + std::to_string(kSize / 2) + "-"),
              1);
    EXPECT_EQ(std::count(asked.begin(), asked.end(), "bytes=" + std::to_string(from) + "-"), 1);
}

TEST_F(Kestrivane, TwoPlayersAtOnce) {
    Origin origin(kSize);
    const PlayAddress address = Fetch(origin.url("/gated.flv"));
    auto first = std::async(std::launch::async, [&] { return Play(address); });
    auto second = std::async(std::launch::async, [&] { return Play(address, "bytes=0-"); });
    std::this_thread::sleep_for(50ms);
    origin.Release();
    const auto a = first.get();
    const auto b = second.get();
    ASSERT_TRUE(a && b);
    EXPECT_TRUE(a->body == origin.bytes());
    EXPECT_TRUE(b->body == origin.bytes());
}

TEST_F(Kestrivane, HeadUnknownPathsAndBadRequests) {
    Origin origin(kSize);
    const PlayAddress address = Fetch(origin.url("/fast.flv"));
    const auto head = Play(address, "", true);
    ASSERT_TRUE(head);
    EXPECT_EQ(head->status, 200);
    EXPECT_EQ(head->get_header_value("Content-Length"), std::to_string(kSize));
    EXPECT_TRUE(head->body.empty());

    const std::string token = address.path.substr(0, address.path.find("/P2P/"));
    for (const std::string& path :
         {std::string("/"), "/ffff/P2P/" + std::to_string(address.task) + ".flv",
          token + "/P2P/" + std::to_string(address.task + 1) + ".flv",
          token + "/P2P/" + std::to_string(address.task) + ".mp3", token + "/../../etc/passwd",
          std::string("/etc/passwd")}) {
        const auto response = Play({address.port, path, 0});
        ASSERT_TRUE(response) << path;
        EXPECT_EQ(response->status, 404) << path;
    }

    // Nothing invites a web page to read it, nor to find the port by a preflight.
    httplib::Client client("127.0.0.1", address.port);
    const auto preflight = client.Options(address.path.c_str());
    ASSERT_TRUE(preflight);
    EXPECT_NE(preflight->status / 100, 2);
    EXPECT_FALSE(preflight->has_header("Access-Control-Allow-Origin"));
    const auto unknown = Play({address.port, "/", 0});
    ASSERT_TRUE(unknown);
    EXPECT_FALSE(unknown->has_header("Access-Control-Allow-Origin"));

    const auto unsatisfiable = Play(address, "bytes=" + std::to_string(kSize + 10) + "-");
    ASSERT_TRUE(unsatisfiable);
    EXPECT_EQ(unsatisfiable->status, 416);
}

TEST_F(Kestrivane, MalformedRequestLineGets400) {
    Origin origin(16);
    const PlayAddress address = Fetch(origin.url("/fast.flv"));
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in server{};
    server.sin_family = AF_INET;
    server.sin_port = htons(static_cast<uint16_t>(address.port));
    server.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&server), sizeof server), 0);
    const std::string garbage = "GARBAGE\r\n\r\n";
    ASSERT_EQ(::send(fd, garbage.data(), garbage.size(), MSG_NOSIGNAL),
              static_cast<ssize_t>(garbage.size()));
    char reply[64] = {};
    const ssize_t got = ::recv(fd, reply, sizeof reply - 1, MSG_WAITALL);
    ::close(fd);
    ASSERT_GT(got, 0);
    EXPECT_TRUE(std::string(reply).starts_with("HTTP/1.1 400")) << reply;
}

TEST_F(Kestrivane, OriginWithoutContentLengthStillGetsOne) {
    Origin origin(kSize);
    const PlayAddress address = Fetch(origin.url("/chunked.mp3"));
    const auto response = Play(address);
    ASSERT_TRUE(response);
    EXPECT_EQ(response->get_header_value("Content-Length"), std::to_string(kSize));
    EXPECT_EQ(response->get_header_value("Content-Type"), "audio/mpeg");
    EXPECT_TRUE(response->body == origin.bytes());
    EXPECT_TRUE(Eventually([&] { return CallbacksFor(address.task) == 1; }));
}

TEST_F(Kestrivane, FailedDownloadsNeverReportCompletion) {
    Origin origin(kSize);
    const PlayAddress missing = Fetch(origin.url("/missing.flv"));
    const PlayAddress refused =
        Fetch("http://127.0.0.1:" + std::to_string(luming::test::ClosedPort()) + "/x.flv");
    for (const PlayAddress& address : {missing, refused}) {
        const auto response = Play(address);
        ASSERT_TRUE(response);
        EXPECT_EQ(response->status, 502);
        EXPECT_GE(Percent(address.task), 0);
        EXPECT_LT(Percent(address.task), 100);
        EXPECT_EQ(CallbacksFor(address.task), 0);
        EXPECT_EQ(GetProgError(address.task), KESTRIVANE_ERROR_DOWNLOAD);
    }
    EXPECT_EQ(origin.Requests("/missing.flv"), 1); // a refusal is not tried again
    // No empty files are left behind.
    EXPECT_TRUE(std::filesystem::is_empty(store.path()));
}

// A store that takes no more than 1 MB: the download fails as "disk full", the short file is
// never marked complete, and the player's answer ends where the bytes end.
TEST_F(Kestrivane, FullStoreIsToldAndNeverMarkedComplete) {
    Origin origin(kSize);
    std::signal(SIGXFSZ, SIG_IGN); // the write fails with EFBIG instead of ending the process
    rlimit before{};
    ::getrlimit(RLIMIT_FSIZE, &before);
    rlimit limited = before;
    limited.rlim_cur = 1024 * 1024;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    const PlayAddress address = Fetch(origin.url("/fast.flv"));
    const auto response = Play(address);
    EXPECT_TRUE(
        Eventually([&] { return GetProgError(address.task) == KESTRIVANE_ERROR_DISK_FULL; }));
    ::setrlimit(RLIMIT_FSIZE, &before);
    EXPECT_TRUE(!response || response->body.size() <= 1024 * 1024);
    EXPECT_LT(Percent(address.task), 100);
    EXPECT_EQ(CallbacksFor(address.task), 0);
    for (const auto& entry : std::filesystem::directory_iterator(store.path()))
        EXPECT_NE(entry.path().extension(), ".complete") << entry.path();
}

// The first answer told no length and hung up at a quarter, which looks like the end. The copy
// is checked past its end at once, and only then reported complete; later it is trusted.
TEST_F(Kestrivane, CopyEndedByAHangUpIsCheckedBeforeItIsComplete) {
    HangUpOrigin origin(200000, 50000);
    const std::string url = origin.url("/closed.flv");
    const PlayAddress first = Fetch(url);
    ExpectWholeProgramme(Play(first), origin.bytes());
    EXPECT_TRUE(Eventually([&] { return CallbacksFor(first.task) == 1; }));
    EXPECT_EQ(origin.RangesAsked(), (std::vector<std::string>{"", "50000"}));
    Restart();
    const PlayAddress again = Fetch(url);
    ExpectWholeProgramme(Play(again), origin.bytes());
    EXPECT_EQ(Percent(again.task), 100);
    EXPECT_EQ(origin.RangesAsked().size(), 2u);
}

// A copy an earlier run left unconfirmed plays while its origin is gone.
TEST_F(Kestrivane, UnconfirmedCopyIsServedWhileItsOriginIsGone) {
    const std::string url =
        "http://127.0.0.1:" + std::to_string(luming::test::ClosedPort()) + "/closed.flv";
    const std::string stored = kestrivane::test::ProgrammeBytes(50000);
    const kestrivane::Store layout(store.path());
    std::ofstream(layout.DataFile(url, ".flv"), std::ios::binary) << stored;
    layout.MarkComplete(layout.DataFile(url, ".flv"), {stored.size(), false});
    const PlayAddress again = Fetch(url);
    ExpectWholeProgramme(Play(again), stored);
    EXPECT_TRUE(Eventually([&] { return CallbacksFor(again.task) == 1; }));
}

TEST_F(Kestrivane, InterruptedDownloadResumesWithRange) {
    Origin origin(kSize);
    const PlayAddress first = Fetch(origin.url("/cut.flv"));
    ASSERT_TRUE(Eventually([&] { return origin.Requests("/cut.flv") == 1; }));
    ASSERT_TRUE(Eventually([&] {
        int32_t percent = 0, downloaded = 0, total = 0;
        GetProgInfo(first.task, &percent, &downloaded, &total);
        return downloaded >= static_cast<int32_t>(kSize / 2 / 1024);
    }));
    std::this_thread::sleep_for(100ms);
    // The next start of the library finds the half file in the store.
    Restart();
    const PlayAddress second = Fetch(origin.url("/cut.flv"));
    ExpectWholeProgramme(Play(second), origin.bytes());
    EXPECT_EQ(origin.RangesAsked().back(), "bytes=" + std::to_string(kSize / 2) + "-");
    EXPECT_TRUE(Eventually([&] { return CallbacksFor(second.task) == 1; }));
}

TEST_F(Kestrivane, CompleteProgrammeIsServedFromTheStore) {
    Origin origin(kSize);
    const PlayAddress first = Fetch(origin.url("/fast.flv"));
    ASSERT_TRUE(Eventually([&] { return Percent(first.task) == 100; }));
    Restart();
    const PlayAddress again = Fetch(origin.url("/fast.flv"));
    ExpectWholeProgramme(Play(again), origin.bytes());
    EXPECT_TRUE(Eventually([&] { return CallbacksFor(again.task) == 1; }));
    EXPECT_EQ(origin.Requests("/fast.flv"), 1);
}

TEST_F(Kestrivane, ShutdownWhileAPlayerWaitsAndReads) {
    Origin origin(kSize);
    const PlayAddress address = Fetch(origin.url("/gated.flv"));
    auto player = std::async(std::launch::async, [&] { return Play(address); });
    ASSERT_TRUE(Eventually([&] { return Percent(address.task) >= 49; }));
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(UnInitkestrivane(), 1);
    const auto response = player.get();
    EXPECT_TRUE(!response || response->body.size() < kSize);
    EXPECT_FALSE(GetProgInfo(address.task, nullptr, nullptr, nullptr));
}

TEST(KestrivaneOutside, RefusesWithoutInitOrHttpAddress) {
    char out[1024] = {};
    EXPECT_FALSE(SetProgramInfo("http://127.0.0.1:1/a.flv", 1, 2, 2, out));
    EXPECT_FALSE(GetProgInfo(1, nullptr, nullptr, nullptr));
    luming::test::TempDir store;
    setenv("KESTRIVANE_STORE", store.path().c_str(), 1);
    ASSERT_EQ(Initkestrivane(26, nullptr, nullptr, nullptr, nullptr), 1);
    EXPECT_FALSE(SetProgramInfo("", 1, 2, 2, out));
    EXPECT_FALSE(SetProgramInfo("ftp://host/a.flv", 1, 2, 2, out));
    EXPECT_FALSE(SetProgramInfo("file:///etc/passwd", 1, 2, 2, out));
    EXPECT_FALSE(SetProgramInfo(nullptr, 1, 2, 2, out));
    EXPECT_EQ(out[0], '\0');
    EXPECT_FALSE(GetProgInfo(12345, nullptr, nullptr, nullptr));
    UnInitkestrivane();
}

TEST(KestrivaneOutside, LoginIsOneRequestToTheVendorSite) {
    luming::test::LoopbackServer site;
    std::string asked;
    site.server().Get("/web/login", [&](const httplib::Request& request, httplib::Response&) {
        asked = request.path + "?version=" + request.get_param_value("version");
    });
    site.Start();
    EXPECT_EQ(ClientLoginIn(26, site.url("/web").c_str()), 1);
    EXPECT_EQ(asked, "/web/login?version=26");
    EXPECT_EQ(
        ClientLoginIn(
            26, ("http://127.0.0.1:" + std::to_string(luming::test::ClosedPort()) + "/").c_str()),
        0);
    EXPECT_EQ(ClientLoginIn(26, nullptr), 0);
}

} // namespace
} // namespace kestrivane::test
