#include "Downloader.h"

#include <charconv>
#include <fcntl.h>
#include <string_view>
#include <unistd.h>

namespace kestrivane {

namespace {

constexpr long kConnectTimeoutMs = 15000;
// A transfer slower than 1 byte/s for this long is given up (it resumes on the next request).
constexpr long kStallSeconds = 30;

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

} // namespace

struct Downloader::Transfer {
    std::shared_ptr<Task> task;
    CURL* curl = nullptr;
    int fd = -1;
    uint64_t resumeFrom = 0;
    uint64_t written = 0; // bytes of this response's body written so far
    bool bodyStarted = false;
    bool refused = false; // the origin answered with a status we do not take
    std::optional<uint64_t> rangeTotal;
    std::string range;

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
        } else if (status == 200) {
            // The origin sends the whole programme (it ignored or was not asked for a range).
            resumeFrom = 0;
            task->SetDownloaded(0);
            if (::ftruncate(fd, 0) != 0)
                refused = true;
            task->SetTotal(length >= 0 ? std::optional<uint64_t>(length) : std::nullopt);
        } else {
            refused = true;
        }
    }

    static size_t OnHeader(char* data, size_t size, size_t count, void* self) {
        auto& transfer = *static_cast<Transfer*>(self);
        const std::string_view line(data, size * count);
        constexpr std::string_view kName = "content-range:";
        if (line.size() > kName.size()) {
            std::string lower(line.substr(0, kName.size()));
            for (char& c : lower)
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            if (lower == kName)
                transfer.rangeTotal = TotalFromContentRange(line.substr(kName.size()));
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
            if (n <= 0)
                return 0;
            done += static_cast<size_t>(n);
            transfer.written += static_cast<size_t>(n);
        }
        transfer.task->AddDownloaded(bytes);
        return bytes;
    }
};

Downloader::Downloader(const Store& store, CompletionHandler onComplete)
    : store_(store), onComplete_(std::move(onComplete)), multi_(curl_multi_init()) {
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
        int running = 0;
        curl_multi_perform(multi_, &running);
        FinishDone();
        curl_multi_poll(multi_, nullptr, 0, 1000, nullptr);
    }
    for (auto& [curl, transfer] : transfers_) {
        curl_multi_remove_handle(multi_, curl);
        transfer->task->Finish(TaskState::Failed);
    }
    transfers_.clear();
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
    for (auto& task : tasks) {
        if (const auto size = store_.CompleteSize(task->dataFile)) {
            task->SetDownloaded(*size);
            task->Finish(TaskState::Complete);
            onComplete_(*task);
            continue;
        }
        auto transfer = std::make_unique<Transfer>();
        transfer->task = task;
        transfer->fd = ::open(task->dataFile.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        transfer->curl = curl_easy_init();
        if (transfer->fd < 0 || !transfer->curl) {
            task->Finish(TaskState::Failed);
            continue;
        }
        const off_t existing = ::lseek(transfer->fd, 0, SEEK_END);
        transfer->resumeFrom = existing > 0 ? static_cast<uint64_t>(existing) : 0;
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
        curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, kConnectTimeoutMs);
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
}

void Downloader::FinishDone() {
    int left = 0;
    while (CURLMsg* message = curl_multi_info_read(multi_, &left)) {
        if (message->msg != CURLMSG_DONE)
            continue;
        const auto found = transfers_.find(message->easy_handle);
        if (found == transfers_.end())
            continue;
        Transfer& transfer = *found->second;
        const CURLcode result = message->data.result;
        curl_multi_remove_handle(multi_, transfer.curl);
        if (result == CURLE_OK)
            transfer.BeginBody();
        long status = 0;
        curl_easy_getinfo(transfer.curl, CURLINFO_RESPONSE_CODE, &status);
        // A resumed file that was already whole: the origin has nothing past its end.
        const bool alreadyWhole =
            status == 416 && transfer.resumeFrom > 0 && transfer.rangeTotal == transfer.resumeFrom;
        if (alreadyWhole || (result == CURLE_OK && !transfer.refused))
            Complete(transfer);
        else
            transfer.task->Finish(TaskState::Failed);
        transfers_.erase(found);
    }
}

void Downloader::Complete(Transfer& transfer) {
    Task& task = *transfer.task;
    const uint64_t size = transfer.resumeFrom + transfer.written;
    const auto expected = task.Progress().total;
    if (expected && *expected != size) {
        task.Finish(TaskState::Failed);
        return;
    }
    store_.MarkComplete(task.dataFile, size);
    task.SetDownloaded(size);
    task.Finish(TaskState::Complete);
    onComplete_(task);
}

} // namespace kestrivane
