#pragma once

#include "HeldRecord.h"
#include "ResponseHead.h"

#include <cstdint>
#include <optional>

namespace kestrivane {

// What a programme's main download asked its origin for.
struct AskedPart {
    uint64_t from = 0;       // where the answer's body goes in the copy
    bool rangeAsked = false; // "Range: bytes=<from>-" was sent
    // The version the copy holds pieces of, when it holds any of a known one.
    std::optional<ProgrammeVersion> held;
    // The size of a complete copy from before that this answer checks against the origin.
    std::optional<uint64_t> checking;
};

// What the head of a main download's answer allows, decided before any byte is written.
enum class HeadVerdict {
    Append,       // a 206 for exactly the part asked, of the copy's version: written at `from`
    Replace,      // a 200: the whole programme, written over whatever the copy held
    SameAsStored, // the origin ignores ranges but tells the checked copy's size: keep that copy
    OtherVersion, // a part of another version of the programme: the copy starts over
    WrongPart,    // a 206 for another part than the one asked, or without a usable range
    TooLarge,     // a size beyond any programme's
    Refused,      // any other status
};

struct HeadJudgement {
    HeadVerdict verdict = HeadVerdict::Refused;
    std::optional<uint64_t> total;           // the programme's size, where the answer told it
    std::optional<ProgrammeVersion> version; // the version the copy holds once written
};

// `largest`: the most bytes any programme may have.
HeadJudgement JudgeHead(const ResponseHead& head, const AskedPart& asked, uint64_t largest);

// Why the download stopped reading an answer before its end.
enum class StopReason {
    None,
    StoreFull,        // a write found no room
    WriteFailed,      // a write failed otherwise
    Enough,           // every byte of the programme is held (side fetches brought the rest)
    PassOver,         // bytes held ahead: better asked for after them
    TooLong,          // more bytes than the answer told, or than an answer without a size may bring
    ForbiddenAddress, // a redirect (or the server's name) led to a nearer address than its own
};

// How the transfer ended, as libcurl tells it.
enum class TransferEnd {
    Whole,  // the answer came to its end
    Broken, // the connection failed or broke, the server was in trouble: trying again may help
    Failed, // anything else (a malformed address, a refusal)
};

struct TransferFacts {
    std::optional<HeadJudgement> head; // none when no answer's head was read
    long status = 0;
    std::optional<uint64_t> rangeTotal; // what a Content-Range told of the size (416 included)
    TransferEnd end = TransferEnd::Failed;
    StopReason stop = StopReason::None;
    AskedPart asked;
    // The body's end was announced (a length, a final chunk, HTTP/2), not only seen as the
    // connection closing, which a hang-up also looks like.
    bool endAnnounced = false;
    bool confirming = false; // asks past the end of a copy that ended with its connection
    uint64_t heldPrefix = 0; // what the copy holds from its start without a gap, afterwards
};

// What a finished main download means for the programme's copy: the one decision, made from the
// facts of the answer alone.
enum class Outcome {
    DiskFull,            // what arrived stays, to be resumed once there is room
    StartOver,           // the copy holds another version or more than the programme: fetched anew
    Complete,            // every byte held, the size told by the origin
    CompleteUnconfirmed, // every byte held as far as the connection went; the origin never told
    CheckEnd,            // ended with the connection and no size told: ask past the end first
    GoOn,                // bytes are held ahead: the download goes on after them
    KeepStored,          // the checked copy is the origin's: complete and confirmed
    KeepUnconfirmed,     // the origin cannot be asked: the checked copy stays as it was
    Retry,               // broken off: tried again after a pause, until that has gone on too long
    Fail,                // refused: what the copy holds stays for a later try
    Discard,             // not the programme: fails, and the copy goes
};

Outcome DecideOutcome(const TransferFacts& facts);

} // namespace kestrivane
