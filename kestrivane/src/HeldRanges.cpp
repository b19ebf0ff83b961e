#include "HeldRanges.h"

#include <algorithm>

namespace kestrivane {

HeldRanges HeldRanges::Prefix(uint64_t count) {
    HeldRanges held;
    held.Add(0, count);
    return held;
}

void HeldRanges::Add(uint64_t first, uint64_t end) {
    if (first >= end)
        return;
    // Every range that touches or overlaps [first, end) merges into it.
    auto from = std::lower_bound(ranges_.begin(), ranges_.end(), first,
                                 [](const Range& range, uint64_t at) { return range.end < at; });
    auto to = from;
    while (to != ranges_.end() && to->first <= end) {
        first = std::min(first, to->first);
        end = std::max(end, to->end);
        ++to;
    }
    from = ranges_.erase(from, to);
    ranges_.insert(from, Range{first, end});
}

void HeldRanges::CutAt(uint64_t size) {
    while (!ranges_.empty() && ranges_.back().first >= size)
        ranges_.pop_back();
    if (!ranges_.empty())
        ranges_.back().end = std::min(ranges_.back().end, size);
}

uint64_t HeldRanges::LengthFrom(uint64_t offset) const {
    const auto after =
        std::upper_bound(ranges_.begin(), ranges_.end(), offset,
                         [](uint64_t at, const Range& range) { return at < range.first; });
    if (after == ranges_.begin())
        return 0;
    const Range& range = *std::prev(after);
    return range.end > offset ? range.end - offset : 0;
}

std::optional<uint64_t> HeldRanges::NextStart(uint64_t offset) const {
    const auto after =
        std::upper_bound(ranges_.begin(), ranges_.end(), offset,
                         [](uint64_t at, const Range& range) { return at < range.first; });
    if (after == ranges_.end())
        return std::nullopt;
    return after->first;
}

uint64_t HeldRanges::Count() const {
    uint64_t count = 0;
    for (const Range& range : ranges_)
        count += range.end - range.first;
    return count;
}

} // namespace kestrivane
