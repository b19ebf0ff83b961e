#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace kestrivane {

// Which bytes of a programme the store holds: sorted, disjoint, non-touching half-open ranges.
class HeldRanges {
public:
    struct Range {
        uint64_t first = 0;
        uint64_t end = 0; // one past the last byte
        bool operator==(const Range&) const = default;
    };

    HeldRanges() = default;
    // The first `count` bytes.
    static HeldRanges Prefix(uint64_t count);

    void Add(uint64_t first, uint64_t end);
    // Forgets everything at and after `size`.
    void CutAt(uint64_t size);
    // How many bytes from `offset` on are held without a gap (0 when `offset` is not held).
    uint64_t LengthFrom(uint64_t offset) const;
    // The first held byte after `offset`, past its gap; nothing when none follows.
    std::optional<uint64_t> NextStart(uint64_t offset) const;
    uint64_t PrefixEnd() const { return LengthFrom(0); }
    bool Covers(uint64_t size) const { return PrefixEnd() >= size; }
    uint64_t Count() const;
    const std::vector<Range>& ranges() const { return ranges_; }
    bool operator==(const HeldRanges&) const = default;

private:
    std::vector<Range> ranges_;
};

} // namespace kestrivane
