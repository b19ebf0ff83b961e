#include "Downloader.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <fcntl.h>
#include <string_view>
#include <unistd.h>

namespace kestrivane {

namespace {

constexpr long kConnectTimeoutMs = 15000;
// A player waits for the check of a stored copy; an origin that does not answer soon is gone.
constexpr long kCheckConnectTimeoutMs = 5000;
// A transfer slower than 1 byte/s for this long is given up (and tried again).
constexpr long kStallSeconds = 30;
// Pauses between attempts: the first, doubled each time up to the last.
constexpr std::chrono::milliseconds kFirstPause{500};
constexpr std::chrono::milliseconds kLongestPause{8000};

bool StoreIsFull(int error) {
    return error == ENOSPC || error == EFBIG || error == EDQUOT;
}

// Whether trying again may help: a connection that failed or broke, a server in trouble. A
// refusal (404, say) or a malformed address stays what it is.
bool MayPassOff(CURLcode result, long status, bool refused) {
    if (status >= 500 || status == 408 || status == 429)
        return true;
    if (refused)
        return false;
    switch (result) {
    case CURLE_OK:
    case CURLE_UNSUPPORTED_PROTOCOL:
    case CURLE_URL_MALFORMAT:
    case CURLE_TOO_MANY_REDIRECTS:
    case CURLE_OUT_OF_MEMORY:
    case CURLE_WRITE_ERROR:
        return false;
    default:
        return true;
    }
}

// "bytes 100-199/1000" or "bytes */1000" → 1000.
std::optional<uint64_t> TotalFromContentRange(std::string_view value) {
    const std::size_t slash = value.rfind('/');
    if (slash == std::string_view::npos)
        return std::nullopt;
    std::string_view digits = value.substr(slash + 1);
    while (!digits.empty() &&
           (digits.back() == '\r' || digits.back() == '\n' || digits.back() == ' '))
        digits.remove_suffix(1);
    uint64_t total = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), total);
    if (error != std::errc() || end != digits.data() + digits.size())
        return std::nullopt;
    return total;
}

bool StartsWithLower(std::string_view line, std::string_view lowerPrefix) {
    if (line.size() < lowerPrefix.size())
        return false;
    for (std::size_t i = 0; i < lowerPrefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(line[i])) != lowerPrefix[i])
            return false;
    return true;
}

} // namespace

struct Downloader::Transfer {
    std::shared_ptr<Task> task;
    const Store* store = nullptr;
    CURL* curl = nullptr;
    int fd = -1;
    uint64_t resumeFrom = 0;
    uint64_t written = 0; // bytes of this response's body written so far
    bool bodyStarted = false;
    bool refused = false;             // the origin answered with a status we do not take
    bool storeFull = false;           // a write found no room in the store
    bool changesFile = false;         // a body is being written over or after the stored bytes
    std::optional<uint64_t> checking; // the size of an unconfirmed copy checked past its end
    bool sameAsChecked = false;       // the origin's length equals that copy's
    bool chunked = false;             // the body ends with a marker, not with the connection
    std::optional<uint64_t> rangeTotal;
    std::string range;
    Attempts attempts;

    ~Transfer() {
        if (curl)
            curl_easy_cleanup(curl);
        if (fd >= 0)
            ::close(fd);
    }

    // Decided once, when the body of the final response starts (or the transfer ends first).
    void BeginBody() {
        if (bodyStarted)
            return;
        bodyStarted = true;
        long status = 0;
        curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
        curl_off_t length = -1;
        curl_easy_getinfo(curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
        if (status == 206 && resumeFrom > 0) {
            task->SetTotal(rangeTotal    ? rangeTotal
                           : length >= 0 ? std::optional<uint64_t>(resumeFrom + length)
                                         : std::nullopt);
            changesFile = true;
        } else if (status == 200 && checking && length >= 0 &&
                   static_cast<uint64_t>(length) == *checking) {
            // The origin ignores ranges but tells the same length: keep the copy, stop here.
            sameAsChecked = true;
            refused = true;
        } else if (status == 200) {
            // The origin sends the whole programme (it ignored or was not asked for a range).
            resumeFrom = 0;
            task->SetDownloaded(0);
            if (::ftruncate(fd, 0) != 0) {
                refused = true;
                storeFull = StoreIsFull(errno);
            }
            task->SetTotal(length >= 0 ? std::optional<uint64_t>(length) : std::nullopt);
            changesFile = true;
        } else {
            refused = true;
        }
        if (changesFile && checking)
            store->ForgetComplete(task->dataFile);
    }

    // Whether the body's end was announced (a length, a final chunk, HTTP/2 framing) rather
    // than only seen as the connection closing, which a hang-up also looks like.
    bool EndWasAnnounced() const {
        long version = 0;
        curl_easy_getinfo(curl, CURLINFO_HTTP_VERSION, &version);
        return task->Progress().total.has_value() || chunked || version >= CURL_HTTP_VERSION_2_0;
    }

    static size_t OnHeader(char* data, size_t size, size_t count, void* self) {
        auto& transfer = *static_cast<Transfer*>(self);
        const std::string_view line(data, size * count);
        constexpr std::string_view kRange = "content-range:";
        constexpr std::string_view kEncoding = "transfer-encoding:";
        if (StartsWithLower(line, "http/")) { // a new response (after a redirect, say)
            transfer.rangeTotal.reset();
            transfer.chunked = false;
        } else if (StartsWithLower(line, kRange)) {
            transfer.rangeTotal = TotalFromContentRange(line.substr(kRange.size()));
        } else if (StartsWithLower(line, kEncoding)) {
            std::string value(line.substr(kEncoding.size()));
            for (char& c : value)
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            transfer.chunked = value.find("chunked") != std::string::npos;
        }
        return size * count;
    }

    static size_t OnBody(char* data, size_t size, size_t count, void* self) {
        auto& transfer = *static_cast<Transfer*>(self);
        transfer.BeginBody();
        if (transfer.refused)
            return 0;
        const size_t bytes = size * count;
        size_t done = 0;
        while (done < bytes) {
            const ssize_t n = ::pwrite(transfer.fd, data + done, bytes - done,
                                       static_cast<off_t>(transfer.resumeFrom + transfer.written));
            if (n <= 0) {
                transfer.storeFull = n < 0 && StoreIsFull(errno);
                return 0;
            }
            done += static_cast<size_t>(n);
            transfer.written += static_cast<size_t>(n);
        }
        transfer.task->AddDownloaded(bytes);
        return bytes;
    }
};

Downloader::Downloader(const Store& store, CompletionHandler onComplete,
                       std::chrono::milliseconds retryFor)
    : store_(store), onComplete_(std::move(onComplete)), retryFor_(retryFor),
      multi_(curl_multi_init()) {
    thread_ = std::thread([this] { Run(); });
}

Downloader::~Downloader() {
    Stop();
    curl_multi_cleanup(multi_);
}

void Downloader::Start(std::shared_ptr<Task> task) {
    std::lock_guard lock(mutex_);
    pending_.push_back(std::move(task));
    curl_multi_wakeup(multi_);
}

void Downloader::Stop() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        curl_multi_wakeup(multi_);
    }
    if (thread_.joinable())
        thread_.join();
}

void Downloader::Run() {
    while (true) {
        {
            std::lock_guard lock(mutex_);
            if (stopping_)
                break;
        }
        AddPending();
        StartDueRetries();
        int running = 0;
        curl_multi_perform(multi_, &running);
        FinishDone();
        curl_multi_poll(multi_, nullptr, 0, MillisecondsToNextRetry(), nullptr);
    }
    for (auto& [curl, transfer] : transfers_) {
        curl_multi_remove_handle(multi_, curl);
        Fail(*transfer->task);
    }
    transfers_.clear();
    for (auto& retry : retries_)
        Fail(*retry.task);
    retries_.clear();
    std::lock_guard lock(mutex_);
    for (auto& task : pending_)
        task->Finish(TaskState::Failed);
    pending_.clear();
}

void Downloader::AddPending() {
    std::vector<std::shared_ptr<Task>> tasks;
    {
        std::lock_guard lock(mutex_);
        tasks.swap(pending_);
    }
    for (auto& task : tasks)
        Begin(task);
}

void Downloader::StartDueRetries() {
    const auto now = Clock::now();
    std::vector<Retry> due;
    for (auto retry = retries_.begin(); retry != retries_.end();) {
        if (retry->due <= now) {
            due.push_back(std::move(*retry));
            retry = retries_.erase(retry);
        } else {
            ++retry;
        }
    }
    for (auto& retry : due)
        Begin(retry.task, retry.attempts);
}

int Downloader::MillisecondsToNextRetry() const {
    auto wait = std::chrono::milliseconds(1000);
    const auto now = Clock::now();
    for (const auto& retry : retries_)
        wait = std::min(wait, std::chrono::ceil<std::chrono::milliseconds>(retry.due - now));
    return static_cast<int>(std::max<int64_t>(0, wait.count()));
}

void Downloader::Begin(const std::shared_ptr<Task>& task, Attempts attempts) {
    const auto stored = store_.Complete(task->dataFile);
    if (stored && stored->confirmed) {
        task->SetDownloaded(stored->size);
        task->Finish(TaskState::Complete);
        onComplete_(*task);
        return;
    }
    auto transfer = std::make_unique<Transfer>();
    transfer->task = task;
    transfer->store = &store_;
    transfer->attempts = attempts;
    transfer->fd = ::open(task->dataFile.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    if (transfer->fd < 0)
        return Fail(*task, StoreIsFull(errno) ? TaskFailure::DiskFull : TaskFailure::Download);
    transfer->curl = curl_easy_init();
    if (!transfer->curl)
        return Fail(*task);
    const off_t existing = ::lseek(transfer->fd, 0, SEEK_END);
    transfer->resumeFrom = existing > 0 ? static_cast<uint64_t>(existing) : 0;
    if (stored)
        transfer->checking = stored->size;
    task->SetDownloaded(transfer->resumeFrom);

    CURL* curl = transfer->curl;
    curl_easy_setopt(curl, CURLOPT_URL, task->sourceUrl.c_str());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    // One long transfer per programme: nothing to gain from idle connections kept open.
    curl_easy_setopt(curl, CURLOPT_FORBID_REUSE, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS,
                     stored ? kCheckConnectTimeoutMs : kConnectTimeoutMs);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, kStallSeconds);
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, &Transfer::OnHeader);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, transfer.get());
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &Transfer::OnBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, transfer.get());
    if (transfer->resumeFrom > 0) {
        transfer->range = std::to_string(transfer->resumeFrom) + "-";
        curl_easy_setopt(curl, CURLOPT_RANGE, transfer->range.c_str());
    }
    curl_multi_add_handle(multi_, curl);
    transfers_.emplace(curl, std::move(transfer));
}

void Downloader::FinishDone() {
    int left = 0;
    while (CURLMsg* message = curl_multi_info_read(multi_, &left)) {
        if (message->msg != CURLMSG_DONE)
            continue;
        const auto found = transfers_.find(message->easy_handle);
        if (found == transfers_.end())
            continue;
        curl_multi_remove_handle(multi_, found->second->curl);
        Finish(*found->second, message->data.result);
        transfers_.erase(found);
    }
}

void Downloader::Finish(Transfer& transfer, CURLcode result) {
    if (result == CURLE_OK)
        transfer.BeginBody();
    long status = 0;
    curl_easy_getinfo(transfer.curl, CURLINFO_RESPONSE_CODE, &status);
    const bool ok = result == CURLE_OK && !transfer.refused;
    const bool transient = MayPassOff(result, status, transfer.refused);
    if (transfer.storeFull) {
        // What arrived stays, without a marker, to be resumed once there is room.
        Fail(*transfer.task, TaskFailure::DiskFull);
    } else if (transfer.checking) {
        FinishCheck(transfer, status, ok, transient);
    } else if (ok) {
        Complete(transfer);
    } else if (status == 416 && transfer.resumeFrom > 0 &&
               transfer.rangeTotal == transfer.resumeFrom) {
        // A resumed file that was already whole: the origin has nothing past its end.
        transfer.task->SetTotal(transfer.rangeTotal);
        Complete(transfer);
    } else if (transient) {
        RetryOrFail(transfer);
    } else {
        Fail(*transfer.task);
    }
}

void Downloader::FinishCheck(Transfer& transfer, long status, bool ok, bool transient) {
    Task& task = *transfer.task;
    const uint64_t stored = *transfer.checking;
    if (ok)
        return Complete(transfer); // the rest appended, or the programme fetched again
    if (transfer.sameAsChecked || (status == 416 && transfer.rangeTotal == stored)) {
        store_.MarkComplete(task.dataFile, {stored, true});
        task.SetDownloaded(stored);
        task.Finish(TaskState::Complete);
        onComplete_(task);
    } else if (status == 416 && transfer.rangeTotal) {
        // The origin's programme is shorter than the copy: fetch it again from the start.
        store_.ForgetComplete(task.dataFile);
        if (::ftruncate(transfer.fd, 0) != 0)
            return Fail(task);
        Begin(transfer.task);
    } else if (transfer.changesFile || transfer.attempts.confirming) {
        // Cut off while replacing the copy, or the copy itself may be a hang-up: no end yet.
        if (transient)
            RetryOrFail(transfer);
        else
            Fail(task);
    } else {
        // A copy from before whose origin does not answer: it stays, to be checked next time.
        task.SetDownloaded(stored);
        task.Finish(TaskState::Complete, false);
        onComplete_(task);
    }
}

void Downloader::RetryOrFail(Transfer& transfer) {
    const auto now = Clock::now();
    Attempts attempts = transfer.attempts;
    if (transfer.written > 0 || !attempts.failingSince) {
        attempts.failingSince = now;
        attempts.pause = kFirstPause;
    } else {
        attempts.pause = std::min(attempts.pause * 2, kLongestPause);
    }
    if (now - *attempts.failingSince >= retryFor_)
        return Fail(*transfer.task);
    transfer.task->SetRetrying(true);
    retries_.push_back({transfer.task, attempts, now + attempts.pause});
}

void Downloader::Complete(Transfer& transfer) {
    Task& task = *transfer.task;
    const uint64_t size = transfer.resumeFrom + transfer.written;
    const auto expected = task.Progress().total;
    if (expected && *expected != size)
        return Fail(task);
    const bool confirmed = transfer.EndWasAnnounced();
    store_.MarkComplete(task.dataFile, {size, confirmed});
    task.SetDownloaded(size);
    if (!confirmed && !transfer.checking) {
        // A hang-up ends the same way: ask the origin past this end before telling anyone.
        Attempts attempts = transfer.attempts;
        attempts.confirming = true;
        return Begin(transfer.task, attempts);
    }
    task.Finish(TaskState::Complete, confirmed);
    onComplete_(task);
}

void Downloader::Fail(Task& task, TaskFailure failure) {
    store_.RemoveIfEmpty(task.dataFile);
    task.Fail(failure);
}

} // namespace kestrivane
