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
        progress_.downloaded = progress_.held.PrefixEnd();
    }
    if (changed_)
        changed_();
}

void Task::SetTotal(std::optional<uint64_t> total) {
    Update([&](TaskProgress& p) { p.total = total; });
}

void Task::SetDownloaded(uint64_t downloaded) {
    SetHeld(HeldRanges::Prefix(downloaded));
}

void Task::SetHeld(HeldRanges held) {
    Update([&](TaskProgress& p) { p.held = std::move(held); });
}

void Task::AddHeld(uint64_t first, uint64_t count) {
    Update([&](TaskProgress& p) {
        p.held.Add(first, first + count);
        p.received += count;
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

std::shared_ptr<WantedBytes> Task::Want(uint64_t offset) {
    auto wanted = std::make_shared<WantedBytes>(offset);
    {
        std::lock_guard lock(mutex_);
        std::erase_if(wants_, [](const auto& want) { return want.expired(); });
        wants_.push_back(wanted);
    }
    if (wanted_)
        wanted_();
    return wanted;
}

std::vector<uint64_t> Task::Wanted() {
    std::vector<uint64_t> offsets;
    std::lock_guard lock(mutex_);
    std::erase_if(wants_, [&](const auto& want) {
        const auto alive = want.lock();
        if (alive)
            offsets.push_back(alive->offset.load());
        return !alive;
    });
    return offsets;
}

void Task::Close() {
    Update([](TaskProgress& p) { p.closing = true; });
}

} // namespace kestrivane
