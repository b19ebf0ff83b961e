#include "config/UrlProbe.h"
#include "support/LoopbackServer.h"

#include <gtest/gtest.h>

#include <atomic>

using namespace luming;
using namespace std::chrono_literals;
using luming::test::LoopbackServer;

TEST(UrlProbe, AddsHttpOnlyWhenTheAddressNamesNoScheme) {
    EXPECT_EQ(ProbeAddress("www.example.test/a"), "http://www.example.test/a");
    EXPECT_EQ(ProbeAddress("HTTP://Host/Page.html"), "HTTP://Host/Page.html");
    EXPECT_EQ(ProbeAddress("https://host/"), "https://host/");
    EXPECT_EQ(ProbeAddress("Host/?next=http://x"), "Host/?next=http://x");
}

class UrlProbeServer : public ::testing::Test {
protected:
    void SetUp() override {
        auto& http = server.server();
        http.Get("/ok", [this](const httplib::Request& request, httplib::Response& response) {
            agent = request.get_header_value("User-Agent");
            noCache = request.get_header_value("Cache-Control") == "no-cache";
            response.set_content(std::string(1 << 20, 'x'), "text/plain");
        });
        http.Get("/found", [](const httplib::Request&, httplib::Response& response) {
            response.set_redirect("/missing", 302);
        });
        http.Get("/moved", [](const httplib::Request&, httplib::Response& response) {
            response.set_redirect("/ok", 301);
        });
        http.Get("/error", [](const httplib::Request&, httplib::Response& response) {
            response.status = 500;
        });
        server.Start();
    }

    LoopbackServer server;
    CurlUrlProbe probe{500ms, 1500ms};
    std::string agent;
    std::atomic<bool> noCache = false;
};

TEST_F(UrlProbeServer, OnlyOkAndFoundCountAsReachable) {
    EXPECT_TRUE(probe.IsUrlReachable(server.url("/ok")));
    EXPECT_EQ(agent, "InetURL:/1.0");
    EXPECT_TRUE(noCache) << "the probe must bypass caches";
    EXPECT_TRUE(probe.IsUrlReachable(server.url("/found"))) << "302 counts, not followed";
    EXPECT_FALSE(probe.IsUrlReachable(server.url("/moved")));
    EXPECT_FALSE(probe.IsUrlReachable(server.url("/missing")));
    EXPECT_FALSE(probe.IsUrlReachable(server.url("/error")));
}

TEST_F(UrlProbeServer, AnAddressWithoutSchemeIsProbedOverHttp) {
    EXPECT_TRUE(probe.IsUrlReachable("127.0.0.1:" + std::to_string(server.port()) + "/ok"));
}

TEST(UrlProbe, UnreachableAddressesAreFalse) {
    CurlUrlProbe probe{500ms, 1500ms};
    EXPECT_FALSE(probe.IsUrlReachable(""));
    EXPECT_FALSE(probe.IsUrlReachable("http://127.0.0.1:" + std::to_string(test::ClosedPort())));
    EXPECT_FALSE(probe.IsUrlReachable("ftp://127.0.0.1/"));
    EXPECT_FALSE(probe.IsUrlReachable("http://[broken"));
    // A server that takes the connection and never answers: the bound ends the wait.
    test::SilentPort silent;
    EXPECT_FALSE(probe.IsUrlReachable("http://127.0.0.1:" + std::to_string(silent.port()) + "/"));
}
