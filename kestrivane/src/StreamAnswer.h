#pragma once

#include "HttpFront.h"
#include "Task.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace kestrivane {

// A GET or HEAD as a player sends it.
struct StreamRequest {
    std::string path; // without a query
    bool head = false;
    bool keepAlive = true;
    std::optional<std::string> range;
    std::size_t headSize = 0; // with the blank line that ends it
};

// The request at the start of `received`; nothing for any other method, a body, or a head
// that is not plain HTTP/1.x (the general request handling answers those).
std::optional<StreamRequest> ParseStreamRequest(std::string_view received);

// The answer to one player's request for a task, in steps: the head once the origin has told
// the size, then the body as far as the store holds it. Between steps it waits on the front,
// holding no worker, until the bytes come, the download ends, or nothing happened (no byte, no
// attempt) for `patience`; and until the player's socket takes more, when it is full. While it
// lives the task knows where it reads (Task::Want), so bytes far past the download come from a
// fetch of their own. A download that fails ends the answer where its bytes end.
class StreamAnswer : public std::enable_shared_from_this<StreamAnswer> {
public:
    StreamAnswer(std::shared_ptr<Task> task, StreamRequest request,
                 std::chrono::milliseconds patience, const std::atomic<bool>& serving);
    ~StreamAnswer();
    StreamAnswer(const StreamAnswer&) = delete;
    StreamAnswer& operator=(const StreamAnswer&) = delete;

    // Goes on as far as it can.
    Answered Go(FrontConnection& connection);

private:
    using Clock = std::chrono::steady_clock;

    Answered SendHead(FrontConnection& connection, const TaskProgress& progress);
    // Sends what is due: the rest of the head, then the body as far as it is held.
    Answered SendBody(FrontConnection& connection);
    // Waits until the store holds the byte at `offset` (or, without one, the size is told).
    Answered WaitFor(std::optional<uint64_t> offset);
    Answered WaitToWrite();
    // An answer of a head alone.
    Answered Refuse(FrontConnection& connection, int status, const std::string& extra = {});
    Answered Done() const;

    const std::shared_ptr<Task> task_;
    const StreamRequest request_;
    const std::chrono::milliseconds patience_;
    const std::atomic<bool>& serving_;
    std::shared_ptr<WantedBytes> wanted_;
    int fd_ = -1;
    bool headSent_ = false; // decided, and on its way in `unsent_`
    std::string unsent_;    // of the head
    uint64_t offset_ = 0;
    uint64_t end_ = 0;
    bool expired_ = false; // the last wait ran out of patience
};

} // namespace kestrivane
