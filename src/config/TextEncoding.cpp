#include "config/TextEncoding.h"

#include <cerrno>
#include <iconv.h>

namespace luming {

char32_t NextCodePoint(std::string_view text, size_t& at) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data()) + at;
    const size_t left = text.size() - at;
    const unsigned char c = *p;
    ++at; // a byte that starts no well-formed sequence is passed over alone
    if (c < 0x80)
        return c;
    size_t length = 0;
    char32_t code = 0;
    char32_t minimum = 0;
    if ((c & 0xE0) == 0xC0) {
        length = 2, code = c & 0x1F, minimum = 0x80;
    } else if ((c & 0xF0) == 0xE0) {
        length = 3, code = c & 0x0F, minimum = 0x800;
    } else if ((c & 0xF8) == 0xF0) {
        length = 4, code = c & 0x07, minimum = 0x10000;
    } else {
        return kNotUtf8;
    }
    if (left < length)
        return kNotUtf8;
    for (size_t i = 1; i < length; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return kNotUtf8;
        code = (code << 6) | (p[i] & 0x3F);
    }
    if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return kNotUtf8;
    at += length - 1;
    return code;
}

void AppendUtf8(std::string& out, char32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
        return;
    }
    constexpr unsigned char kLeadBits[] = {0, 0, 0xC0, 0xE0, 0xF0};
    char bytes[4];
    const size_t length = code < 0x800 ? 2 : code < 0x10000 ? 3 : 4;
    for (size_t i = length - 1; i > 0; --i, code >>= 6)
        bytes[i] = static_cast<char>(0x80 | (code & 0x3F));
    bytes[0] = static_cast<char>(kLeadBits[length] | code);
    out.append(bytes, length);
}

bool IsValidUtf8(std::string_view bytes) {
    for (size_t at = 0; at < bytes.size();)
        if (NextCodePoint(bytes, at) == kNotUtf8)
            return false;
    return true;
}

std::string Gb18030ToUtf8(std::string_view bytes) {
    std::string out;
    iconv_t cd = iconv_open("UTF-8", "GB18030");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return std::string(bytes);
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    char buffer[256];
    while (inLeft > 0) {
        char* outPtr = buffer;
        size_t outLeft = sizeof buffer;
        const size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, static_cast<size_t>(outPtr - buffer));
        if (rc == static_cast<size_t>(-1) && errno != E2BIG) {
            // EILSEQ or EINVAL (a truncated sequence at the end): replace one byte and go on.
            out += "\xEF\xBF\xBD";
            ++in;
            --inLeft;
        }
    }
    iconv_close(cd);
    return out;
}

std::string ToUtf8FromUtf8OrGbk(std::string_view bytes) {
    if (IsValidUtf8(bytes))
        return std::string(bytes);
    return Gb18030ToUtf8(bytes);
}

} // namespace luming
