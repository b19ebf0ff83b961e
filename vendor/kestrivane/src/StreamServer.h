#pragma once

#include "HttpFront.h"
#include "Task.h"

#include <httplib.h>

#include <chrono>
#include <functional>
#include <memory>

namespace kestrivane {

// The local HTTP server on 127.0.0.1 that streams tasks to players while they download. It
// serves nothing but its tasks: GET and HEAD, with Range, to anyone who knows a task's token.
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
    // Stops listening and joins every server thread. Waiting requests end once their tasks are
    // closed (Task::Close), so close them first.
    void Stop();

    // Puts this server's request handling on `server`; a fuzz target feeds it raw requests.
    void InstallRoutes(httplib::Server& server);
    // Answers one request whose head the front has collected; true keeps the connection.
    bool Answer(FrontConnection& connection);

private:
    // httplib's request handling without its accept loop, whose fixed pool and per-byte read
    // timeout let slow clients hold every thread.
    class Processor : public httplib::Server {
    public:
        using httplib::Server::process_request;
        // Content providers stop between chunks once httplib believes it no longer listens.
        void SetServing(bool serving) { svr_sock_ = serving ? 0 : INVALID_SOCKET; }
    };

    void HandleGet(const httplib::Request& request, httplib::Response& response);

    TaskLookup lookup_;
    std::chrono::milliseconds patience_;
    Processor processor_;
    HttpFront front_;
    int port_ = 0;
};

} // namespace kestrivane
