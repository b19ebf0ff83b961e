#include "Downloader.h"

#include "AddressScope.h"
#include "ResponseHead.h"

#include <algorithm>
#include <cerrno>

namespace kestrivane {

namespace {

constexpr long kConnectTimeoutMs = 15000;
// A player waits for the check of a stored copy, or for a side fetch; an origin that does not
// answer soon is gone.
constexpr long kCheckConnectTimeoutMs = 5000;
// A transfer slower than 1 byte/s for this long is given up (and tried again).
constexpr long kStallSeconds = 30;
// Pauses between attempts: the first, doubled each time up to the last.
constexpr std::chrono::milliseconds kFirstPause{500};
constexpr std::chrono::milliseconds kLongestPause{8000};
// Side fetches are looked at this often, and at once when a player asks for bytes.
constexpr std::chrono::milliseconds kPlanEvery{100};

bool StoreIsFull(int error) {
    return error == ENOSPC || error == EFBIG || error == EDQUOT;
}

TaskFailure FailureFor(int error) {
    return StoreIsFull(error) ? TaskFailure::DiskFull : TaskFailure::Download;
}

// Whether trying again may help: a connection that failed or broke, a server in trouble. A
// refusal (404, say), a malformed address, or an answer the download stopped reading on purpose
// stays what it is.
TransferEnd EndOf(CURLcode result, long status) {
    if (status >= 500 || status == 408 || status == 429)
        return TransferEnd::Broken;
    switch (result) {
    case CURLE_OK:
        return TransferEnd::Whole;
    case CURLE_UNSUPPORTED_PROTOCOL:
    case CURLE_URL_MALFORMAT:
    case CURLE_TOO_MANY_REDIRECTS:
    case CURLE_OUT_OF_MEMORY:
    case CURLE_WRITE_ERROR:
    case CURLE_ABORTED_BY_CALLBACK:
        return TransferEnd::Failed;
    default:
        return TransferEnd::Broken;
    }
}

StopReason StopForWriteError(int error) {
    return StoreIsFull(error) ? StopReason::StoreFull : StopReason::WriteFailed;
}

} // namespace

struct Downloader::Copy {
    Copy(const Store& store, std::shared_ptr<Task> task) : writer(store, std::move(task)) {}

    CopyWriter writer;
    CURL* main = nullptr; // its main transfer, while one runs
    // The origin ignored a range or sent another version of the programme: players wait for
    // the main download, as they did before side fetches.
    bool sidesRefused = false;
    // After a side fetch that broke, the next waits a little (growing like the main's pauses).
    std::chrono::milliseconds sidePause{0};
    Clock::time_point sidesPausedUntil{};
    // Where the programme's server was first reached: no connection may go nearer (AddressScope).
    std::optional<AddressScope> originScope;
};

// One connection to the origin: a programme's main download (from where its copy's prefix
// ends, to the end) or a side fetch (from a player's missing byte, as far as players need).
struct Downloader::Transfer {
    std::shared_ptr<Copy> copy;
    std::shared_ptr<Task> task;
    const Store* store = nullptr;
    const DownloadLimits* limits = nullptr;
    CURL* curl = nullptr;
    std::optional<ScopeGuard> guard;
    bool side = false;
    AskedPart asked;      // `from`: where the body goes in the copy
    uint64_t written = 0; // bytes of this response's body written so far
    uint64_t stopAt = 0;  // a side fetch has read far enough here
    ResponseHead head;    // of the final response, once read
    // The main download's answer as judged from its head, once its body starts (or it ends).
    std::optional<HeadJudgement> judged;
    bool sideJudged = false;
    bool sideRefused = false; // a side fetch's answer is not the part of the copy's version asked
    StopReason stop = StopReason::None;
    std::string range;
    Attempts attempts;

    ~Transfer() {
        if (curl)
            curl_easy_cleanup(curl);
    }

    uint64_t position() const { return asked.from + written; }

    bool Taken() const {
        return judged &&
               (judged->verdict == HeadVerdict::Append || judged->verdict == HeadVerdict::Replace);
    }

    // The main download's answer, judged once, when its body starts (or it ends first).
    void BeginBody() {
        if (judged)
            return;
        head = ReadResponseHead(curl);
        CopyWriter& writer = copy->writer;
        asked.held = writer.version;
        judged = JudgeHead(head, asked, limits->largestProgramme);
        if (judged->verdict == HeadVerdict::Replace) {
            // The whole programme (the origin ignored a range, or none was asked for).
            copy->sidesRefused = copy->sidesRefused || asked.rangeAsked;
            asked.from = 0;
            if (const int error = writer.Clear())
                stop = StopForWriteError(error);
        }
        if (!Taken())
            return;
        writer.version = judged->version;
        task->SetTotal(judged->total);
        if (asked.checking)
            store->ForgetComplete(task->dataFile);
    }

    // A side fetch's answer: the part asked for, of the version the copy holds.
    void BeginSideBody() {
        if (sideJudged)
            return;
        sideJudged = true;
        head = ReadResponseHead(curl);
        const auto told = head.Version();
        const bool sameProgramme =
            told && copy->writer.version && copy->writer.version->Matches(*told);
        if (head.status == 206 && sameProgramme && head.range->first == asked.from)
            return;
        sideRefused = true;
        if (head.status == 200 || (head.status == 206 && !sameProgramme))
            copy->sidesRefused = true;
    }

    // Whether the body's end was announced (a length, a final chunk, HTTP/2 framing) rather
    // than only seen as the connection closing, which a hang-up also looks like.
    bool EndWasAnnounced() const {
        long version = 0;
        curl_easy_getinfo(curl, CURLINFO_HTTP_VERSION, &version);
        return task->Progress().total.has_value() || head.chunked ||
               version >= CURL_HTTP_VERSION_2_0;
    }

    bool Keep(const char* data, std::size_t count) {
        if (const int error = copy->writer.Write(position(), data, count)) {
            stop = StopForWriteError(error);
            return false;
        }
        written += count;
        return true;
    }

    size_t StoreMain(const char* data, size_t bytes) {
        BeginBody();
        if (!Taken() || stop != StopReason::None)
            return 0;
        const TaskProgress progress = task->Progress();
        // Never more than the answer told, nor, when it told nothing, than a programme may be.
        const uint64_t limit = progress.total.value_or(limits->largestUnsized);
        if (position() + bytes > limit) {
            stop = StopReason::TooLong;
            return 0;
        }
        if (!Keep(data, bytes))
            return 0;
        if (!progress.total || position() >= *progress.total)
            return bytes;
        if (progress.held.Covers(*progress.total)) {
            stop = StopReason::Enough; // side fetches brought the rest
            return 0;
        }
        // Bytes held ahead are not fetched again, unless fewer than a new connection costs.
        if (progress.downloaded >= position() + kNearAhead) {
            stop = StopReason::PassOver;
            return 0;
        }
        return bytes;
    }

    size_t StoreSide(const char* data, size_t bytes) {
        BeginSideBody();
        if (sideRefused || copy->sidesRefused)
            return 0;
        const TaskProgress progress = task->Progress();
        if (progress.state != TaskState::Running || !progress.total)
            return 0;
        // It stops where another transfer has stored bytes already, and when it has read far
        // enough ahead of its players.
        uint64_t limit = std::min(*progress.total, stopAt);
        if (progress.held.LengthFrom(position()) > 0)
            limit = position();
        else if (const auto next = progress.held.NextStart(position()))
            limit = std::min(limit, *next);
        const size_t take = static_cast<size_t>(
            std::min<uint64_t>(bytes, limit > position() ? limit - position() : 0));
        if (take > 0 && !Keep(data, take))
            return 0;
        if (take == bytes)
            return bytes;
        stop = StopReason::Enough;
        return 0;
    }

    static size_t OnBody(char* data, size_t size, size_t count, void* self) {
        auto& transfer = *static_cast<Transfer*>(self);
        return transfer.side ? transfer.StoreSide(data, size * count)
                             : transfer.StoreMain(data, size * count);
    }
};

Downloader::Downloader(const Store& store, CompletionHandler onComplete, DownloadLimits limits)
    : store_(store), onComplete_(std::move(onComplete)), limits_(limits),
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

void Downloader::Wake() {
    wanted_ = true;
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
        PlanSideFetches();
        curl_multi_poll(multi_, nullptr, 0, MillisecondsToNextRetry(), nullptr);
    }
    // What copies with holes hold is recorded, so that a later run goes on from there.
    for (auto& [number, copy] : copies_)
        copy->writer.RecordIfDue(true);
    std::vector<std::shared_ptr<Task>> interrupted;
    for (auto& [curl, transfer] : transfers_) {
        curl_multi_remove_handle(multi_, curl);
        if (!transfer->side)
            interrupted.push_back(transfer->task);
    }
    transfers_.clear();
    for (const auto& retry : retries_)
        interrupted.push_back(retry.task);
    retries_.clear();
    for (const auto& task : interrupted)
        Fail(*task);
    copies_.clear();
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

CURL* Downloader::NewHandle(Transfer& transfer, long connectTimeoutMs) {
    CURL* curl = transfer.curl = curl_easy_init();
    if (!curl)
        return nullptr;
    curl_easy_setopt(curl, CURLOPT_URL, transfer.task->sourceUrl.c_str());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    // One long transfer per programme: nothing to gain from idle connections kept open.
    curl_easy_setopt(curl, CURLOPT_FORBID_REUSE, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, connectTimeoutMs);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, kStallSeconds);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &Transfer::OnBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
    transfer.guard.emplace(curl, transfer.copy->originScope);
    if (!transfer.range.empty())
        curl_easy_setopt(curl, CURLOPT_RANGE, transfer.range.c_str());
    return curl;
}

void Downloader::Begin(const std::shared_ptr<Task>& task, Attempts attempts) {
    const auto stored = store_.Complete(task->dataFile);
    if (stored && stored->confirmed) {
        task->SetDownloaded(stored->size);
        task->Finish(TaskState::Complete);
        onComplete_(*task);
        return;
    }
    std::shared_ptr<Copy>& kept = copies_[task->number];
    if (!kept) {
        auto opened = std::make_shared<Copy>(store_, task);
        if (const int error = opened->writer.Open(stored.has_value())) {
            copies_.erase(task->number);
            return Fail(*task, FailureFor(error));
        }
        kept = std::move(opened);
    }
    const std::shared_ptr<Copy> copy = kept;
    auto transfer = std::make_unique<Transfer>();
    transfer->copy = copy;
    transfer->task = task;
    transfer->store = &store_;
    transfer->limits = &limits_;
    transfer->attempts = attempts;
    transfer->asked.from = task->Progress().downloaded;
    if (stored)
        transfer->asked.checking = stored->size;
    // A copy with holes asks for a range even from its start: a whole answer would mean the
    // origin ignores ranges, and then the pieces held go.
    transfer->asked.rangeAsked = transfer->asked.from > 0 || copy->writer.holes();
    if (transfer->asked.rangeAsked)
        transfer->range = std::to_string(transfer->asked.from) + "-";
    CURL* curl = NewHandle(*transfer, stored ? kCheckConnectTimeoutMs : kConnectTimeoutMs);
    if (!curl)
        return Fail(*task);
    copy->main = curl;
    curl_multi_add_handle(multi_, curl);
    transfers_.emplace(curl, std::move(transfer));
}

void Downloader::BeginSide(const std::shared_ptr<Copy>& copy, SideFetchStart start) {
    auto transfer = std::make_unique<Transfer>();
    transfer->copy = copy;
    transfer->task = copy->writer.task();
    transfer->store = &store_;
    transfer->limits = &limits_;
    transfer->side = true;
    transfer->asked.from = start.from;
    transfer->stopAt = start.stopAt;
    // Open-ended: it goes on for as long as its players read on (and stops itself).
    transfer->range = std::to_string(start.from) + "-";
    CURL* curl = NewHandle(*transfer, kCheckConnectTimeoutMs);
    if (!curl)
        return;
    curl_multi_add_handle(multi_, curl);
    transfers_.emplace(curl, std::move(transfer));
}

void Downloader::FinishDone() {
    int left = 0;
    while (CURLMsg* message = curl_multi_info_read(multi_, &left)) {
        if (message->msg != CURLMSG_DONE)
            continue;
        const CURLcode result = message->data.result;
        const auto found = transfers_.find(message->easy_handle);
        if (found == transfers_.end())
            continue;
        // Out of the map first: finishing one transfer may end others of the same programme.
        const std::unique_ptr<Transfer> transfer = std::move(found->second);
        transfers_.erase(found);
        curl_multi_remove_handle(multi_, transfer->curl);
        if (transfer->copy->main == transfer->curl)
            transfer->copy->main = nullptr;
        if (transfer->side)
            FinishSide(*transfer, result);
        else
            Finish(*transfer, result);
    }
}

void Downloader::Finish(Transfer& transfer, CURLcode result) {
    if (result == CURLE_OK)
        transfer.BeginBody(); // an answer without a body is judged too
    if (!transfer.judged)
        transfer.head = ReadResponseHead(transfer.curl);
    if (transfer.guard && transfer.guard->Refused())
        transfer.stop = StopReason::ForbiddenAddress;
    TransferFacts facts;
    facts.head = transfer.judged;
    facts.status = transfer.head.status;
    facts.rangeTotal = transfer.head.RangeTotal();
    facts.end = EndOf(result, facts.status);
    facts.stop = transfer.stop;
    facts.asked = transfer.asked;
    facts.endAnnounced = transfer.EndWasAnnounced();
    facts.confirming = transfer.attempts.confirming;
    facts.heldPrefix = transfer.task->Progress().downloaded;
    Act(transfer, DecideOutcome(facts));
}

void Downloader::Act(Transfer& transfer, Outcome outcome) {
    Task& task = *transfer.task;
    Copy& copy = *transfer.copy;
    const std::optional<uint64_t> total = task.Progress().total;
    switch (outcome) {
    case Outcome::DiskFull:
        // What arrived stays, without a marker, to be resumed once there is room.
        return Fail(task, TaskFailure::DiskFull);
    case Outcome::StartOver:
        return StartOver(transfer);
    case Outcome::Complete:
        if (transfer.head.status == 416) // a resumed copy that was whole already
            task.SetTotal(transfer.head.RangeTotal());
        return CompleteHeld(copy, task.Progress().total.value_or(transfer.position()), true);
    case Outcome::CompleteUnconfirmed:
        return CompleteHeld(copy, total.value_or(transfer.position()), false);
    case Outcome::CheckEnd: {
        // A hang-up ends the same way: ask the origin past this end before telling anyone.
        if (!copy.writer.Seal(total.value_or(transfer.position()), false))
            return Fail(task);
        Attempts attempts = transfer.attempts;
        attempts.confirming = true;
        return Begin(transfer.task, attempts);
    }
    case Outcome::GoOn:
        return Begin(transfer.task);
    case Outcome::KeepStored:
        return KeepStored(transfer, true);
    case Outcome::KeepUnconfirmed:
        // A copy from before whose origin does not answer: it stays, to be checked next time.
        return KeepStored(transfer, false);
    case Outcome::Retry:
        return RetryOrFail(transfer);
    case Outcome::Fail:
        return Fail(task);
    case Outcome::Discard:
        store_.ForgetComplete(task.dataFile);
        copy.writer.Clear();
        return Fail(task);
    }
}

void Downloader::KeepStored(Transfer& transfer, bool confirmed) {
    Task& task = *transfer.task;
    const uint64_t stored = transfer.asked.checking.value_or(0);
    if (confirmed)
        store_.MarkComplete(task.dataFile, {stored, true});
    task.SetDownloaded(stored);
    task.Finish(TaskState::Complete, confirmed);
    EndTransfers(*transfer.copy, false);
    onComplete_(task);
}

void Downloader::StartOver(Transfer& transfer) {
    EndTransfers(*transfer.copy, true);
    store_.ForgetComplete(transfer.task->dataFile);
    if (const int error = transfer.copy->writer.Clear())
        return Fail(*transfer.task, FailureFor(error));
    RetryOrFail(transfer);
}

void Downloader::FinishSide(Transfer& side, CURLcode result) {
    Copy& copy = *side.copy;
    if (side.stop == StopReason::StoreFull)
        return Fail(*side.task, TaskFailure::DiskFull);
    if (result == CURLE_OK)
        side.BeginSideBody(); // an answer without a body is judged too
    if (side.written > 0)
        copy.sidePause = std::chrono::milliseconds(0);
    // One that broke or brought nothing is not started again at once.
    const bool ended = side.stop == StopReason::Enough ||
                       (result == CURLE_OK && !side.sideRefused && side.written > 0);
    if (!ended && !copy.sidesRefused) {
        copy.sidePause = std::clamp(copy.sidePause * 2, kFirstPause, kLongestPause);
        copy.sidesPausedUntil = Clock::now() + copy.sidePause;
    }
    copy.writer.RecordIfDue(true);
    const TaskProgress progress = side.task->Progress();
    if (progress.state == TaskState::Running && progress.total &&
        progress.held.Covers(*progress.total))
        CompleteHeld(copy, *progress.total, true);
}

void Downloader::RetryOrFail(Transfer& transfer) {
    const auto now = Clock::now();
    Attempts attempts = transfer.attempts;
    // Only a copy that holds more than ever before counts as progress: an origin that sends the
    // same part again and again, or another version each time, gets no more time for it.
    const uint64_t held = transfer.task->Progress().held.Count();
    if (held > attempts.heldMost || !attempts.failingSince) {
        attempts.failingSince = now;
        attempts.heldMost = std::max(attempts.heldMost, held);
        attempts.pause = kFirstPause;
    } else {
        attempts.pause = std::min(attempts.pause * 2, kLongestPause);
    }
    if (now - *attempts.failingSince >= limits_.retryFor)
        return Fail(*transfer.task);
    transfer.task->SetRetrying(true);
    retries_.push_back({transfer.task, attempts, now + attempts.pause});
}

void Downloader::CompleteHeld(Copy& copy, uint64_t size, bool confirmed) {
    const std::shared_ptr<Task> task = copy.writer.task();
    if (!copy.writer.Seal(size, confirmed))
        return Fail(*task); // the copy was not whole: it is gone, to be fetched again
    task->Finish(TaskState::Complete, confirmed);
    EndTransfers(copy, false);
    onComplete_(*task);
}

void Downloader::Fail(Task& task, TaskFailure failure) {
    if (const auto found = copies_.find(task.number); found != copies_.end()) {
        found->second->writer.RecordIfDue(true);
        EndTransfers(*found->second, false);
    }
    store_.RemoveIfEmpty(task.dataFile);
    task.Fail(failure);
}

void Downloader::PlanSideFetches() {
    const auto now = Clock::now();
    if (!wanted_.exchange(false) && now - planned_ < kPlanEvery)
        return;
    planned_ = now;
    for (auto next = copies_.begin(); next != copies_.end();) {
        const std::shared_ptr<Copy> copy = (next++)->second; // it may leave the map below
        copy->writer.RecordIfDue();
        const std::shared_ptr<Task>& task = copy->writer.task();
        const TaskProgress progress = task->Progress();
        if (progress.state != TaskState::Running || !progress.total || !copy->writer.version)
            continue;
        std::vector<Transfer*> sides;
        for (auto& [curl, transfer] : transfers_)
            if (transfer->copy == copy && transfer->side)
                sides.push_back(transfer.get());
        const std::vector<uint64_t> wanted = task->Wanted();
        if (sides.empty() && wanted.empty())
            continue;
        if (copy->sidesRefused) {
            EndTransfers(*copy, true);
            continue;
        }
        std::vector<SideFetchState> running;
        for (const Transfer* side : sides)
            running.push_back({side->asked.from, side->position()});
        const auto main = transfers_.find(copy->main);
        const uint64_t mainPosition =
            main != transfers_.end() ? main->second->position() : progress.downloaded;
        const SideFetchPlan plan =
            kestrivane::PlanSideFetches(progress.held, *progress.total, mainPosition, wanted,
                                        running, now >= copy->sidesPausedUntil);
        bool ended = false;
        for (std::size_t i = 0; i < sides.size(); ++i) {
            if (plan.keep[i]) {
                sides[i]->stopAt = plan.stopAt[i];
                continue;
            }
            curl_multi_remove_handle(multi_, sides[i]->curl);
            transfers_.erase(sides[i]->curl);
            ended = true;
        }
        if (ended)
            copy->writer.RecordIfDue(true);
        for (const SideFetchStart& start : plan.start)
            BeginSide(copy, start);
    }
}

void Downloader::EndTransfers(const Copy& copy, bool sidesOnly) {
    for (auto transfer = transfers_.begin(); transfer != transfers_.end();) {
        if (transfer->second->copy.get() != &copy || (sidesOnly && !transfer->second->side)) {
            ++transfer;
            continue;
        }
        curl_multi_remove_handle(multi_, transfer->first);
        transfer = transfers_.erase(transfer);
    }
    if (sidesOnly)
        return;
    const int32_t number = copy.writer.task()->number;
    std::erase_if(retries_, [&](const Retry& retry) { return retry.task->number == number; });
    copies_.erase(number); // last: `copy` may go with it
}

} // namespace kestrivane
