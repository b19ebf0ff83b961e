#include "platform/mpv/PlayerRequest.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <vector>

namespace luming {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

struct Tag {
    std::string_view name;
    std::string_view attributes;
    bool closing = false; // </name>
    bool empty = false;   // <name/>
};

// Walks the request one tag or text run at a time; never reads past its end.
class Scanner {
public:
    explicit Scanner(std::string_view text) : rest_(text) {}

    bool AtEnd() const { return Trim(rest_).empty(); }

    std::optional<Tag> NextTag() {
        rest_ = Trim(rest_);
        if (rest_.size() < 3 || rest_.front() != '<')
            return std::nullopt;
        const size_t close = rest_.find('>');
        if (close == std::string_view::npos)
            return std::nullopt;
        std::string_view inside = rest_.substr(1, close - 1);
        rest_.remove_prefix(close + 1);
        Tag tag;
        if (!inside.empty() && inside.front() == '/') {
            tag.closing = true;
            inside.remove_prefix(1);
        } else if (!inside.empty() && inside.back() == '/') {
            tag.empty = true;
            inside.remove_suffix(1);
        }
        const size_t nameEnd = std::min(
            inside.size(), static_cast<size_t>(std::find_if(inside.begin(), inside.end(), IsBlank) -
                                               inside.begin()));
        tag.name = inside.substr(0, nameEnd);
        tag.attributes = inside.substr(nameEnd);
        if (tag.name.empty() || (tag.closing && !Trim(tag.attributes).empty()))
            return std::nullopt;
        return tag;
    }

    std::string_view Text() {
        const size_t end = std::min(rest_.find('<'), rest_.size());
        const std::string_view text = rest_.substr(0, end);
        rest_.remove_prefix(end);
        return text;
    }

private:
    std::string_view rest_;
};

// The value of attribute `wanted` (quoted with ' or "), or nothing.
std::optional<std::string_view> Attribute(std::string_view attributes, std::string_view wanted) {
    for (;;) {
        attributes = Trim(attributes);
        if (attributes.empty())
            return std::nullopt;
        const size_t equals = attributes.find('=');
        if (equals == std::string_view::npos)
            return std::nullopt;
        const std::string_view name = Trim(attributes.substr(0, equals));
        attributes = Trim(attributes.substr(equals + 1));
        if (attributes.empty() || (attributes.front() != '"' && attributes.front() != '\''))
            return std::nullopt;
        const size_t end = attributes.find(attributes.front(), 1);
        if (end == std::string_view::npos)
            return std::nullopt;
        if (name == wanted)
            return attributes.substr(1, end - 1);
        attributes.remove_prefix(end + 1);
    }
}

struct Argument {
    bool number = false;
    std::string_view text;
};

// `<string>…</string>` or `<number>…</number>` after `open`; `<string/>` is an empty string.
std::optional<Argument> ReadArgument(Scanner& scanner, const Tag& open) {
    if (open.closing || (open.name != "string" && open.name != "number"))
        return std::nullopt;
    Argument argument{open.name == "number", {}};
    if (open.empty)
        return argument;
    argument.text = scanner.Text();
    const auto close = scanner.NextTag();
    if (!close || !close->closing || close->name != open.name)
        return std::nullopt;
    return argument;
}

// `<arguments>…</arguments>` after `open`.
std::optional<std::vector<Argument>> ReadArguments(Scanner& scanner, const Tag& open) {
    std::vector<Argument> arguments;
    if (open.empty)
        return arguments;
    for (;;) {
        const auto tag = scanner.NextTag();
        if (!tag)
            return std::nullopt;
        if (tag->closing && tag->name == "arguments")
            return arguments;
        const auto argument = ReadArgument(scanner, *tag);
        if (!argument)
            return std::nullopt;
        arguments.push_back(*argument);
    }
}

std::optional<double> ReadNumber(std::string_view text) {
    text = Trim(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<PlayerRequest> SendEvent(const std::vector<Argument>& arguments) {
    if (arguments.empty() || arguments[0].number)
        return std::nullopt;
    const std::string_view event = Trim(arguments[0].text);
    if (event == "playpause")
        return PlayerRequest{PlayerRequest::Kind::PlayPause};
    if (event != "position" || arguments.size() < 2)
        return std::nullopt;
    const auto seconds = ReadNumber(arguments[1].text);
    if (!seconds)
        return std::nullopt;
    return PlayerRequest{PlayerRequest::Kind::Seek, std::max(0.0, *seconds)};
}

} // namespace

std::optional<PlayerRequest> ParsePlayerRequest(std::string_view request) {
    Scanner scanner(request);
    const auto invoke = scanner.NextTag();
    if (!invoke || invoke->closing || invoke->name != "invoke")
        return std::nullopt;
    const auto name = Attribute(invoke->attributes, "name");
    if (!name)
        return std::nullopt;
    std::vector<Argument> arguments;
    if (!invoke->empty) {
        auto tag = scanner.NextTag();
        if (tag && !tag->closing && tag->name == "arguments") {
            const auto read = ReadArguments(scanner, *tag);
            if (!read)
                return std::nullopt;
            arguments = *read;
            tag = scanner.NextTag();
        }
        if (!tag || !tag->closing || tag->name != "invoke")
            return std::nullopt;
    }
    if (!scanner.AtEnd())
        return std::nullopt;
    if (*name == "sendEvent")
        return SendEvent(arguments);
    if (*name == "getDuration")
        return PlayerRequest{PlayerRequest::Kind::GetDuration};
    if (*name == "getPosition")
        return PlayerRequest{PlayerRequest::Kind::GetPosition};
    if (*name == "getPlayState")
        return PlayerRequest{PlayerRequest::Kind::GetPlayState};
    return std::nullopt;
}

std::string NumberReply(double value) {
    // Room for the largest double written out in full: sign, 309 digits, point, 3 decimals.
    char digits[std::numeric_limits<double>::max_exponent10 + 1 + 6];
    const auto end = std::to_chars(digits, digits + sizeof digits,
                                   std::isfinite(value) ? value : 0.0, std::chars_format::fixed, 3)
                         .ptr;
    std::string_view text(digits, end - digits);
    while (text.back() == '0')
        text.remove_suffix(1);
    if (text.back() == '.')
        text.remove_suffix(1);
    if (text == "-0")
        text = "0";
    return "<number>" + std::string(text) + "</number>";
}

} // namespace luming
