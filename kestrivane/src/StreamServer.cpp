#include "StreamServer.h"

#include "StreamAnswer.h"
#include "StreamPath.h"

namespace kestrivane {

StreamServer::StreamServer(TaskLookup lookup, std::chrono::milliseconds patience,
                           FrontLimits limits)
    : lookup_(std::move(lookup)), patience_(patience),
      front_([this](FrontConnection& connection) { return Answer(connection); }, limits) {
    processor_.Get(
        ".*", [](const httplib::Request&, httplib::Response& response) { response.status = 404; });
}

StreamServer::~StreamServer() {
    Stop();
}

bool StreamServer::Start() {
    serving_ = true;
    port_ = front_.Start();
    return port_ > 0;
}

void StreamServer::Stop() {
    serving_ = false;
    front_.Stop();
}

Answered StreamServer::Answer(FrontConnection& connection) {
    if (auto request = ParseStreamRequest(connection.received())) {
        const auto path = ParseStreamPath(request->path);
        const auto task = path ? lookup_(path->task) : nullptr;
        if (task && task->token == path->token && task->extension == path->extension) {
            connection.Consume(request->headSize);
            auto answer =
                std::make_shared<StreamAnswer>(task, std::move(*request), patience_, serving_);
            return answer->Go(connection);
        }
    }
    // Anything else gets its small answer on a connection of its own: a client that sends
    // request after request without reading the answers never fills the socket.
    bool closed = false;
    processor_.process_request(connection, true, closed, nullptr);
    return {};
}

} // namespace kestrivane
