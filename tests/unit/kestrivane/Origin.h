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
//   /gated.flv     from the start: the first half at once, the rest only after Release(); a
//                  range from the second half on: 64 KB at once, then a byte at a time until
//                  Release() (a client that goes away meanwhile is counted by Dropped())
//   /changing.flv  as /gated.flv, but its ranges from the second half on come from another
//                  version of the programme (other bytes, another ETag)
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
    int Dropped();

private:
    void Count(const std::string& path, const std::string& range);
    void ServeGated(const httplib::Request& request, httplib::Response& response,
                    bool otherVersionPastHalf);

    std::string bytes_;
    std::string otherVersion_;
    luming::test::LoopbackServer server_;
    std::mutex mutex_;
    std::condition_variable released_;
    bool open_ = false;
    int dropped_ = 0;
    std::vector<std::string> requests_;
    std::vector<std::string> ranges_;
};

} // namespace kestrivane::test
