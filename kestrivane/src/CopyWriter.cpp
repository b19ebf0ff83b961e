#include "CopyWriter.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrivane {

namespace {

// A record at least this often while bytes arrive: what a crash may cost.
constexpr uint64_t kRecordEveryBytes = 1024 * 1024;
constexpr std::chrono::seconds kRecordEvery{2};

} // namespace

CopyWriter::CopyWriter(const Store& store, std::shared_ptr<Task> task)
    : store_(store), task_(std::move(task)) {}

CopyWriter::~CopyWriter() {
    if (fd_ >= 0)
        ::close(fd_);
}

int CopyWriter::Open(bool wholeFile) {
    fd_ = ::open(task_->dataFile.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ < 0)
        return errno;
    if (wholeFile) {
        const off_t size = ::lseek(fd_, 0, SEEK_END);
        task_->SetDownloaded(size > 0 ? static_cast<uint64_t>(size) : 0);
        return 0;
    }
    PartialCopy partial = store_.Unfinished(task_->dataFile);
    if (partial.unreadable)
        return Clear();
    holes_ = partial.version.has_value();
    version = std::move(partial.version);
    task_->SetHeld(std::move(partial.held));
    return 0;
}

int CopyWriter::MarkHoles(const HeldRanges& held) {
    if (!version)
        return EINVAL; // nothing to tell a later run which programme the pieces belong to
    if (::fdatasync(fd_) != 0)
        return errno;
    errno = EIO;
    if (!store_.RecordHeld(task_->dataFile, {*version, held}))
        return errno;
    holes_ = true;
    unrecorded_ = 0;
    recordedAt_ = Clock::now();
    return 0;
}

int CopyWriter::Write(uint64_t offset, const char* data, std::size_t size) {
    if (!holes_) {
        const TaskProgress progress = task_->Progress();
        if (offset > progress.downloaded)
            if (const int error = MarkHoles(progress.held))
                return error;
    }
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n =
            ::pwrite(fd_, data + done, size - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : EIO;
        done += static_cast<std::size_t>(n);
    }
    task_->AddHeld(offset, size);
    unrecorded_ += size;
    return 0;
}

int CopyWriter::Clear() {
    store_.ForgetHeld(task_->dataFile);
    holes_ = false;
    unrecorded_ = 0;
    version.reset();
    task_->SetHeld({});
    return ::ftruncate(fd_, 0) == 0 ? 0 : errno;
}

void CopyWriter::RecordIfDue(bool now) {
    if (!holes_ || unrecorded_ == 0 || !version)
        return;
    if (!now && unrecorded_ < kRecordEveryBytes && Clock::now() - recordedAt_ < kRecordEvery)
        return;
    const HeldRanges held = task_->Progress().held; // before the sync: all of it is written
    if (::fdatasync(fd_) != 0 || !store_.RecordHeld(task_->dataFile, {*version, held}))
        return; // the older record stands
    unrecorded_ = 0;
    recordedAt_ = Clock::now();
}

bool CopyWriter::Seal(uint64_t size, bool confirmed) {
    struct stat file {};
    const bool whole = task_->Progress().held.Covers(size) && ::fstat(fd_, &file) == 0 &&
                       static_cast<uint64_t>(file.st_size) == size &&
                       (!holes_ || ::fdatasync(fd_) == 0);
    if (!whole) {
        Clear();
        return false;
    }
    store_.MarkComplete(task_->dataFile, {size, confirmed});
    store_.ForgetHeld(task_->dataFile);
    holes_ = false;
    return true;
}

} // namespace kestrivane
