#include "TransferOutcome.h"

namespace kestrivane {

namespace {

HeadJudgement Just(HeadVerdict verdict) {
    return {verdict, std::nullopt, std::nullopt};
}

// "bytes=<from>-" asks for everything from there: the part must start there and agree with
// the length the answer gives its body.
HeadJudgement JudgePart(const ResponseHead& head, const AskedPart& asked, uint64_t largest) {
    const auto& range = head.range;
    if (!asked.rangeAsked || !range || !range->first || *range->first != asked.from)
        return Just(HeadVerdict::WrongPart);
    if (head.length && *head.length != *range->last - *range->first + 1)
        return Just(HeadVerdict::WrongPart);
    const std::optional<uint64_t> total = range->total;
    if (!total)
        return {HeadVerdict::Append, std::nullopt, asked.held};
    if (*total > largest)
        return Just(HeadVerdict::TooLarge);
    const ProgrammeVersion told{*total, head.etag, head.lastModified};
    if (asked.held && !asked.held->Matches(told))
        return Just(HeadVerdict::OtherVersion);
    return {HeadVerdict::Append, total, asked.held ? asked.held : told};
}

} // namespace

HeadJudgement JudgeHead(const ResponseHead& head, const AskedPart& asked, uint64_t largest) {
    if (head.status == 206)
        return JudgePart(head, asked, largest);
    if (head.status != 200)
        return Just(HeadVerdict::Refused);
    if (asked.checking && head.length == asked.checking)
        return Just(HeadVerdict::SameAsStored);
    if (head.length && *head.length > largest)
        return Just(HeadVerdict::TooLarge);
    if (!head.length)
        return Just(HeadVerdict::Replace);
    return {HeadVerdict::Replace, head.length,
            ProgrammeVersion{*head.length, head.etag, head.lastModified}};
}

Outcome DecideOutcome(const TransferFacts& facts) {
    switch (facts.stop) {
    case StopReason::StoreFull:
        return Outcome::DiskFull;
    case StopReason::Enough:
        return Outcome::Complete;
    case StopReason::PassOver:
        return Outcome::GoOn;
    case StopReason::TooLong:
        return Outcome::Discard;
    case StopReason::WriteFailed:
    case StopReason::ForbiddenAddress:
        return Outcome::Fail;
    case StopReason::None:
        break;
    }
    const std::optional<HeadVerdict> verdict =
        facts.head ? std::optional(facts.head->verdict) : std::nullopt;
    switch (verdict.value_or(HeadVerdict::Refused)) {
    case HeadVerdict::OtherVersion:
        return Outcome::StartOver;
    case HeadVerdict::WrongPart:
        return Outcome::Retry; // nothing of it was written
    case HeadVerdict::SameAsStored:
        return Outcome::KeepStored;
    case HeadVerdict::TooLarge:
        return Outcome::Fail;
    default:
        break;
    }
    const bool taken = verdict == HeadVerdict::Append || verdict == HeadVerdict::Replace;
    const AskedPart& asked = facts.asked;
    const bool whole = facts.end == TransferEnd::Whole && taken;
    if (asked.checking) {
        if (whole)
            return facts.endAnnounced ? Outcome::Complete : Outcome::CompleteUnconfirmed;
        if (facts.status == 416 && facts.rangeTotal == asked.checking)
            return Outcome::KeepStored;
        if (facts.status == 416 && facts.rangeTotal)
            return Outcome::StartOver; // the origin's programme is shorter than the copy
        // Cut off while replacing the copy, or the copy itself may be a hang-up: no end yet.
        if (taken || facts.confirming)
            return facts.end == TransferEnd::Broken ? Outcome::Retry : Outcome::Fail;
        return Outcome::KeepUnconfirmed;
    }
    if (whole) {
        if (!facts.endAnnounced)
            return Outcome::CheckEnd;
        const std::optional<uint64_t> total = facts.head->total;
        if (total && facts.heldPrefix < *total)
            return facts.heldPrefix > asked.from ? Outcome::GoOn : Outcome::Retry;
        return Outcome::Complete;
    }
    if (facts.status == 416 && asked.from > 0) {
        // Nothing past a copy that was already whole; a copy longer than the programme now is
        // of another version.
        return facts.rangeTotal == asked.from ? Outcome::Complete : Outcome::StartOver;
    }
    return facts.end == TransferEnd::Broken ? Outcome::Retry : Outcome::Fail;
}

} // namespace kestrivane
