#pragma once

#include "Store.h"
#include "Task.h"

#include <curl/curl.h>

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace kestrivane {

// The download worker: one thread that runs every transfer at once (libcurl's multi interface),
// writes into the store, resumes unfinished files with a Range request, checks copies whose
// length the origin never told, and announces each task that completes.
class Downloader {
public:
    using CompletionHandler = std::function<void(const Task& task)>;

    Downloader(const Store& store, CompletionHandler onComplete);
    ~Downloader();
    Downloader(const Downloader&) = delete;
    Downloader& operator=(const Downloader&) = delete;

    // Queues the task; one already complete in the store is only announced, after a request
    // past its end when its length was never confirmed.
    void Start(std::shared_ptr<Task> task);
    // Ends every transfer (unfinished files stay for a later resume) and joins the thread.
    void Stop();

private:
    struct Transfer;

    void Run();
    void AddPending();
    void Begin(const std::shared_ptr<Task>& task);
    void FinishDone();
    void FinishCheck(Transfer& transfer, long status, bool ok);
    void Complete(Transfer& transfer);
    void Fail(Task& task);

    const Store& store_;
    CompletionHandler onComplete_;
    CURLM* multi_ = nullptr;
    std::mutex mutex_;
    std::vector<std::shared_ptr<Task>> pending_;
    bool stopping_ = false;
    std::map<CURL*, std::unique_ptr<Transfer>> transfers_; // worker thread only
    std::thread thread_;
};

} // namespace kestrivane
