#include "Origin.h"

#include <algorithm>
#include <chrono>

namespace kestrivane::test {

std::string ProgrammeBytes(std::size_t size) {
    std::string bytes(size, '\0');
    uint32_t state = 12345;
    for (char& byte : bytes) {
        state = state * 1103515245 + 12345;
        byte = static_cast<char>(state >> 16);
    }
    return bytes;
}

Origin::Origin(std::size_t size)
    : bytes_(ProgrammeBytes(size)), otherVersion_(bytes_.rbegin(), bytes_.rend()) {
    auto& server = server_.server();
    server.Get("/fast.flv", [this](const httplib::Request& request, httplib::Response& response) {
        Count(request.path, request.get_header_value("Range"));
        response.set_content(bytes_, "video/x-flv");
    });
    server.Get("/gated.flv", [this](const httplib::Request& request, httplib::Response& response) {
        ServeGated(request, response, false);
    });
    server.Get("/changing.flv",
               [this](const httplib::Request& request, httplib::Response& response) {
                   ServeGated(request, response, true);
               });
    server.Get("/chunked.mp3",
               [this](const httplib::Request& request, httplib::Response& response) {
                   Count(request.path, request.get_header_value("Range"));
                   response.set_chunked_content_provider(
                       "audio/mpeg", [this](size_t offset, httplib::DataSink& sink) {
                           if (offset >= bytes_.size()) {
                               sink.done();
                               return true;
                           }
                           return sink.write(bytes_.data() + offset,
                                             std::min(bytes_.size() - offset, size_t{50000}));
                       });
               });
    server.Get("/missing.flv",
               [this](const httplib::Request& request, httplib::Response& response) {
                   Count(request.path, "");
                   response.status = 404;
                   response.set_content("no such programme", "text/plain");
               });
    server.Get("/cut.flv", [this](const httplib::Request& request, httplib::Response& response) {
        Count(request.path, request.get_header_value("Range"));
        if (Requests("/cut.flv") > 1) {
            response.set_content(bytes_, "video/x-flv"); // a range is served as 206
            return;
        }
        response.set_content_provider(
            bytes_.size(), "video/x-flv", [this](size_t offset, size_t, httplib::DataSink& sink) {
                if (offset >= bytes_.size() / 2)
                    return false;
                return sink.write(bytes_.data() + offset, bytes_.size() / 2 - offset);
            });
    });
    server_.Start();
}

void Origin::ServeGated(const httplib::Request& request, httplib::Response& response,
                        bool otherVersionPastHalf) {
    Count(request.path, request.get_header_value("Range"));
    const size_t half = bytes_.size() / 2;
    const bool pastHalf = !request.ranges.empty() && request.ranges.front().first >= 0 &&
                          static_cast<size_t>(request.ranges.front().first) >= half;
    const std::string& bytes = pastHalf && otherVersionPastHalf ? otherVersion_ : bytes_;
    response.set_header("ETag", &bytes == &bytes_ ? "\"v1\"" : "\"v2\"");
    const size_t from = pastHalf ? static_cast<size_t>(request.ranges.front().first) : 0;
    response.set_content_provider(
        bytes.size(), "video/x-flv",
        [this, &bytes, half, from](size_t offset, size_t length, httplib::DataSink& sink) {
            // Where the bytes stop coming at once, and how many come after it until Release().
            const size_t gate = from >= half ? from + 65536 : half;
            const size_t trickle = from >= half ? 1 : 0;
            if (offset >= gate) {
                std::unique_lock lock(mutex_);
                if (!released_.wait_for(lock, std::chrono::milliseconds(trickle ? 10 : 60000),
                                        [this] { return open_; }) &&
                    !trickle)
                    return false;
                if (!open_) {
                    lock.unlock();
                    if (sink.write(bytes.data() + offset, trickle))
                        return true;
                    lock.lock();
                    ++dropped_;
                    return false;
                }
            }
            const size_t end = offset < gate ? gate : offset + length;
            return sink.write(bytes.data() + offset,
                              std::min({end - offset, length, size_t{65536}}));
        });
}

int Origin::Dropped() {
    std::lock_guard lock(mutex_);
    return dropped_;
}

Origin::~Origin() {
    Release();
}

void Origin::Release() {
    std::lock_guard lock(mutex_);
    open_ = true;
    released_.notify_all();
}

void Origin::Count(const std::string& path, const std::string& range) {
    std::lock_guard lock(mutex_);
    requests_.push_back(path);
    ranges_.push_back(range);
}

int Origin::Requests(const std::string& path) {
    std::lock_guard lock(mutex_);
    return static_cast<int>(std::count(requests_.begin(), requests_.end(), path));
}

std::vector<std::string> Origin::RangesAsked() {
    std::lock_guard lock(mutex_);
    return ranges_;
}

} // namespace kestrivane::test
