#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace luming {

// The text of an INI file with the semantics of the Windows private-profile routines:
// section and key names compare without regard to (ASCII) case, the first section and the first
// key of a name win, a value is trimmed and loses one pair of surrounding quotes. Setting a value
// rewrites that one line (or inserts one) and keeps every other byte as it was, line ends included.
class IniDocument {
public:
    explicit IniDocument(std::string_view bytes = {});

    // The stored value as raw bytes (no decoding), or nothing when section or key is missing.
    std::optional<std::string> Value(std::string_view section, std::string_view key) const;

    // False when the section, key or value cannot be stored on one line (empty key, a line
    // break, "=" in the key, "]" in the section); the document is unchanged then.
    bool SetValue(std::string_view section, std::string_view key, std::string_view value);

    std::string Bytes() const;

private:
    struct Line {
        std::string text; // without its line end
        std::string end;  // "\r\n", "\n", "\r" or "" for a last line without one
    };
    struct Span {
        size_t header = 0; // index of the "[section]" line
        size_t last = 0;   // index of the section's last line (before the next header)
    };

    std::optional<Span> FindSection(std::string_view section) const;
    std::optional<size_t> FindKey(const Span& span, std::string_view key) const;
    std::string LineEnd() const;

    std::string bom_;
    std::vector<Line> lines_;
};

} // namespace luming
