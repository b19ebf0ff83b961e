#include "config/IniDocument.h"

#include <algorithm>

namespace luming {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return LowerAscii(x) == LowerAscii(y);
           });
}

// The section name of a header line, or nothing when the line is not a header.
std::optional<std::string_view> SectionName(std::string_view line) {
    line = Trim(line);
    if (line.empty() || line.front() != '[')
        return std::nullopt;
    line.remove_prefix(1);
    const size_t close = line.find(']');
    return Trim(line.substr(0, close));
}

struct KeyValue {
    std::string_view key;
    std::string_view value;
};

std::optional<KeyValue> SplitKeyValue(std::string_view line) {
    const std::string_view trimmed = Trim(line);
    if (trimmed.empty() || trimmed.front() == ';')
        return std::nullopt;
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos)
        return std::nullopt;
    return KeyValue{Trim(line.substr(0, equals)), Trim(line.substr(equals + 1))};
}

std::string Unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return std::string(value);
}

bool HasLineBreak(std::string_view text) {
    return text.find_first_of("\r\n") != std::string_view::npos;
}

} // namespace

IniDocument::IniDocument(std::string_view bytes) {
    if (bytes.starts_with(kUtf8Bom)) {
        bom_ = kUtf8Bom;
        bytes.remove_prefix(kUtf8Bom.size());
    }
    size_t start = 0;
    while (start < bytes.size()) {
        const size_t stop = bytes.find_first_of("\r\n", start);
        if (stop == std::string_view::npos) {
            lines_.push_back({std::string(bytes.substr(start)), ""});
            break;
        }
        const size_t endLength =
            (bytes[stop] == '\r' && stop + 1 < bytes.size() && bytes[stop + 1] == '\n') ? 2 : 1;
        lines_.push_back({std::string(bytes.substr(start, stop - start)),
                          std::string(bytes.substr(stop, endLength))});
        start = stop + endLength;
    }
}

std::optional<IniDocument::Span> IniDocument::FindSection(std::string_view section) const {
    for (size_t i = 0; i < lines_.size(); ++i) {
        const auto name = SectionName(lines_[i].text);
        if (!name || !EqualsNoCase(*name, section))
            continue;
        size_t last = i;
        while (last + 1 < lines_.size() && !SectionName(lines_[last + 1].text))
            ++last;
        return Span{i, last};
    }
    return std::nullopt;
}

std::optional<size_t> IniDocument::FindKey(const Span& span, std::string_view key) const {
    for (size_t i = span.header + 1; i <= span.last; ++i) {
        const auto pair = SplitKeyValue(lines_[i].text);
        if (pair && EqualsNoCase(pair->key, key))
            return i;
    }
    return std::nullopt;
}

std::optional<std::string> IniDocument::Value(std::string_view section,
                                              std::string_view key) const {
    const auto span = FindSection(Trim(section));
    if (!span)
        return std::nullopt;
    const auto index = FindKey(*span, Trim(key));
    if (!index)
        return std::nullopt;
    return Unquote(SplitKeyValue(lines_[*index].text)->value);
}

std::string IniDocument::LineEnd() const {
    for (const Line& line : lines_)
        if (!line.end.empty())
            return line.end;
    return "\n";
}

bool IniDocument::SetValue(std::string_view section, std::string_view key, std::string_view value) {
    section = Trim(section);
    key = Trim(key);
    if (key.empty() || section.empty() || HasLineBreak(section) || HasLineBreak(key) ||
        HasLineBreak(value) || key.find('=') != std::string_view::npos ||
        section.find(']') != std::string_view::npos || key.front() == '[' || key.front() == ';')
        return false;

    const std::string end = LineEnd();
    auto span = FindSection(section);
    if (!span) {
        if (!lines_.empty() && lines_.back().end.empty())
            lines_.back().end = end;
        lines_.push_back({"[" + std::string(section) + "]", end});
        span = Span{lines_.size() - 1, lines_.size() - 1};
    }

    if (const auto index = FindKey(*span, key)) {
        Line& line = lines_[*index];
        line.text = std::string(SplitKeyValue(line.text)->key) + "=" + std::string(value);
        return true;
    }

    // A new key goes after the section's last non-blank line, so blank separator lines stay
    // in front of the next section.
    size_t after = span->last;
    while (after > span->header && Trim(lines_[after].text).empty())
        --after;
    if (lines_[after].end.empty())
        lines_[after].end = end;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(after) + 1,
                  Line{std::string(key) + "=" + std::string(value), end});
    return true;
}

std::string IniDocument::Bytes() const {
    std::string out = bom_;
    for (const Line& line : lines_)
        out += line.text + line.end;
    return out;
}

} // namespace luming
