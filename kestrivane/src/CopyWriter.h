#pragma once

#include "HeldRecord.h"
#include "Store.h"
#include "Task.h"

#include <chrono>
#include <memory>
#include <optional>

namespace kestrivane {

// One programme's copy in the store while it downloads: the file that its main download and
// its side fetches all write into (on the download thread only), and, once the copy has holes,
// its held record. The record names only bytes already on the disk, so a crash can cost bytes
// but never claim ones that are not there; a copy without holes is a prefix of the programme,
// as older stores kept them.
class CopyWriter {
public:
    CopyWriter(const Store& store, std::shared_ptr<Task> task);
    ~CopyWriter();
    CopyWriter(const CopyWriter&) = delete;
    CopyWriter& operator=(const CopyWriter&) = delete;

    // Opens the data file and tells the task what it holds from before: the whole file for a
    // complete copy about to be checked, else what the store kept of an unfinished one. 0, or
    // the error that kept the file from opening.
    int Open(bool wholeFile);

    const std::shared_ptr<Task>& task() const { return task_; }
    bool holes() const { return holes_; }

    // The version of the programme the copy holds pieces of: the origin's, once its answer told
    // it, or an earlier run's, to be confirmed by the origin before pieces are added to it.
    std::optional<ProgrammeVersion> version;

    // Stores bytes at `offset`; 0, or the error of the write that failed. A write past a gap
    // makes the copy one with holes: its record is written first.
    int Write(uint64_t offset, const char* data, std::size_t size);
    // Throws the bytes away: the copy starts again from nothing. 0, or the error.
    int Clear();
    // Writes the held record of a copy with holes once enough has arrived since the last one
    // (or whenever something did, with `now`).
    void RecordIfDue(bool now = false);
    // Checks the whole copy (every byte up to `size` held, the file of that size, on the disk)
    // and marks it complete; otherwise clears it and returns false.
    bool Seal(uint64_t size, bool confirmed);

private:
    using Clock = std::chrono::steady_clock;
    int MarkHoles(const HeldRanges& held);

    const Store& store_;
    const std::shared_ptr<Task> task_;
    int fd_ = -1;
    bool holes_ = false;
    uint64_t unrecorded_ = 0; // bytes stored since the last record
    Clock::time_point recordedAt_{};
};

} // namespace kestrivane
