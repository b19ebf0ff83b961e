#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace luming {

// Where a child left videos and audio programmes, so they go on from there next time. Kept in
// an INI file of their own: a section per channel, the programme id as key, seconds as value.
// Only positions worth resuming are kept (at least 10 s in, at most 95 % of the way); a
// programme played to its end is forgotten. At most 500 entries: the least recently left go
// first (the section last written and its last key are the newest). Every change is written
// at once and atomically; a file that cannot be read counts as empty.
class ResumePositions {
public:
    static constexpr int32_t kMinimumSeconds = 10;
    static constexpr int kMaximumPercent = 95;
    static constexpr size_t kMaximumEntries = 500;

    explicit ResumePositions(std::string path);

    // The second to go on from for a programme of `total` seconds, if one is kept and still fits.
    std::optional<int32_t> ResumeAt(int channel, const std::string& id, int32_t total) const;
    // The programme was left at `seconds` of `total`.
    void Left(int channel, const std::string& id, int32_t seconds, int32_t total);
    // The programme was played to its end.
    void Finished(int channel, const std::string& id);

    static bool WorthResuming(int32_t seconds, int32_t total);

private:
    std::string path_;
};

} // namespace luming
