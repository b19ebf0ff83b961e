#include "StreamServer.h"

#include "StreamAnswer.h"
#include "StreamPath.h"

namespace kestrivane {

namespace {

void Refuse(httplib::Response& response, int status) {
    for (const auto& [name, value] : kCrossOrigin)
        response.set_header(std::string(name), std::string(value));
    response.status = status;
}

} // namespace

StreamServer::StreamServer(TaskLookup lookup, std::chrono::milliseconds patience,
                           FrontLimits limits)
    : lookup_(std::move(lookup)), patience_(patience),
      front_([this](FrontConnection& connection) { return Answer(connection); }, limits) {
    // Told to players; the front drops a connection that sends no next head within that.
    processor_.set_keep_alive_timeout(std::max<time_t>(
        1, std::chrono::duration_cast<std::chrono::seconds>(limits.headDeadline).count()));
    processor_.Get(
        ".*", [](const httplib::Request&, httplib::Response& response) { Refuse(response, 404); });
    processor_.Options(
        ".*", [](const httplib::Request&, httplib::Response& response) { Refuse(response, 204); });
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
    bool closed = false;
    const bool answered = processor_.process_request(connection, false, closed, nullptr);
    Answered result;
    if (answered && !closed)
        result.then = Answered::Then::KeepAlive;
    return result;
}

} // namespace kestrivane
