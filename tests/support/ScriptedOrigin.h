#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace luming::test {

// An origin that answers each request with whatever its script writes on the connection: for
// origins that break the rules in ways a well-behaved server library would not. One connection
// at a time, closed after its answer.
class ScriptedOrigin {
public:
    struct Request {
        std::string path;
        std::optional<uint64_t> rangeFrom; // of "Range: bytes=N-"
        int number = 0;                    // 1 for the first request of all
    };
    using Script = std::function<void(const Request& request, int connection)>;

    // Listens on `ip` (an IPv4 address of this computer), on a free port.
    explicit ScriptedOrigin(Script script, const std::string& ip = "127.0.0.1");
    ~ScriptedOrigin();

    bool Listening() const { return port_ > 0; }
    std::string url(const std::string& path) const;
    int Requests();
    std::vector<std::string> RangesAsked(); // "" where none was asked

    // Writes all of `data`; false once the client has gone.
    static bool Send(int connection, std::string_view data);

private:
    void Serve();
    void Answer(int connection);

    Script script_;
    std::string ip_;
    int fd_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    std::mutex mutex_;
    std::vector<std::string> ranges_;
    std::thread thread_;
};

// The first IPv4 address of this computer that is not a loopback one; nothing without one.
std::optional<std::string> OutwardAddress();

} // namespace luming::test
