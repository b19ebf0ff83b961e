#include "StreamServer.h"

#include "Store.h"
#include "StreamPath.h"

#include <algorithm>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace kestrivane {

namespace {

constexpr std::size_t kChunkSize = 256 * 1024;
constexpr std::size_t kServerThreads = 16;

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

// A range that starts past the end cannot be served (a suffix range "-N" always can).
bool RangesFit(const httplib::Ranges& ranges, uint64_t total) {
    for (const auto& [first, last] : ranges) {
        if (first < 0 ? last == 0 : static_cast<uint64_t>(first) >= total)
            return false;
        if (first >= 0 && last >= 0 && last < first)
            return false;
    }
    return true;
}

} // namespace

StreamServer::StreamServer(TaskLookup lookup, std::chrono::milliseconds patience)
    : lookup_(std::move(lookup)), patience_(patience) {
    server_.new_task_queue = [] { return new httplib::ThreadPool(kServerThreads); };
    // Headers and body go in separate writes; Nagle would hold the body back for an ACK.
    server_.set_tcp_nodelay(true);
    server_.set_keep_alive_timeout(2);
    server_.set_read_timeout(5);
    server_.set_write_timeout(5);
    InstallRoutes(server_);
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
    port_ = server_.bind_to_any_port("127.0.0.1");
    if (port_ <= 0)
        return false;
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    // stop() only takes effect once the accept loop runs, so do not hand out the port before.
    while (!server_.is_running())
        std::this_thread::yield();
    return true;
}

void StreamServer::Stop() {
    server_.stop();
    if (thread_.joinable())
        thread_.join();
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

    if (!RangesFit(request.ranges, *progress.total)) {
        response.set_header("Content-Range", "bytes */" + std::to_string(*progress.total));
        return Refuse(response, 416);
    }

    auto file = std::make_shared<OpenFile>(task->dataFile);
    if (file->fd < 0)
        return Refuse(response, 503);

    AllowCrossOrigin(response);
    response.set_header("Accept-Ranges", "bytes");
    const std::chrono::milliseconds patience = patience_;
    response.set_content_provider(
        *progress.total, std::string(ContentTypeFor(task->extension)),
        [task, file, patience](size_t offset, size_t length, httplib::DataSink& sink) {
            const TaskProgress now = task->WaitUntil(
                [offset](const TaskProgress& p) { return p.downloaded > offset; }, patience);
            if (now.closing || now.downloaded <= offset)
                return false; // the download failed, stalled or the library shuts down
            std::vector<char> buffer(
                std::min({length, kChunkSize, static_cast<size_t>(now.downloaded - offset)}));
            const ssize_t read =
                ::pread(file->fd, buffer.data(), buffer.size(), static_cast<off_t>(offset));
            if (read <= 0)
                return false;
            return sink.write(buffer.data(), static_cast<size_t>(read));
        });
}

} // namespace kestrivane
