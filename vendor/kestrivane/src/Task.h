#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>

namespace kestrivane {

enum class TaskState { Running, Complete, Failed };

struct TaskProgress {
    uint64_t downloaded = 0;
    std::optional<uint64_t> total; // the origin's size, once it has told it
    TaskState state = TaskState::Running;
    bool closing = false; // the library shuts down: nobody should wait any more
    // Complete, but the origin never told the length (see StoredCopy::confirmed).
    bool unconfirmed = false;

    // 100 only for a complete task, so a failed one never claims it.
    int32_t Percent() const;
};

// One programme being fetched into the store and streamed from there. The download thread
// writes progress, server threads read the file and wait for bytes.
class Task {
public:
    Task(int32_t number, std::string token, std::string sourceUrl, std::string extension,
         std::filesystem::path dataFile);

    const int32_t number;
    const std::string token;     // the random part of the play address
    const std::string sourceUrl; // the origin
    const std::string extension; // four characters, with the dot
    const std::filesystem::path dataFile;

    TaskProgress Progress() const;

    // Download side.
    void SetTotal(std::optional<uint64_t> total);
    void SetDownloaded(uint64_t downloaded);
    void AddDownloaded(uint64_t count);
    void Finish(TaskState state, bool lengthConfirmed = true);
    void Close(); // wakes every waiter for good

    // Server side: waits until `ready` holds for the progress, or nothing changed for `patience`.
    // Returns the last progress seen.
    template <class Ready>
    TaskProgress WaitUntil(Ready ready, std::chrono::milliseconds patience) const {
        std::unique_lock lock(mutex_);
        uint64_t seen = progress_.downloaded;
        while (!ready(progress_) && !progress_.closing && progress_.state == TaskState::Running) {
            if (changed_.wait_for(lock, patience) == std::cv_status::timeout &&
                progress_.downloaded == seen)
                break;
            seen = progress_.downloaded;
        }
        return progress_;
    }

private:
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    TaskProgress progress_;
};

} // namespace kestrivane
