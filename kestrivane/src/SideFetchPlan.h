#pragma once

#include "HeldRanges.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kestrivane {

// A player's request past what the store holds is served from a fetch of its own (a side
// fetch, a Range request to the origin) while the main download goes on from the start.
//
// Bytes this close past the main download (or a side fetch) come soon enough from it: on a
// 64 KB/s line half a second, about what a new connection to the origin costs.
inline constexpr uint64_t kNearAhead = 32 * 1024;
// A side fetch reads this far past the furthest player it serves, then stops.
inline constexpr uint64_t kReadAhead = 1024 * 1024;
// Side fetches of one programme at once; a player needing another waits for one to end.
inline constexpr std::size_t kMaxSideFetches = 2;

struct SideFetchState {
    uint64_t from = 0;     // where it started
    uint64_t position = 0; // the next byte it stores
};

struct SideFetchStart {
    uint64_t from = 0;
    uint64_t stopAt = 0;
};

struct SideFetchPlan {
    // For each running side fetch: whether a player still needs it, and where it stops.
    std::vector<bool> keep;
    std::vector<uint64_t> stopAt;
    std::vector<SideFetchStart> start;
};

// What side fetches one programme needs now. `wanted`: where the players' answers read;
// `mainPosition`: the next byte the main download stores; `mayStart`: false while new side
// fetches are not to be started (the origin refused one).
SideFetchPlan PlanSideFetches(const HeldRanges& held, uint64_t total, uint64_t mainPosition,
                              const std::vector<uint64_t>& wanted,
                              const std::vector<SideFetchState>& running, bool mayStart);

} // namespace kestrivane
