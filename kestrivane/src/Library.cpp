#include "Library.h"

#include "StreamPath.h"

#include <array>
#include <cerrno>
#include <sys/random.h>

namespace kestrivane {

namespace {

// Task numbers go on across restarts of the library in one process, so that a number the
// client kept from before never names another programme.
std::atomic<int32_t> nextTaskNumber{1};

} // namespace

Library::Library(std::filesystem::path storeDirectory, std::chrono::milliseconds patience,
                 DownloadLimits limits, KestrivaneCallback4 onComplete)
    : store_(std::move(storeDirectory)), onComplete_(onComplete),
      server_([this](int32_t number) { return FindTask(number); }, patience),
      downloader_(
          store_,
          [this](const Task& task) {
              if (const KestrivaneCallback4 callback = onComplete_.load())
                  callback(task.number, 100);
          },
          limits) {
    if (server_.Start())
        port_ = server_.port();
}

Library::~Library() {
    Shutdown();
}

std::string Library::NewToken() {
    std::array<unsigned char, 16> random{};
    std::size_t got = 0;
    while (got < random.size()) {
        const ssize_t n = ::getrandom(random.data() + got, random.size() - got, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return {};
        got += static_cast<std::size_t>(n);
    }
    static constexpr char kHex[] = "0123456789abcdef";
    std::string token;
    for (const unsigned char byte : random) {
        token += kHex[byte >> 4];
        token += kHex[byte & 0x0F];
    }
    return token;
}

std::optional<std::string> Library::Fetch(const std::string& sourceUrl) {
    std::shared_ptr<Task> task;
    {
        std::lock_guard lock(mutex_);
        if (shutDown_ || port_ <= 0)
            return std::nullopt;
        const auto known = latestByUrl_.find(sourceUrl);
        const auto progress =
            known != latestByUrl_.end() ? known->second->Progress() : TaskProgress{};
        if (known != latestByUrl_.end() && progress.state != TaskState::Failed &&
            !progress.unconfirmed) {
            task = known->second;
        } else {
            // A failed download starts again as a new task and resumes where the store ends; an
            // unconfirmed one is checked against the origin again.
            const std::string extension = PlayExtension(sourceUrl);
            std::string token = NewToken();
            if (token.empty())
                return std::nullopt;
            task = std::make_shared<Task>(nextTaskNumber++, std::move(token), sourceUrl, extension,
                                          store_.DataFile(sourceUrl, extension));
            task->OnChange([this] { server_.Poke(); });
            task->OnWant([this] { downloader_.Wake(); });
            tasks_[task->number] = task;
            latestByUrl_[sourceUrl] = task;
            downloader_.Start(task);
        }
    }
    return "http://127.0.0.1:" + std::to_string(port_) +
           MakeStreamPath({task->token, task->number, task->extension});
}

std::shared_ptr<Task> Library::FindTask(int32_t number) const {
    std::lock_guard lock(mutex_);
    const auto found = tasks_.find(number);
    return found == tasks_.end() ? nullptr : found->second;
}

void Library::Shutdown() {
    {
        std::lock_guard lock(mutex_);
        if (shutDown_)
            return;
        shutDown_ = true;
        for (auto& [number, task] : tasks_)
            task->Close();
    }
    server_.Stop();
    downloader_.Stop();
}

} // namespace kestrivane
