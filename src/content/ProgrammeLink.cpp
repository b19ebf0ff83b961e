#include "content/ProgrammeLink.h"

#include "content/ContentAddress.h"
#include "content/Des.h"

#include <algorithm>

namespace luming {

namespace {

constexpr std::string_view kMarker = "TJID_";

bool IsBlank(char c) {
    const auto code = static_cast<unsigned char>(c);
    return code >= 1 && code <= 32;
}

bool SameLetters(std::string_view text, std::string_view upperCaseMarker) {
    return std::equal(text.begin(), text.end(), upperCaseMarker.begin(), [](char a, char b) {
        return (a >= 'a' && a <= 'z' ? static_cast<char>(a - 'a' + 'A') : a) == b;
    });
}

class ItemReader {
public:
    explicit ItemReader(std::string_view text) : text_(text) {}

    std::vector<std::string> ReadAll() {
        std::vector<std::string> items;
        SkipBlanks();
        while (pos_ < text_.size()) {
            items.push_back(text_[pos_] == '"' ? QuotedItem() : PlainItem());
            SkipBlanks();
            if (pos_ < text_.size() && text_[pos_] == '_') {
                ++pos_;
                if (pos_ == text_.size())
                    items.emplace_back();
                SkipBlanks();
            }
        }
        return items;
    }

private:
    void SkipBlanks() {
        while (pos_ < text_.size() && IsBlank(text_[pos_]))
            ++pos_;
    }

    std::string PlainItem() {
        const std::size_t start = pos_;
        while (pos_ < text_.size() && !IsBlank(text_[pos_]) && text_[pos_] != '_')
            ++pos_;
        return std::string(text_.substr(start, pos_ - start));
    }

    // From the opening quote to its closing one; an unclosed quote takes the rest.
    std::string QuotedItem() {
        std::string item;
        ++pos_;
        while (pos_ < text_.size()) {
            const char c = text_[pos_++];
            if (c != '"') {
                item += c;
            } else if (pos_ < text_.size() && text_[pos_] == '"') {
                item += '"';
                ++pos_;
            } else {
                break;
            }
        }
        return item;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

} // namespace

std::optional<std::string_view> LinkPayload(std::string_view address) {
    for (std::size_t i = 0; i + kMarker.size() <= address.size(); ++i)
        if (SameLetters(address.substr(i, kMarker.size()), kMarker))
            return address.substr(i + kMarker.size());
    return std::nullopt;
}

std::vector<std::string> SplitLinkItems(std::string_view payload) {
    return ItemReader(payload).ReadAll();
}

std::optional<LinkRecord> ParseProgrammeLink(std::string_view address) {
    const auto payload = LinkPayload(address);
    if (!payload)
        return std::nullopt;
    std::vector<std::string> items = SplitLinkItems(*payload);
    if (items.size() < 4)
        return std::nullopt;
    return LinkRecord{DecryptFromHex(items[0], ContentKey), std::move(items[1]),
                      std::move(items[2]), std::move(items[3])};
}

} // namespace luming
