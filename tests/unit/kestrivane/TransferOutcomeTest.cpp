// What an origin's answer means for a programme's copy, decided without a server: each row is
// the facts of one answer and the outcome written down by hand.
#include "TransferOutcome.h"
#include "AddressScope.h"

#include <gtest/gtest.h>

namespace kestrivane {
namespace {

constexpr uint64_t kLargest = 1000000;

ResponseHead Answer(long status, std::optional<uint64_t> length = std::nullopt,
                    std::optional<ContentRange> range = std::nullopt, std::string etag = "") {
    ResponseHead head;
    head.status = status;
    head.length = length;
    head.range = range;
    head.etag = std::move(etag);
    return head;
}

ContentRange Range(uint64_t first, uint64_t last, std::optional<uint64_t> total) {
    return {first, last, total};
}

TEST(TransferOutcome, TheHeadIsTakenOnlyForWhatWasAsked) {
    const AskedPart fromStart{};
    const AskedPart resume{500, true, ProgrammeVersion{1000, "\"a\"", ""}, std::nullopt};
    const AskedPart checking{0, false, std::nullopt, 1000};
    struct Row {
        const char* what;
        ResponseHead head;
        AskedPart asked;
        HeadVerdict verdict;
        std::optional<uint64_t> total;
    };
    const Row rows[] = {
        {"whole answer", Answer(200, 1000), fromStart, HeadVerdict::Replace, 1000},
        {"whole answer without a length", Answer(200), fromStart, HeadVerdict::Replace,
         std::nullopt},
        {"whole answer to a range", Answer(200, 1000), resume, HeadVerdict::Replace, 1000},
        {"the part asked", Answer(206, 500, Range(500, 999, 1000), "\"a\""), resume,
         HeadVerdict::Append, 1000},
        {"the part asked, size unknown", Answer(206, 500, Range(500, 999, std::nullopt)), resume,
         HeadVerdict::Append, std::nullopt},
        {"a part from elsewhere", Answer(206, 500, Range(0, 499, 1000), "\"a\""), resume,
         HeadVerdict::WrongPart, std::nullopt},
        {"a length that is not the part's", Answer(206, 10, Range(500, 999, 1000), "\"a\""), resume,
         HeadVerdict::WrongPart, std::nullopt},
        {"a part without its range", Answer(206, 500), resume, HeadVerdict::WrongPart,
         std::nullopt},
        {"a part nobody asked for", Answer(206, 500, Range(0, 499, 1000)), fromStart,
         HeadVerdict::WrongPart, std::nullopt},
        {"the part of another version", Answer(206, 500, Range(500, 999, 1000), "\"b\""), resume,
         HeadVerdict::OtherVersion, std::nullopt},
        {"another size", Answer(206, 500, Range(500, 999, 2000)), resume, HeadVerdict::OtherVersion,
         std::nullopt},
        {"the checked copy's size", Answer(200, 1000), checking, HeadVerdict::SameAsStored,
         std::nullopt},
        {"another size than the checked copy", Answer(200, 900), checking, HeadVerdict::Replace,
         900},
        {"too large a programme", Answer(200, kLargest + 1), fromStart, HeadVerdict::TooLarge,
         std::nullopt},
        {"too large a part", Answer(206, 500, Range(500, 999, kLargest + 1)), resume,
         HeadVerdict::TooLarge, std::nullopt},
        {"not found", Answer(404, 10), fromStart, HeadVerdict::Refused, std::nullopt},
        {"nothing past the end", Answer(416, 0, ContentRange{{}, {}, 500}), resume,
         HeadVerdict::Refused, std::nullopt},
    };
    for (const Row& row : rows) {
        const HeadJudgement judged = JudgeHead(row.head, row.asked, kLargest);
        EXPECT_EQ(judged.verdict, row.verdict) << row.what;
        EXPECT_EQ(judged.total, row.total) << row.what;
    }
    // A part keeps the validators of the version the copy holds.
    const auto kept = JudgeHead(Answer(206, 500, Range(500, 999, 1000)), resume, kLargest);
    ASSERT_TRUE(kept.version);
    EXPECT_EQ(kept.version->etag, "\"a\"");
}

TEST(TransferOutcome, OneOutcomeForEachEnding) {
    const auto judged = [](HeadVerdict verdict, std::optional<uint64_t> total = 1000) {
        return std::optional<HeadJudgement>(HeadJudgement{verdict, total, std::nullopt});
    };
    const AskedPart fromStart{};
    const AskedPart resume{500, true, std::nullopt, std::nullopt};
    const AskedPart checking{0, false, std::nullopt, 800};
    using End = TransferEnd;
    struct Row {
        const char* what;
        TransferFacts facts;
        Outcome outcome;
    };
    const Row rows[] = {
        {"the whole programme, its size told",
         {judged(HeadVerdict::Replace),
          200,
          {},
          End::Whole,
          StopReason::None,
          fromStart,
          true,
          false,
          1000},
         Outcome::Complete},
        {"ended with the connection, no size told",
         {judged(HeadVerdict::Replace, std::nullopt),
          200,
          {},
          End::Whole,
          StopReason::None,
          fromStart,
          false,
          false,
          700},
         Outcome::CheckEnd},
        {"a part that ended short of the programme, after progress",
         {judged(HeadVerdict::Append), 206, 1000, End::Whole, StopReason::None, resume, true, false,
          700},
         Outcome::GoOn},
        {"a part that ended short, and nothing came",
         {judged(HeadVerdict::Append), 206, 1000, End::Whole, StopReason::None, resume, true, false,
          500},
         Outcome::Retry},
        {"the store is full",
         {judged(HeadVerdict::Replace),
          200,
          {},
          End::Failed,
          StopReason::StoreFull,
          fromStart,
          true,
          false,
          300},
         Outcome::DiskFull},
        {"more than an answer without a size may bring",
         {judged(HeadVerdict::Replace, std::nullopt),
          200,
          {},
          End::Failed,
          StopReason::TooLong,
          fromStart,
          false,
          false,
          300},
         Outcome::Discard},
        {"side fetches brought the rest",
         {judged(HeadVerdict::Replace),
          200,
          {},
          End::Failed,
          StopReason::Enough,
          fromStart,
          true,
          false,
          1000},
         Outcome::Complete},
        {"bytes held ahead",
         {judged(HeadVerdict::Replace),
          200,
          {},
          End::Failed,
          StopReason::PassOver,
          fromStart,
          true,
          false,
          300},
         Outcome::GoOn},
        {"redirected to this computer",
         {std::nullopt,
          0,
          {},
          End::Failed,
          StopReason::ForbiddenAddress,
          fromStart,
          false,
          false,
          0},
         Outcome::Fail},
        {"a part from elsewhere",
         {judged(HeadVerdict::WrongPart), 206, 1000, End::Failed, StopReason::None, resume, true,
          false, 500},
         Outcome::Retry},
        {"another version",
         {judged(HeadVerdict::OtherVersion), 206, 1000, End::Failed, StopReason::None, resume, true,
          false, 500},
         Outcome::StartOver},
        {"too large",
         {judged(HeadVerdict::TooLarge),
          200,
          {},
          End::Failed,
          StopReason::None,
          fromStart,
          true,
          false,
          0},
         Outcome::Fail},
        {"broken off",
         {judged(HeadVerdict::Replace),
          200,
          {},
          End::Broken,
          StopReason::None,
          fromStart,
          true,
          false,
          400},
         Outcome::Retry},
        {"a server in trouble",
         {judged(HeadVerdict::Refused),
          503,
          {},
          End::Broken,
          StopReason::None,
          fromStart,
          false,
          false,
          0},
         Outcome::Retry},
        {"not found",
         {judged(HeadVerdict::Refused),
          404,
          {},
          End::Failed,
          StopReason::None,
          fromStart,
          false,
          false,
          0},
         Outcome::Fail},
        {"nothing past a copy that was whole",
         {judged(HeadVerdict::Refused), 416, 500, End::Whole, StopReason::None, resume, false,
          false, 500},
         Outcome::Complete},
        {"a copy longer than the programme now",
         {judged(HeadVerdict::Refused), 416, 300, End::Whole, StopReason::None, resume, false,
          false, 500},
         Outcome::StartOver},
        {"the checked copy confirmed by its size",
         {judged(HeadVerdict::SameAsStored),
          200,
          {},
          End::Failed,
          StopReason::None,
          checking,
          true,
          false,
          800},
         Outcome::KeepStored},
        {"the checked copy confirmed past its end",
         {judged(HeadVerdict::Refused), 416, 800, End::Whole, StopReason::None, checking, false,
          false, 800},
         Outcome::KeepStored},
        {"the checked copy longer than the programme",
         {judged(HeadVerdict::Refused), 416, 600, End::Whole, StopReason::None, checking, false,
          false, 800},
         Outcome::StartOver},
        {"the checked copy's origin cannot be reached",
         {std::nullopt, 0, {}, End::Broken, StopReason::None, checking, false, false, 800},
         Outcome::KeepUnconfirmed},
        {"the checked copy replaced, and cut off",
         {judged(HeadVerdict::Replace),
          200,
          {},
          End::Broken,
          StopReason::None,
          checking,
          true,
          false,
          300},
         Outcome::Retry},
        {"the checked copy replaced whole, size never told",
         {judged(HeadVerdict::Replace, std::nullopt),
          200,
          {},
          End::Whole,
          StopReason::None,
          checking,
          false,
          false,
          900},
         Outcome::CompleteUnconfirmed},
        {"a hang-up's check that found no origin",
         {std::nullopt, 0, {}, End::Broken, StopReason::None, checking, false, true, 800},
         Outcome::Retry},
    };
    for (const Row& row : rows)
        EXPECT_EQ(DecideOutcome(row.facts), row.outcome) << row.what;
}

TEST(AddressScope, LoopbackPrivateAndPublicAddresses) {
    struct Row {
        const char* ip;
        std::optional<AddressScope> scope;
    };
    const Row rows[] = {
        {"127.0.0.1", AddressScope::Loopback},
        {"127.9.8.7", AddressScope::Loopback},
        {"0.0.0.0", AddressScope::Loopback},
        {"::1", AddressScope::Loopback},
        {"::", AddressScope::Loopback},
        {"::ffff:127.0.0.1", AddressScope::Loopback},
        {"10.1.2.3", AddressScope::Private},
        {"172.16.0.1", AddressScope::Private},
        {"172.31.255.255", AddressScope::Private},
        {"192.168.1.1", AddressScope::Private},
        {"169.254.169.254", AddressScope::Private},
        {"100.64.0.1", AddressScope::Private},
        {"fd00::2", AddressScope::Private},
        {"fe80::1", AddressScope::Private},
        {"::ffff:192.168.0.1", AddressScope::Private},
        {"172.32.0.1", AddressScope::Public},
        {"8.8.8.8", AddressScope::Public},
        {"192.0.2.2", AddressScope::Public},
        {"2001:db8::1", AddressScope::Public},
        {"::2", AddressScope::Public},
        {"localhost", std::nullopt},
        {"", std::nullopt},
        {"127.0.0.1.evil", std::nullopt},
    };
    for (const Row& row : rows)
        EXPECT_EQ(ScopeOf(row.ip), row.scope) << row.ip;
}

} // namespace
} // namespace kestrivane
