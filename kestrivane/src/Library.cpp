#include "Library.h"

#include "StreamPath.h"

#include <cstdio>

namespace kestrivane {

namespace {

// Task numbers go on across restarts of the library in one process, so that a number the
// client kept from before never names another programme.
std::atomic<int32_t> nextTaskNumber{1};

} // namespace

Library::Library(std::filesystem::path storeDirectory, std::chrono::milliseconds patience,
                 std::chrono::milliseconds retryFor, KestrivaneCallback4 onComplete)
    : store_(std::move(storeDirectory)), onComplete_(onComplete), random_(std::random_device{}()),
      server_([this](int32_t number) { return FindTask(number); }, patience),
      downloader_(
          store_,
          [this](const Task& task) {
              if (const KestrivaneCallback4 callback = onComplete_.load())
                  callback(task.number, 100);
          },
          retryFor) {
    if (server_.Start())
        port_ = server_.port();
}

Library::~Library() {
    Shutdown();
}

std::string Library::NewToken() {
    char token[17];
    std::snprintf(token, sizeof token, "%016llx", static_cast<unsigned long long>(random_()));
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
            task = std::make_shared<Task>(nextTaskNumber++, NewToken(), sourceUrl, extension,
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
