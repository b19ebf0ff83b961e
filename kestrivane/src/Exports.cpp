// The C interface of the library: one Library per process between Initkestrivane and
// UnInitkestrivane.
#include "Library.h"
#include "Login.h"
#include "kestrivane.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

// How long a player's request waits while its download makes no progress.
constexpr std::chrono::milliseconds kDefaultPatience{30000};

std::mutex libraryMutex;
std::shared_ptr<kestrivane::Library> library;

std::shared_ptr<kestrivane::Library> CurrentLibrary() {
    std::lock_guard lock(libraryMutex);
    return library;
}

// A positive number from the environment (for tests), `fallback` when unset or bad.
long long Configured(const char* variable, long long fallback) {
    const char* configured = std::getenv(variable);
    if (configured && *configured) {
        char* end = nullptr;
        errno = 0;
        const long long value = std::strtoll(configured, &end, 10);
        if (*end == '\0' && errno == 0 && value > 0)
            return value;
    }
    return fallback;
}

std::chrono::milliseconds Milliseconds(const char* variable, std::chrono::milliseconds fallback) {
    return std::chrono::milliseconds(Configured(variable, fallback.count()));
}

bool IsHttpAddress(const char* address) {
    return strncasecmp(address, "http://", 7) == 0 || strncasecmp(address, "https://", 8) == 0;
}

} // namespace

extern "C" {

int32_t Initkestrivane(int32_t, KestrivaneCallback1, KestrivaneCallback2, KestrivaneCallback3,
                       KestrivaneCallback4 callback4) {
    try {
        std::lock_guard lock(libraryMutex);
        if (library) {
            library->SetCompletionCallback(callback4);
            return 1;
        }
        kestrivane::DownloadLimits limits;
        limits.retryFor = Milliseconds("KESTRIVANE_RETRY_MS", limits.retryFor);
        limits.largestUnsized = static_cast<uint64_t>(
            Configured("KESTRIVANE_UNSIZED_MAX", static_cast<long long>(limits.largestUnsized)));
        auto created = std::make_shared<kestrivane::Library>(
            kestrivane::Store::DefaultDirectory(),
            Milliseconds("KESTRIVANE_WAIT_MS", kDefaultPatience), limits, callback4);
        if (!created->Running())
            return 0;
        library = std::move(created);
        return 1;
    } catch (...) {
        return 0;
    }
}

int32_t ClientLoginIn(int32_t clientVersionCode, const char* webBaseUrl) {
    try {
        return webBaseUrl && kestrivane::LogIn(clientVersionCode, webBaseUrl) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

KestrivaneBool SetProgramInfo(const char* sourceUrl, int32_t, int32_t, int32_t, char* out) {
    constexpr std::size_t kOutSize = 1024;
    try {
        if (!sourceUrl || !out || !IsHttpAddress(sourceUrl))
            return 0;
        const auto current = CurrentLibrary();
        const auto playUrl = current ? current->Fetch(sourceUrl) : std::nullopt;
        if (!playUrl || playUrl->size() >= kOutSize)
            return 0;
        std::memcpy(out, playUrl->c_str(), playUrl->size() + 1);
        return 1;
    } catch (...) {
        return 0;
    }
}

KestrivaneBool GetProgInfo(int32_t task, int32_t* percent, int32_t* downloadedKiB,
                           int32_t* totalKiB) {
    try {
        const auto current = CurrentLibrary();
        const auto found = current ? current->FindTask(task) : nullptr;
        if (!found)
            return 0;
        const kestrivane::TaskProgress progress = found->Progress();
        const auto kib = [](uint64_t bytes) {
            return static_cast<int32_t>(std::min<uint64_t>(bytes / 1024, INT32_MAX));
        };
        if (percent)
            *percent = progress.Percent();
        if (downloadedKiB)
            *downloadedKiB = kib(progress.downloaded);
        if (totalKiB)
            *totalKiB = progress.total ? kib(*progress.total) : -1;
        return 1;
    } catch (...) {
        return 0;
    }
}

int32_t GetProgError(int32_t task) {
    try {
        const auto current = CurrentLibrary();
        const auto found = current ? current->FindTask(task) : nullptr;
        if (!found)
            return KESTRIVANE_ERROR_NONE;
        switch (found->Progress().failure) {
        case kestrivane::TaskFailure::None:
            return KESTRIVANE_ERROR_NONE;
        case kestrivane::TaskFailure::Download:
            return KESTRIVANE_ERROR_DOWNLOAD;
        case kestrivane::TaskFailure::DiskFull:
            return KESTRIVANE_ERROR_DISK_FULL;
        }
        return KESTRIVANE_ERROR_DOWNLOAD;
    } catch (...) {
        return KESTRIVANE_ERROR_NONE;
    }
}

int32_t UnInitkestrivane(void) {
    std::shared_ptr<kestrivane::Library> ending;
    {
        std::lock_guard lock(libraryMutex);
        ending.swap(library);
    }
    if (!ending)
        return 0;
    // Outside the lock: a completion callback may still ask for progress while threads end.
    ending->Shutdown();
    return 1;
}

} // extern "C"
