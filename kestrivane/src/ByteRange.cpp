#include "ByteRange.h"

#include <algorithm>
#include <cctype>
#include <limits>
#include <optional>

namespace kestrivane {

namespace {

constexpr uint64_t kHuge = std::numeric_limits<uint64_t>::max();

// Digits only; a number past 64 bits stays at the largest value (it lies past any file).
std::optional<uint64_t> Number(std::string_view digits) {
    if (digits.empty())
        return std::nullopt;
    uint64_t value = 0;
    for (const char c : digits) {
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return std::nullopt;
        const auto digit = static_cast<uint64_t>(c - '0');
        value = value > (kHuge - digit) / 10 ? kHuge : value * 10 + digit;
    }
    return value;
}

bool StartsWithBytesUnit(std::string_view header) {
    constexpr std::string_view kUnit = "bytes=";
    return header.size() >= kUnit.size() &&
           std::equal(kUnit.begin(), kUnit.end(), header.begin(), [](char a, char b) {
               return a == std::tolower(static_cast<unsigned char>(b));
           });
}

} // namespace

RangeAnswer ResolveRange(std::string_view header, uint64_t total) {
    const RangeAnswer whole;
    header = TrimBlanks(header);
    if (!StartsWithBytesUnit(header))
        return whole;
    header.remove_prefix(6);

    std::string_view only;
    int count = 0;
    while (!header.empty()) {
        const std::size_t comma = header.find(',');
        const std::string_view part = TrimBlanks(header.substr(0, comma));
        header = comma == std::string_view::npos ? std::string_view() : header.substr(comma + 1);
        if (part.empty())
            continue;
        only = part;
        ++count;
    }
    if (count != 1)
        return whole;

    const std::size_t dash = only.find('-');
    if (dash == std::string_view::npos)
        return whole;
    const std::string_view firstText = only.substr(0, dash);
    const std::string_view lastText = only.substr(dash + 1);
    const RangeAnswer unsatisfiable{RangeAnswer::Kind::Unsatisfiable, 0, 0};

    if (firstText.empty()) { // "-N": the last N bytes
        const auto suffix = Number(lastText);
        if (!suffix)
            return whole;
        if (*suffix == 0 || total == 0)
            return unsatisfiable;
        const uint64_t length = std::min(*suffix, total);
        return {RangeAnswer::Kind::Part, total - length, length};
    }
    const auto first = Number(firstText);
    const auto last = lastText.empty() ? std::optional<uint64_t>(kHuge) : Number(lastText);
    if (!first || !last || *last < *first)
        return whole;
    if (*first >= total)
        return unsatisfiable;
    return {RangeAnswer::Kind::Part, *first, std::min(*last, total - 1) - *first + 1};
}

std::optional<ContentRange> ParseContentRange(std::string_view value) {
    constexpr std::string_view kUnit = "bytes ";
    value = TrimBlanks(value);
    if (value.size() < kUnit.size() ||
        !std::equal(kUnit.begin(), kUnit.end(), value.begin(), [](char a, char b) {
            return a == std::tolower(static_cast<unsigned char>(b));
        }))
        return std::nullopt;
    value = TrimBlanks(value.substr(kUnit.size()));
    const std::size_t slash = value.find('/');
    if (slash == std::string_view::npos)
        return std::nullopt;
    const std::string_view part = value.substr(0, slash);
    const std::string_view size = value.substr(slash + 1);
    ContentRange range;
    if (size != "*") {
        range.total = Number(size);
        if (!range.total)
            return std::nullopt;
    }
    if (part != "*") {
        const std::size_t dash = part.find('-');
        if (dash == std::string_view::npos)
            return std::nullopt;
        range.first = Number(part.substr(0, dash));
        range.last = Number(part.substr(dash + 1));
        if (!range.first || !range.last || *range.last < *range.first ||
            (range.total && *range.last >= *range.total))
            return std::nullopt;
    } else if (!range.total) {
        return std::nullopt;
    }
    return range;
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

} // namespace kestrivane
