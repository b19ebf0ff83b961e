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

template <class Change> void Task::Update(Change change) {
    {
        std::lock_guard lock(mutex_);
        change(progress_);
    }
    if (changed_)
        changed_();
}

void Task::SetTotal(std::optional<uint64_t> total) {
    Update([&](TaskProgress& p) { p.total = total; });
}

void Task::SetDownloaded(uint64_t downloaded) {
    Update([&](TaskProgress& p) { p.downloaded = downloaded; });
}

void Task::AddDownloaded(uint64_t count) {
    Update([&](TaskProgress& p) {
        p.downloaded += count;
        p.retrying = false;
    });
}

void Task::SetRetrying(bool retrying) {
    Update([&](TaskProgress& p) { p.retrying = retrying; });
}

void Task::Finish(TaskState state, bool lengthConfirmed) {
    Update([&](TaskProgress& p) {
        p.state = state;
        p.retrying = false;
        p.unconfirmed = state == TaskState::Complete && !lengthConfirmed;
        if (state == TaskState::Complete)
            p.total = p.downloaded;
        if (state == TaskState::Failed && p.failure == TaskFailure::None)
            p.failure = TaskFailure::Download;
    });
}

void Task::Fail(TaskFailure failure) {
    Update([&](TaskProgress& p) {
        p.state = TaskState::Failed;
        p.retrying = false;
        p.unconfirmed = false;
        p.failure = failure;
    });
}

void Task::Close() {
    Update([](TaskProgress& p) { p.closing = true; });
}

} // namespace kestrivane
