#pragma once

#include "CopyWriter.h"
#include "SideFetchPlan.h"
#include "Store.h"
#include "Task.h"
#include "TransferOutcome.h"

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
    // The first failure since the copy last held more bytes than ever before.
    std::optional<std::chrono::steady_clock::time_point> failingSince;
    uint64_t heldMost = 0;              // the most bytes the copy has held
    std::chrono::milliseconds pause{0}; // before the next attempt
    bool confirming = false;            // the check right after an end that may have been a hang-up
};

// What nobody on the network may exceed.
struct DownloadLimits {
    // How long a download keeps trying again while its copy holds no more than it ever did.
    std::chrono::milliseconds retryFor = std::chrono::minutes(1);
    // The largest programme an origin may announce.
    uint64_t largestProgramme = uint64_t{2} << 30;
    // How much an answer that tells no size may bring before it counts as no programme.
    uint64_t largestUnsized = uint64_t{256} << 20;
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

    Downloader(const Store& store, CompletionHandler onComplete, DownloadLimits limits = {});
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
    // Decides what a finished main download means (DecideOutcome) and acts on it.
    void Finish(Transfer& transfer, CURLcode result);
    void Act(Transfer& transfer, Outcome outcome);
    void FinishSide(Transfer& side, CURLcode result);
    // Checks and marks a copy whose every byte up to `size` arrived, announces it and ends its
    // transfers.
    void CompleteHeld(Copy& copy, uint64_t size, bool confirmed);
    // The copy the origin has answered for, complete as it was.
    void KeepStored(Transfer& transfer, bool confirmed);
    // Throws the copy away and fetches the programme anew, after a pause as a retry.
    void StartOver(Transfer& transfer);
    // Tries again after a pause, or fails the task once it has tried for `retryFor` without the
    // copy holding more than it ever did.
    void RetryOrFail(Transfer& transfer);
    void Fail(Task& task, TaskFailure failure = TaskFailure::Download);
    void PlanSideFetches();
    void BeginSide(const std::shared_ptr<Copy>& copy, SideFetchStart start);
    // Ends the transfers of a copy (all, or only its side fetches) and, for all, the copy.
    void EndTransfers(const Copy& copy, bool sidesOnly);

    const Store& store_;
    CompletionHandler onComplete_;
    const DownloadLimits limits_;
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
