// The local server on its own, serving one programme that is already in a file.
#include "StreamServer.h"
#include "Task.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <arpa/inet.h>
#include <chrono>
#include <fstream>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

using namespace std::chrono_literals;

namespace {

int Connect(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

class KestrivaneServer : public ::testing::Test {
protected:
    void SetUp() override {
        std::ofstream(file, std::ios::binary) << bytes;
        task->SetTotal(bytes.size());
        task->SetDownloaded(bytes.size());
        task->Finish(kestrivane::TaskState::Complete);
        ASSERT_TRUE(server.Start());
    }
    void TearDown() override { server.Stop(); }

    httplib::Result Get(const std::string& range = "") {
        httplib::Client player("127.0.0.1", server.port());
        player.set_connection_timeout(10s);
        player.set_read_timeout(10s);
        httplib::Headers headers;
        if (!range.empty())
            headers.emplace("Range", range);
        return player.Get("/00ab/P2P/7.flv", headers);
    }

    luming::test::TempDir store;
    const std::string bytes = "0123456789abcdefghijklmnopqrstuvwxyz";
    const std::filesystem::path file = store.path() / "p.flv";
    const std::shared_ptr<kestrivane::Task> task =
        std::make_shared<kestrivane::Task>(7, "00ab", "http://o/p.flv", ".flv", file);
    kestrivane::StreamServer server{[this](int32_t n) { return n == 7 ? task : nullptr; }, 1000ms};
};

} // namespace

// Before, a fixed pool of threads each sat on one such connection, and the player timed out.
TEST_F(KestrivaneServer, PlayerIsAnsweredWhileManyClientsTrickleTheirHeads) {
    std::vector<int> slow;
    for (int i = 0; i < 100; ++i) {
        const int fd = Connect(server.port());
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::send(fd, "G", 1, MSG_NOSIGNAL), 1);
        slow.push_back(fd);
    }
    std::this_thread::sleep_for(100ms);
    const auto started = std::chrono::steady_clock::now();
    const auto response = Get();
    const auto took = std::chrono::steady_clock::now() - started;
    for (const int fd : slow)
        ::close(fd);
    ASSERT_TRUE(response);
    EXPECT_EQ(response->body, bytes);
    EXPECT_LT(took, 1s);
}

// One deadline for the whole head: a byte every 100 ms does not keep the connection open.
TEST(KestrivaneServerDeadline, TrickledHeadIsDroppedAtItsDeadline) {
    kestrivane::FrontLimits limits;
    limits.headDeadline = 400ms;
    kestrivane::StreamServer server([](int32_t) { return nullptr; }, 100ms, limits);
    ASSERT_TRUE(server.Start());
    const int fd = Connect(server.port());
    ASSERT_GE(fd, 0);
    const std::string head = "GET /00ab/P2P/7.flv HTTP/1.1\r\nHost: x\r\n";
    std::size_t sent = 0;
    const auto started = std::chrono::steady_clock::now();
    while (sent < head.size() && ::send(fd, &head[sent], 1, MSG_NOSIGNAL) == 1) {
        ++sent;
        std::this_thread::sleep_for(100ms);
        if (std::chrono::steady_clock::now() - started > 5s)
            break;
    }
    ::close(fd);
    EXPECT_LT(sent, 20u); // about 4 bytes before the drop, never the whole head
    server.Stop();
}

// Requests for bytes not yet downloaded wait without a worker: with 200 of them waiting (more
// than the workers), a player asking for stored bytes is answered, and the 200 get their bytes
// once they arrive.
TEST(KestrivaneServerWaits, PlayerIsAnsweredWhileTwoHundredRequestsWaitForBytes) {
    luming::test::TempDir store;
    const std::string bytes(1000, 'b');
    const auto file = store.path() / "p.flv";
    std::ofstream(file, std::ios::binary) << bytes;
    auto task = std::make_shared<kestrivane::Task>(7, "00ab", "http://o/p.flv", ".flv", file);
    task->SetTotal(bytes.size());
    task->SetDownloaded(500);
    kestrivane::StreamServer server([&](int32_t n) { return n == 7 ? task : nullptr; }, 600s);
    task->OnChange([&] { server.Poke(); });
    ASSERT_TRUE(server.Start());

    std::vector<int> waiting;
    const std::string request =
        "GET /00ab/P2P/7.flv HTTP/1.1\r\nHost: x\r\nRange: bytes=990-\r\n\r\n";
    for (int i = 0; i < 200; ++i) {
        const int fd = Connect(server.port());
        ASSERT_GE(fd, 0);
        const timeval limit{60, 0}; // a hang fails the test instead of stopping the suite
        ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
        ASSERT_EQ(::send(fd, request.data(), request.size(), MSG_NOSIGNAL),
                  static_cast<ssize_t>(request.size()));
        waiting.push_back(fd);
    }
    // Each has its head (the size is known) and waits for its body.
    const auto readHead = [](int fd) {
        std::string head;
        char c = 0;
        while (head.find("\r\n\r\n") == std::string::npos && ::recv(fd, &c, 1, 0) == 1)
            head += c;
        return head;
    };
    for (const int fd : waiting)
        ASSERT_TRUE(readHead(fd).starts_with("HTTP/1.1 206")) << fd;

    httplib::Client player("127.0.0.1", server.port());
    player.set_read_timeout(60s);
    const auto stored = player.Get("/00ab/P2P/7.flv", {{"Range", "bytes=0-99"}});
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->body, bytes.substr(0, 100));
    char c = 0;
    EXPECT_EQ(::recv(waiting.front(), &c, 1, MSG_DONTWAIT), -1); // still waiting

    task->SetDownloaded(bytes.size());
    task->Finish(kestrivane::TaskState::Complete);
    for (const int fd : waiting) {
        char tail[10];
        EXPECT_EQ(::recv(fd, tail, sizeof tail, MSG_WAITALL), 10);
        EXPECT_EQ(std::string(tail, 10), bytes.substr(990));
        ::close(fd);
    }
    server.Stop();
}

TEST_F(KestrivaneServer, RangesAreClampedAndSeveralGetTheWholeProgramme) {
    struct Case {
        const char* range;
        int status;
        std::string body;
        std::string contentRange;
    };
    const Case cases[] = {
        {"bytes=0-9,20-29", 200, bytes, ""},
        {"bytes=0-0,-1", 200, bytes, ""},
        {"bytes=0-18446744073709551615", 206, bytes, "bytes 0-35/36"},
        {"bytes=30-99999999999999999999999", 206, "uvwxyz", "bytes 30-35/36"},
        {"bytes=-5", 206, "vwxyz", "bytes 31-35/36"},
        {"bytes=-100", 206, bytes, "bytes 0-35/36"},
        {"bytes=10-12", 206, "abc", "bytes 10-12/36"},
        {"bytes=9-3", 200, bytes, ""}, // invalid: ignored
        {"bytes=36-", 416, "", "bytes */36"},
        {"bytes=-0", 416, "", "bytes */36"},
    };
    for (const Case& expected : cases) {
        const auto response = Get(expected.range);
        ASSERT_TRUE(response) << expected.range;
        EXPECT_EQ(response->status, expected.status) << expected.range;
        EXPECT_EQ(response->get_header_value("Content-Range"), expected.contentRange)
            << expected.range;
        if (expected.status != 416) {
            EXPECT_EQ(response->body, expected.body) << expected.range;
        }
    }
}

TEST_F(KestrivaneServer, KeptAliveConnectionAnswersAgain) {
    httplib::Client player("127.0.0.1", server.port());
    player.set_keep_alive(true);
    for (int i = 0; i < 3; ++i) {
        const auto response = player.Get("/00ab/P2P/7.flv", {{"Range", "bytes=1-2"}});
        ASSERT_TRUE(response);
        EXPECT_EQ(response->body, "12");
    }
}

// Clients that ask and never read: forty for a large programme, and forty that send request
// after request on one connection. Before, each held a worker for as long as a write may wait
// (a minute here), and the player waited behind them.
TEST(KestrivaneServerWrites, PlayerIsAnsweredWhileOthersReadNothing) {
    luming::test::TempDir store;
    const std::string bytes(32 * 1024 * 1024, 'p');
    const auto file = store.path() / "p.flv";
    std::ofstream(file, std::ios::binary) << bytes;
    auto task = std::make_shared<kestrivane::Task>(7, "00ab", "http://o/p.flv", ".flv", file);
    task->SetTotal(bytes.size());
    task->SetDownloaded(bytes.size());
    task->Finish(kestrivane::TaskState::Complete);
    kestrivane::FrontLimits limits;
    limits.writeTimeout = 60s;
    kestrivane::StreamServer server([&](int32_t n) { return n == 7 ? task : nullptr; }, 1000ms,
                                    limits);
    ASSERT_TRUE(server.Start());

    std::string pipelined;
    for (int i = 0; i < 2000; ++i)
        pipelined += "GET /nothing/here HTTP/1.1\r\nHost: x\r\n\r\n";
    const std::string whole = "GET /00ab/P2P/7.flv HTTP/1.1\r\nHost: x\r\n\r\n";
    std::vector<int> idle;
    for (int i = 0; i < 80; ++i) {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const int small = 4096;
        ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<uint16_t>(server.port()));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ASSERT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        const std::string& request = i % 2 ? pipelined : whole;
        ::send(fd, request.data(), request.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        idle.push_back(fd);
    }

    httplib::Client player("127.0.0.1", server.port());
    player.set_read_timeout(30s);
    const auto answer = player.Get("/00ab/P2P/7.flv", {{"Range", "bytes=0-99"}});
    for (const int fd : idle)
        ::close(fd);
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->body, bytes.substr(0, 100));
    server.Stop();
}
