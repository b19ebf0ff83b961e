#pragma once

#include "HeldRanges.h"

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace kestrivane {

enum class TaskState { Running, Complete, Failed };

// Why a task failed: the origin stayed out of reach (or refused it), or the store is full.
enum class TaskFailure { None, Download, DiskFull };

struct TaskProgress {
    HeldRanges held;               // what the store holds of the programme
    uint64_t downloaded = 0;       // held from the start without a gap
    uint64_t received = 0;         // bytes stored so far by this task: progress, for those who wait
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

// Bytes a player's answer reads, from `offset` on; the server moves it along as it sends. The
// download fetches what such answers need for as long as they hold it.
struct WantedBytes {
    explicit WantedBytes(uint64_t from) : offset(from) {}
    std::atomic<uint64_t> offset;
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
    void SetDownloaded(uint64_t downloaded); // the store holds the first `downloaded` bytes
    void SetHeld(HeldRanges held);
    void AddHeld(uint64_t first, uint64_t count);
    void SetRetrying(bool retrying);
    void Finish(TaskState state, bool lengthConfirmed = true);
    void Fail(TaskFailure failure);
    void Close(); // no answer should wait for it any more

    // Called after every change, on the thread that made it; set before the task is shared.
    void OnChange(std::function<void()> changed) { changed_ = std::move(changed); }

    // Server side: what answers want, held until they end.
    std::shared_ptr<WantedBytes> Want(uint64_t offset);
    // Download side: where the answers alive now read.
    std::vector<uint64_t> Wanted();
    // Called after every Want, on the server's thread; set before the task is shared.
    void OnWant(std::function<void()> wanted) { wanted_ = std::move(wanted); }

private:
    template <class Change> void Update(Change change);

    mutable std::mutex mutex_;
    std::function<void()> changed_;
    TaskProgress progress_;
    std::function<void()> wanted_;
    std::vector<std::weak_ptr<WantedBytes>> wants_;
};

} // namespace kestrivane
