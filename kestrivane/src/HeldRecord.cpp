#include "HeldRecord.h"

#include <charconv>

namespace kestrivane {

namespace {

constexpr std::string_view kFirstLine = "kestrivane-held 1";

std::optional<uint64_t> Number(std::string_view digits) {
    uint64_t value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (digits.empty() || digits.front() == '+' || error != std::errc() ||
        end != digits.data() + digits.size())
        return std::nullopt;
    return value;
}

// A validator goes on one line; one that cannot is left out (the size still guards the copy).
bool FitsOnALine(std::string_view value) {
    return value.find_first_of("\r\n") == std::string_view::npos;
}

} // namespace

bool ProgrammeVersion::Matches(const ProgrammeVersion& other) const {
    const auto agree = [](const std::string& a, const std::string& b) {
        return a.empty() || b.empty() || a == b;
    };
    return total == other.total && agree(etag, other.etag) &&
           agree(lastModified, other.lastModified);
}

std::string FormatHeldRecord(const HeldRecord& record) {
    std::string text = std::string(kFirstLine) + "\n";
    text += "total " + std::to_string(record.version.total) + "\n";
    if (!record.version.etag.empty() && FitsOnALine(record.version.etag))
        text += "etag " + record.version.etag + "\n";
    if (!record.version.lastModified.empty() && FitsOnALine(record.version.lastModified))
        text += "last-modified " + record.version.lastModified + "\n";
    for (const auto& range : record.held.ranges())
        text += "held " + std::to_string(range.first) + " " + std::to_string(range.end) + "\n";
    return text;
}

std::optional<HeldRecord> ParseHeldRecord(std::string_view text) {
    // A record cut short (it should never be: it is replaced whole) ends without a newline.
    if (!text.ends_with('\n'))
        return std::nullopt;
    HeldRecord record;
    bool sawFirst = false, sawTotal = false, sawEtag = false, sawModified = false;
    while (!text.empty()) {
        const std::size_t newline = text.find('\n');
        const std::string_view line = text.substr(0, newline);
        text.remove_prefix(newline + 1);
        if (!FitsOnALine(line))
            return std::nullopt; // never written so
        if (!sawFirst) {
            if (line != kFirstLine)
                return std::nullopt;
            sawFirst = true;
            continue;
        }
        const std::size_t space = line.find(' ');
        if (space == std::string_view::npos)
            return std::nullopt;
        const std::string_view key = line.substr(0, space);
        const std::string_view value = line.substr(space + 1);
        if (key == "total" && !sawTotal) {
            const auto total = Number(value);
            if (!total)
                return std::nullopt;
            record.version.total = *total;
            sawTotal = true;
        } else if (key == "etag" && !sawEtag && !value.empty() && sawTotal) {
            record.version.etag = value;
            sawEtag = true;
        } else if (key == "last-modified" && !sawModified && !value.empty() && sawTotal) {
            record.version.lastModified = value;
            sawModified = true;
        } else if (key == "held" && sawTotal) {
            const std::size_t between = value.find(' ');
            if (between == std::string_view::npos)
                return std::nullopt;
            const auto first = Number(value.substr(0, between));
            const auto end = Number(value.substr(between + 1));
            if (!first || !end || *first >= *end || *end > record.version.total)
                return std::nullopt;
            record.held.Add(*first, *end);
        } else {
            return std::nullopt;
        }
    }
    if (!sawTotal)
        return std::nullopt;
    return record;
}

} // namespace kestrivane
