#include "StreamAnswer.h"

#include "ByteRange.h"
#include "Store.h"

#include <algorithm>
#include <cctype>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace kestrivane {

namespace {

constexpr std::size_t kChunkSize = 256 * 1024;

std::string Lower(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

std::string_view Reason(int status) {
    switch (status) {
    case 200:
        return "OK";
    case 206:
        return "Partial Content";
    case 416:
        return "Range Not Satisfiable";
    case 502:
        return "Bad Gateway";
    default:
        return "Service Unavailable";
    }
}

std::string StatusLine(int status) {
    return "HTTP/1.1 " + std::to_string(status) + " " + std::string(Reason(status)) + "\r\n";
}

} // namespace

std::optional<StreamRequest> ParseStreamRequest(std::string_view received) {
    const std::size_t headEnd = received.find("\r\n\r\n");
    if (headEnd == std::string_view::npos)
        return std::nullopt;
    StreamRequest request;
    request.headSize = headEnd + 4;
    const std::string_view head = received.substr(0, headEnd + 2);
    std::size_t lineEnd = head.find("\r\n");
    const std::string_view line = head.substr(0, lineEnd);
    const std::size_t firstSpace = line.find(' ');
    const std::size_t lastSpace = line.rfind(' ');
    if (firstSpace == std::string_view::npos || lastSpace == firstSpace)
        return std::nullopt;
    const std::string_view method = line.substr(0, firstSpace);
    const std::string_view target = line.substr(firstSpace + 1, lastSpace - firstSpace - 1);
    const std::string_view version = line.substr(lastSpace + 1);
    if ((method != "GET" && method != "HEAD") || (version != "HTTP/1.1" && version != "HTTP/1.0") ||
        !target.starts_with('/'))
        return std::nullopt;
    request.head = method == "HEAD";
    request.path = std::string(target.substr(0, target.find_first_of("?#")));
    request.keepAlive = version == "HTTP/1.1";
    while (lineEnd + 2 < head.size()) {
        const std::size_t start = lineEnd + 2;
        lineEnd = head.find("\r\n", start);
        const std::string_view field = head.substr(start, lineEnd - start);
        const std::size_t colon = field.find(':');
        if (colon == std::string_view::npos)
            return std::nullopt;
        const std::string name = Lower(field.substr(0, colon));
        const std::string_view value = TrimBlanks(field.substr(colon + 1));
        if (name == "range" && !request.range) {
            request.range = std::string(value);
        } else if (name == "connection") {
            const std::string options = Lower(value);
            if (options.find("close") != std::string::npos)
                request.keepAlive = false;
            else if (options.find("keep-alive") != std::string::npos)
                request.keepAlive = true;
        } else if ((name == "content-length" && value != "0") || name == "transfer-encoding") {
            return std::nullopt;
        }
    }
    return request;
}

StreamAnswer::StreamAnswer(std::shared_ptr<Task> task, StreamRequest request,
                           std::chrono::milliseconds patience, const std::atomic<bool>& serving)
    : task_(std::move(task)), request_(std::move(request)), patience_(patience), serving_(serving) {
}

StreamAnswer::~StreamAnswer() {
    if (fd_ >= 0)
        ::close(fd_);
}

Answered StreamAnswer::Go(FrontConnection& connection) {
    if (headSent_)
        return SendBody(connection);
    // Content-Length must be the origin's size, so the head waits until the origin told it.
    const TaskProgress progress = task_->Progress();
    if (progress.closing)
        return {};
    if (progress.total)
        return SendHead(connection, progress);
    if (progress.state == TaskState::Running && !expired_)
        return WaitFor(std::nullopt);
    return Refuse(connection, progress.state == TaskState::Failed ? 502 : 503);
}

Answered StreamAnswer::SendHead(FrontConnection& connection, const TaskProgress& progress) {
    const uint64_t total = *progress.total;
    const RangeAnswer range = ResolveRange(request_.range.value_or(""), total);
    if (range.kind == RangeAnswer::Kind::Unsatisfiable)
        return Refuse(connection, 416, "Content-Range: bytes */" + std::to_string(total) + "\r\n");
    const bool part = range.kind == RangeAnswer::Kind::Part;
    offset_ = part ? range.first : 0;
    end_ = part ? range.first + range.length : total;
    // A failed download has nothing to give from here (a player asking again after a cut).
    if (progress.state == TaskState::Failed && progress.held.LengthFrom(offset_) == 0)
        return Refuse(connection, 502);
    fd_ = ::open(task_->dataFile.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0)
        return Refuse(connection, 503);

    std::string head = StatusLine(part ? 206 : 200);
    head += "Accept-Ranges: bytes\r\n";
    head += "Content-Type: " + std::string(ContentTypeFor(task_->extension)) + "\r\n";
    head += "Content-Length: " + std::to_string(end_ - offset_) + "\r\n";
    if (part)
        head += "Content-Range: bytes " + std::to_string(offset_) + "-" + std::to_string(end_ - 1) +
                "/" + std::to_string(total) + "\r\n";
    if (!request_.keepAlive)
        head += "Connection: close\r\n";
    head += "\r\n";
    unsent_ = std::move(head);
    headSent_ = true;
    expired_ = false;
    if (request_.head)
        end_ = offset_;
    else if (progress.state == TaskState::Running)
        wanted_ = task_->Want(offset_);
    return SendBody(connection);
}

Answered StreamAnswer::SendBody(FrontConnection& connection) {
    if (!unsent_.empty()) {
        const ssize_t sent = connection.Send(unsent_.data(), unsent_.size());
        if (sent < 0)
            return {};
        unsent_.erase(0, static_cast<std::size_t>(sent));
        if (!unsent_.empty())
            return WaitToWrite();
    }
    while (offset_ < end_) {
        const TaskProgress progress = task_->Progress();
        if (!serving_ || progress.closing)
            return {};
        const uint64_t held = progress.held.LengthFrom(offset_);
        if (held == 0) {
            if (progress.state == TaskState::Running && !expired_)
                return WaitFor(offset_);
            return {}; // the download failed or stalled: the connection ends with what came
        }
        const auto count =
            static_cast<std::size_t>(std::min<uint64_t>({kChunkSize, held, end_ - offset_}));
        const ssize_t sent = connection.SendFile(fd_, offset_, count);
        if (sent < 0)
            return {};
        offset_ += static_cast<uint64_t>(sent);
        if (wanted_)
            wanted_->offset = offset_;
        if (static_cast<std::size_t>(sent) < count)
            return WaitToWrite(); // the player reads slower than the store gives
    }
    wanted_.reset();
    return Done();
}

Answered StreamAnswer::WaitToWrite() {
    auto self = shared_from_this();
    Answered answered;
    answered.then = Answered::Then::Wait;
    answered.untilWritable = true;
    answered.resume = [self](FrontConnection& connection) { return self->SendBody(connection); };
    return answered;
}

Answered StreamAnswer::WaitFor(std::optional<uint64_t> offset) {
    struct Watch {
        uint64_t seen;
        Clock::time_point deadline;
    };
    auto watch =
        std::make_shared<Watch>(Watch{task_->Progress().received, Clock::now() + patience_});
    auto self = shared_from_this();
    Answered answered;
    answered.then = Answered::Then::Wait;
    answered.ready = [self, watch, offset] {
        const TaskProgress progress = self->task_->Progress();
        const bool enough =
            offset ? progress.held.LengthFrom(*offset) > 0 : progress.total.has_value();
        if (enough || progress.closing || progress.state != TaskState::Running)
            return true;
        const auto now = Clock::now();
        if (progress.received != watch->seen || progress.retrying) {
            watch->seen = progress.received;
            watch->deadline = now + self->patience_;
            return false;
        }
        self->expired_ = now >= watch->deadline;
        return self->expired_;
    };
    answered.resume = [self](FrontConnection& connection) { return self->Go(connection); };
    return answered;
}

Answered StreamAnswer::Refuse(FrontConnection& connection, int status, const std::string& extra) {
    unsent_ = StatusLine(status) + extra + "Content-Length: 0\r\n";
    if (!request_.keepAlive)
        unsent_ += "Connection: close\r\n";
    unsent_ += "\r\n";
    headSent_ = true;
    offset_ = end_ = 0;
    wanted_.reset();
    return SendBody(connection);
}

Answered StreamAnswer::Done() const {
    Answered answered;
    answered.then = request_.keepAlive ? Answered::Then::KeepAlive : Answered::Then::Close;
    return answered;
}

} // namespace kestrivane
