#pragma once

#include "HttpFront.h"
#include "Task.h"

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>

namespace kestrivane {

// The local HTTP server on 127.0.0.1 that streams tasks to players while they download. It
// serves nothing but its tasks: GET and HEAD, with Range, to anyone who knows a task's token.
// A request for bytes not yet downloaded waits without holding a worker.
class StreamServer {
public:
    using TaskLookup = std::function<std::shared_ptr<Task>(int32_t number)>;

    // `patience`: how long a request waits for bytes while the download makes no progress.
    StreamServer(TaskLookup lookup, std::chrono::milliseconds patience, FrontLimits limits = {});
    ~StreamServer();
    StreamServer(const StreamServer&) = delete;
    StreamServer& operator=(const StreamServer&) = delete;

    // Binds an ephemeral port and starts serving; false when no port could be bound.
    bool Start();
    int port() const { return port_; }
    // Stops listening, ends every answer and joins every server thread.
    void Stop();
    // A task changed: waiting requests look whether they can go on. Any thread.
    void Poke() { front_.Poke(); }

    // Answers one request whose head the front has collected (a fuzz target feeds it too).
    Answered Answer(FrontConnection& connection);

private:
    // httplib's request handling without its accept loop, for every request that is not a
    // player's GET or HEAD of a task (other methods, unknown paths, malformed heads).
    class Processor : public httplib::Server {
    public:
        using httplib::Server::process_request;
    };

    TaskLookup lookup_;
    std::chrono::milliseconds patience_;
    Processor processor_;
    std::atomic<bool> serving_{false};
    HttpFront front_;
    int port_ = 0;
};

} // namespace kestrivane
