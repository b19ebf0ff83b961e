// A copy with holes on its own: what side fetches a programme needs, and what a held record
// left by an earlier run is worth.
#include "SideFetchPlan.h"
#include "Store.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace kestrivane;

namespace {

constexpr uint64_t kTotal = 10'000'000;
constexpr uint64_t kMB = 1024 * 1024;

HeldRanges Held(std::initializer_list<HeldRanges::Range> ranges) {
    HeldRanges held;
    for (const auto& range : ranges)
        held.Add(range.first, range.end);
    return held;
}

} // namespace

TEST(SideFetchPlan, OnlyFarBytesAreFetchedBoundedInNumberAndReach) {
    const HeldRanges held = Held({{0, 2'000'000}, {5'000'000, 6'000'000}});
    // Near the main download (at 2 000 000), or with half a read-ahead held: nothing to fetch.
    auto plan =
        PlanSideFetches(held, kTotal, 2'000'000, {1'000'000, 2'020'000, 5'200'000}, {}, true);
    EXPECT_TRUE(plan.start.empty());
    // Far past it: one fetch from the first byte the player lacks, reading 1 MB past the player.
    plan = PlanSideFetches(held, kTotal, 2'000'000, {5'900'000}, {}, true);
    ASSERT_EQ(plan.start.size(), 1u);
    EXPECT_EQ(plan.start[0].from, 6'000'000u);
    EXPECT_EQ(plan.start[0].stopAt, 5'900'000u + kMB);
    // Two players at one place share a fetch; a third place waits while two fetches run.
    plan = PlanSideFetches(held, kTotal, 2'000'000, {7'000'000, 7'000'100, 9'000'000},
                           {{3'000'000, 3'000'500}}, true);
    EXPECT_FALSE(plan.keep[0]); // nobody reads there any more
    ASSERT_EQ(plan.start.size(), 2u);
    EXPECT_EQ(plan.start[0].stopAt, 7'000'100u + kMB);
    plan = PlanSideFetches(held, kTotal, 2'000'000, {7'000'000, 8'000'000, 9'000'000},
                           {{7'000'000, 7'010'000}, {8'000'000, 8'000'000}}, true);
    EXPECT_EQ(plan.keep, (std::vector<bool>{true, true}));
    EXPECT_TRUE(plan.start.empty());
    // One the main download has caught up with is not needed; none start while refused.
    plan = PlanSideFetches(held, kTotal, 3'000'000, {2'900'000, 8'000'000},
                           {{2'900'000, 2'990'000}}, false);
    EXPECT_FALSE(plan.keep[0]);
    EXPECT_TRUE(plan.start.empty());
}

// A crash leaves a record that names only bytes already on the disk; one naming more than the
// file holds is cut at the file's end, and one that does not parse starts the copy over.
TEST(Store, HeldRecordOfAnUnfinishedCopy) {
    luming::test::TempDir directory;
    const Store store(directory.path());
    const auto data = store.DataFile("http://o/p.flv", ".flv");
    luming::test::WriteFile(data, std::string(600, 'p'));
    EXPECT_EQ(store.Unfinished(data).held, HeldRanges::Prefix(600)); // a plain prefix

    ProgrammeVersion version{1000, "\"v1\"", ""};
    ASSERT_TRUE(store.RecordHeld(data, {version, Held({{0, 100}, {500, 1000}})}));
    const PartialCopy partial = store.Unfinished(data);
    EXPECT_EQ(partial.held, Held({{0, 100}, {500, 600}}));
    ASSERT_TRUE(partial.version);
    EXPECT_EQ(partial.version->etag, "\"v1\"");

    luming::test::WriteFile(data.string() + ".held", "kestrivane-held 1\ntotal 1000\nheld 0 1");
    EXPECT_TRUE(store.Unfinished(data).unreadable);
    EXPECT_EQ(store.Unfinished(data).held, HeldRanges());
}
