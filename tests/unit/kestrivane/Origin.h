#pragma once

#include "support/LoopbackServer.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

namespace kestrivane::test {

// A programme's bytes, different at every position so that a misplaced range shows.
std::string ProgrammeBytes(std::size_t size);

// The origin server the library downloads from, with one path per way an origin behaves:
//   /fast.flv      the whole programme at once, Range honoured
//   /gated.flv     the first half at once, the rest only after Release()
//   /chunked.mp3   no Content-Length
//   /missing.flv   404
//   /cut.flv       announces the whole size, sends half, hangs up (only the first time)
class Origin {
public:
    explicit Origin(std::size_t size);
    ~Origin();

    std::string url(const std::string& path) const { return server_.url(path); }
    const std::string& bytes() const { return bytes_; }
    void Release();
    int Requests(const std::string& path);
    std::vector<std::string> RangesAsked();

private:
    void Count(const std::string& path, const std::string& range);

    std::string bytes_;
    luming::test::LoopbackServer server_;
    std::mutex mutex_;
    std::condition_variable released_;
    bool open_ = false;
    std::vector<std::string> requests_;
    std::vector<std::string> ranges_;
};

} // namespace kestrivane::test
