#include "StreamServer.h"

#include "ByteRange.h"
#include "Store.h"
#include "StreamPath.h"

#include <algorithm>
#include <cctype>
#include <fcntl.h>
#include <optional>
#include <unistd.h>
#include <vector>

namespace kestrivane {

namespace {

constexpr std::size_t kChunkSize = 256 * 1024;
constexpr std::string_view kRangeName = "range:";

// The Flash engine loads programmes from inside a web view, so other origins may read.
void AllowCrossOrigin(httplib::Response& response) {
    response.set_header("Access-Control-Allow-Origin", "*");
    response.set_header("Access-Control-Allow-Methods", "GET, HEAD, OPTIONS");
    response.set_header("Access-Control-Allow-Headers", "Range");
    response.set_header("Access-Control-Expose-Headers",
                        "Content-Length, Content-Range, Accept-Ranges");
}

void Refuse(httplib::Response& response, int status) {
    AllowCrossOrigin(response);
    response.status = status;
}

// Reads a task's file for one response; the descriptor lives as long as the response.
struct OpenFile {
    int fd = -1;
    explicit OpenFile(const std::filesystem::path& path)
        : fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {}
    ~OpenFile() {
        if (fd >= 0)
            ::close(fd);
    }
};

// Removes the Range header from a request head and returns its value. httplib would answer
// ranges itself: with 416 for an end past 64 bits and a wrong size in multipart answers.
std::optional<std::string> TakeRangeHeader(std::string& received) {
    const std::size_t headEnd = received.find("\r\n\r\n");
    std::size_t line = received.find("\r\n");
    while (line != std::string::npos && line < headEnd) {
        const std::size_t start = line + 2;
        const std::size_t end = received.find("\r\n", start);
        std::string name = received.substr(start, kRangeName.size());
        std::transform(name.begin(), name.end(), name.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        if (name == kRangeName) {
            std::string value =
                received.substr(start + kRangeName.size(), end - start - kRangeName.size());
            received.erase(start, end + 2 - start);
            return value;
        }
        line = end;
    }
    return std::nullopt;
}

} // namespace

StreamServer::StreamServer(TaskLookup lookup, std::chrono::milliseconds patience,
                           FrontLimits limits)
    : lookup_(std::move(lookup)), patience_(patience),
      front_([this](FrontConnection& connection) { return Answer(connection); }, limits) {
    // Told to players; the front drops a connection that sends no next head within that.
    processor_.set_keep_alive_timeout(std::max<time_t>(
        1, std::chrono::duration_cast<std::chrono::seconds>(limits.headDeadline).count()));
    InstallRoutes(processor_);
}

void StreamServer::InstallRoutes(httplib::Server& server) {
    server.Get(".*", [this](const httplib::Request& request, httplib::Response& response) {
        HandleGet(request, response);
    });
    server.Options(
        ".*", [](const httplib::Request&, httplib::Response& response) { Refuse(response, 204); });
}

StreamServer::~StreamServer() {
    Stop();
}

bool StreamServer::Start() {
    processor_.SetServing(true);
    port_ = front_.Start();
    return port_ > 0;
}

void StreamServer::Stop() {
    processor_.SetServing(false);
    front_.Stop();
}

bool StreamServer::Answer(FrontConnection& connection) {
    auto range = TakeRangeHeader(connection.received());
    bool closed = false;
    const bool answered =
        processor_.process_request(connection, false, closed, [&range](httplib::Request& request) {
            if (range)
                request.headers.emplace("Range", std::move(*range));
        });
    return answered && !closed;
}

void StreamServer::HandleGet(const httplib::Request& request, httplib::Response& response) {
    const auto path = ParseStreamPath(request.path);
    const auto task = path ? lookup_(path->task) : nullptr;
    if (!task || task->token != path->token || task->extension != path->extension)
        return Refuse(response, 404);

    // Content-Length must be the origin's size, so wait until the origin has told it.
    const TaskProgress progress =
        task->WaitUntil([](const TaskProgress& p) { return p.total.has_value(); }, patience_);
    if (!progress.total)
        return Refuse(response, progress.state == TaskState::Failed ? 502 : 503);

    const uint64_t total = *progress.total;
    const RangeAnswer range = ResolveRange(request.get_header_value("Range"), total);
    if (range.kind == RangeAnswer::Kind::Unsatisfiable) {
        response.set_header("Content-Range", "bytes */" + std::to_string(total));
        return Refuse(response, 416);
    }

    auto file = std::make_shared<OpenFile>(task->dataFile);
    if (file->fd < 0)
        return Refuse(response, 503);

    AllowCrossOrigin(response);
    response.set_header("Accept-Ranges", "bytes");
    uint64_t first = 0;
    uint64_t length = total;
    if (range.kind == RangeAnswer::Kind::Part) {
        first = range.first;
        length = range.length;
        response.status = 206;
        response.set_header("Content-Range", "bytes " + std::to_string(first) + "-" +
                                                 std::to_string(first + length - 1) + "/" +
                                                 std::to_string(total));
    }
    const std::chrono::milliseconds patience = patience_;
    response.set_content_provider(
        length, std::string(ContentTypeFor(task->extension)),
        [task, file, patience, first](size_t partOffset, size_t partLength,
                                      httplib::DataSink& sink) {
            const uint64_t offset = first + partOffset;
            const TaskProgress now = task->WaitUntil(
                [offset](const TaskProgress& p) { return p.downloaded > offset; }, patience);
            if (now.closing || now.downloaded <= offset)
                return false; // the download failed, stalled or the library shuts down
            std::vector<char> buffer(
                std::min<uint64_t>({partLength, kChunkSize, now.downloaded - offset}));
            const ssize_t read =
                ::pread(file->fd, buffer.data(), buffer.size(), static_cast<off_t>(offset));
            if (read <= 0)
                return false;
            return sink.write(buffer.data(), static_cast<size_t>(read));
        });
}

} // namespace kestrivane
