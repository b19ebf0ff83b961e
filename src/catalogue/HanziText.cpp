#include "catalogue/HanziText.h"

#include "catalogue/HanziTable.h"
#include "config/TextEncoding.h"

namespace luming {

namespace {

char32_t SimplifiedOf(char32_t code) {
    const Hanzi* hanzi = FindHanzi(code);
    return hanzi && hanzi->simplified ? hanzi->simplified : 0;
}

} // namespace

bool HasTraditional(std::string_view text) {
    for (size_t at = 0; at < text.size();) {
        // ASCII is most of the bytes of many names, and no character of the table.
        if (static_cast<unsigned char>(text[at]) < 0x80) {
            ++at;
            continue;
        }
        if (SimplifiedOf(NextCodePoint(text, at)))
            return true;
    }
    return false;
}

std::string SimplifiedText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t at = 0; at < text.size();) {
        const size_t start = at;
        if (const char32_t simplified = SimplifiedOf(NextCodePoint(text, at)))
            AppendUtf8(out, simplified);
        else
            out.append(text.substr(start, at - start));
    }
    return out;
}

void AppendReadingSets(std::string_view text, std::vector<uint16_t>& out) {
    const size_t begin = out.size();
    for (size_t at = 0; at < text.size();) {
        const char32_t code = NextCodePoint(text, at);
        if (IsBlank(code))
            continue;
        const Hanzi* hanzi = code < 0x80 ? nullptr : FindHanzi(code);
        const uint16_t set = hanzi ? hanzi->readings : kNoReadings;
        if (set != kNoReadings || (out.size() > begin && out.back() != kNoReadings))
            out.push_back(set);
    }
    if (out.size() > begin && out.back() == kNoReadings)
        out.pop_back();
}

} // namespace luming
