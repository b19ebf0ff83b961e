#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <string>

namespace kestrivane {

enum class TaskState { Running, Complete, Failed };

// Why a task failed: the origin stayed out of reach (or refused it), or the store is full.
enum class TaskFailure { None, Download, DiskFull };

struct TaskProgress {
    uint64_t downloaded = 0;
    std::optional<uint64_t> total; // the origin's size, once it has told it
    TaskState state = TaskState::Running;
    bool closing = false; // the library shuts down: nobody should wait any more
    // Complete, but the origin never told the length (see StoredCopy::confirmed).
    bool unconfirmed = false;
    TaskFailure failure = TaskFailure::None;
    // Between attempts after a broken transfer: players wait, the download goes on.
    bool retrying = false;

    // 100 only for a complete task, so a failed one never claims it.
    int32_t Percent() const;
};

// One programme being fetched into the store and streamed from there. The download thread
// writes progress; the server reads the file and is told of every change.
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
    void SetRetrying(bool retrying);
    void Finish(TaskState state, bool lengthConfirmed = true);
    void Fail(TaskFailure failure);
    void Close(); // no answer should wait for it any more

    // Called after every change, on the thread that made it; set before the task is shared.
    void OnChange(std::function<void()> changed) { changed_ = std::move(changed); }

private:
    template <class Change> void Update(Change change);

    mutable std::mutex mutex_;
    std::function<void()> changed_;
    TaskProgress progress_;
};

} // namespace kestrivane
