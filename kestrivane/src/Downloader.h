#pragma once

#include "CopyWriter.h"
#include "SideFetchPlan.h"
#include "Store.h"
#include "Task.h"

#include <curl/curl.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace kestrivane {

// The attempts of one download so far.
struct DownloadAttempts {
    // The first failure since the last byte arrived.
    std::optional<std::chrono::steady_clock::time_point> failingSince;
    std::chrono::milliseconds pause{0}; // before the next attempt
    bool confirming = false;            // the check right after an end that may have been a hang-up
};

// The download worker: one thread that runs every transfer at once (libcurl's multi interface),
// writes into the store, resumes unfinished files with a Range request, tries a broken transfer
// again with growing pauses, checks copies whose length the origin never told, and announces
// each task that completes. While a programme downloads from its start, the bytes its players
// want further on come from side fetches (SideFetchPlan.h) into the same copy, which then has
// holes until the main download has passed them.
class Downloader {
public:
    using CompletionHandler = std::function<void(const Task& task)>;

    // `retryFor`: how long a download keeps trying again while no byte arrives.
    Downloader(const Store& store, CompletionHandler onComplete,
               std::chrono::milliseconds retryFor = std::chrono::minutes(1));
    ~Downloader();
    Downloader(const Downloader&) = delete;
    Downloader& operator=(const Downloader&) = delete;

    // Queues the task; one already complete in the store is only announced, after a request
    // past its end when its length was never confirmed.
    void Start(std::shared_ptr<Task> task);
    // A player wants bytes of a task (Task::Want): side fetches are looked at soon. Any thread.
    void Wake();
    // Ends every transfer (unfinished files stay for a later resume) and joins the thread.
    void Stop();

private:
    using Clock = std::chrono::steady_clock;
    using Attempts = DownloadAttempts;
    struct Transfer;
    struct Copy;
    struct Retry {
        std::shared_ptr<Task> task;
        Attempts attempts;
        Clock::time_point due;
    };

    void Run();
    void AddPending();
    void StartDueRetries();
    int MillisecondsToNextRetry() const;
    void Begin(const std::shared_ptr<Task>& task, Attempts attempts = {});
    CURL* NewHandle(Transfer& transfer, long connectTimeoutMs);
    void FinishDone();
    void Finish(Transfer& transfer, CURLcode result);
    void FinishCheck(Transfer& transfer, long status, bool ok, bool transient);
    void FinishSide(Transfer& side, CURLcode result);
    void Complete(Transfer& transfer);
    // Checks and marks a copy whose every byte up to `size` arrived, announces it and ends its
    // transfers.
    void CompleteHeld(Copy& copy, uint64_t size, bool confirmed);
    // Tries again after a pause, or fails the task once it has tried for `retryFor_`.
    void RetryOrFail(Transfer& transfer);
    void Fail(Task& task, TaskFailure failure = TaskFailure::Download);
    void PlanSideFetches();
    void BeginSide(const std::shared_ptr<Copy>& copy, SideFetchStart start);
    // Ends the transfers of a copy (all, or only its side fetches) and, for all, the copy.
    void EndTransfers(const Copy& copy, bool sidesOnly);

    const Store& store_;
    CompletionHandler onComplete_;
    std::chrono::milliseconds retryFor_;
    CURLM* multi_ = nullptr;
    std::mutex mutex_;
    std::vector<std::shared_ptr<Task>> pending_;
    bool stopping_ = false;
    std::atomic<bool> wanted_ = false; // a player asked for bytes since the last plan
    Clock::time_point planned_{};
    std::map<CURL*, std::unique_ptr<Transfer>> transfers_; // worker thread only
    std::map<int32_t, std::shared_ptr<Copy>> copies_;      // worker thread only, by task
    std::vector<Retry> retries_;                           // worker thread only
    std::thread thread_;
};

} // namespace kestrivane
