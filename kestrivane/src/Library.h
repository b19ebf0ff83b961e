#pragma once

#include "Downloader.h"
#include "Store.h"
#include "StreamServer.h"
#include "Task.h"
#include "kestrivane.h"

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace kestrivane {

// Everything between Initkestrivane and UnInitkestrivane: the store, the tasks, the download
// worker and the local server.
class Library {
public:
    // `patience`: how long a player's request waits while its download makes no progress (and
    // tries no more).
    Library(std::filesystem::path storeDirectory, std::chrono::milliseconds patience,
            DownloadLimits limits, KestrivaneCallback4 onComplete);
    ~Library();

    bool Running() const { return port_ > 0; }
    void SetCompletionCallback(KestrivaneCallback4 onComplete) { onComplete_ = onComplete; }

    // The play address for `sourceUrl`, starting its download unless one runs or is done.
    std::optional<std::string> Fetch(const std::string& sourceUrl);
    std::shared_ptr<Task> FindTask(int32_t number) const;
    // Closes every task, stops the server, then the downloads; joins all threads.
    void Shutdown();

private:
    // 128 bits from the system's random source: the only thing that keeps another program on
    // this computer from reading a programme through the local server. Empty when none came.
    static std::string NewToken();

    Store store_;
    std::atomic<KestrivaneCallback4> onComplete_;
    mutable std::mutex mutex_;
    std::map<int32_t, std::shared_ptr<Task>> tasks_;
    std::map<std::string, std::shared_ptr<Task>> latestByUrl_;
    bool shutDown_ = false;
    StreamServer server_;
    Downloader downloader_;
    int port_ = 0;
};

} // namespace kestrivane
