#include "SideFetchPlan.h"

#include <algorithm>

namespace kestrivane {

SideFetchPlan PlanSideFetches(const HeldRanges& held, uint64_t total, uint64_t mainPosition,
                              const std::vector<uint64_t>& wanted,
                              const std::vector<SideFetchState>& running, bool mayStart) {
    SideFetchPlan plan;
    plan.keep.assign(running.size(), false);
    plan.stopAt.assign(running.size(), 0);
    for (const uint64_t offset : wanted) {
        if (offset >= total)
            continue;
        // The first byte this player will lack.
        const uint64_t lacking = offset + held.LengthFrom(offset);
        if (lacking >= total)
            continue;
        bool served = false;
        for (std::size_t i = 0; i < running.size(); ++i) {
            if (running[i].from <= lacking && lacking <= running[i].position + kNearAhead &&
                running[i].position > mainPosition) {
                plan.keep[i] = true;
                plan.stopAt[i] = std::max(plan.stopAt[i], offset + kReadAhead);
                served = true;
            }
        }
        if (served || lacking - offset >= kReadAhead / 2 || lacking <= mainPosition + kNearAhead)
            continue;
        const auto close = std::find_if(plan.start.begin(), plan.start.end(), [&](const auto& s) {
            return s.from <= lacking + kNearAhead && lacking <= s.from + kNearAhead;
        });
        if (close != plan.start.end())
            close->stopAt = std::max(close->stopAt, offset + kReadAhead);
        else
            plan.start.push_back({lacking, offset + kReadAhead});
    }
    const auto kept =
        static_cast<std::size_t>(std::count(plan.keep.begin(), plan.keep.end(), true));
    const std::size_t room = mayStart && kept < kMaxSideFetches ? kMaxSideFetches - kept : 0;
    if (plan.start.size() > room)
        plan.start.resize(room);
    return plan;
}

} // namespace kestrivane
