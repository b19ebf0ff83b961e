#include "Task.h"

#include <algorithm>

namespace kestrivane {

int32_t TaskProgress::Percent() const {
    if (state == TaskState::Complete)
        return 100;
    if (!total || *total == 0)
        return 0;
    return static_cast<int32_t>(std::min<uint64_t>(99, downloaded * 100 / *total));
}

Task::Task(int32_t number, std::string token, std::string sourceUrl, std::string extension,
           std::filesystem::path dataFile)
    : number(number), token(std::move(token)), sourceUrl(std::move(sourceUrl)),
      extension(std::move(extension)), dataFile(std::move(dataFile)) {}

TaskProgress Task::Progress() const {
    std::lock_guard lock(mutex_);
    return progress_;
}

void Task::SetTotal(std::optional<uint64_t> total) {
    std::lock_guard lock(mutex_);
    progress_.total = total;
    changed_.notify_all();
}

void Task::SetDownloaded(uint64_t downloaded) {
    std::lock_guard lock(mutex_);
    progress_.downloaded = downloaded;
    changed_.notify_all();
}

void Task::AddDownloaded(uint64_t count) {
    std::lock_guard lock(mutex_);
    progress_.downloaded += count;
    changed_.notify_all();
}

void Task::Finish(TaskState state, bool lengthConfirmed) {
    std::lock_guard lock(mutex_);
    progress_.state = state;
    progress_.unconfirmed = state == TaskState::Complete && !lengthConfirmed;
    if (state == TaskState::Complete)
        progress_.total = progress_.downloaded;
    changed_.notify_all();
}

void Task::Close() {
    std::lock_guard lock(mutex_);
    progress_.closing = true;
    changed_.notify_all();
}

} // namespace kestrivane
