#pragma once

#include <atomic>
#include <cstddef>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace kestrivane::test {

// An origin whose first answer tells no length and hangs up after `cut` bytes: to the client
// that looks like the end. Later requests for "bytes=N-" get the rest, with the size.
class HangUpOrigin {
public:
    HangUpOrigin(std::size_t size, std::size_t cut);
    ~HangUpOrigin();

    std::string url(const std::string& path) const;
    const std::string& bytes() const { return bytes_; }
    std::vector<std::string> RangesAsked();

private:
    void Serve();
    void Answer(int connection);

    std::string bytes_;
    std::size_t cut_;
    int fd_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    std::mutex mutex_;
    std::vector<std::string> ranges_;
    std::thread thread_;
};

} // namespace kestrivane::test
