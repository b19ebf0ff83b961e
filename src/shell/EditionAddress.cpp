#include "shell/EditionAddress.h"

#include <cctype>

namespace luming {

std::string EditionAddress(const std::string& address, int editionNo) {
    static constexpr char kSuffix[] = ".html";
    constexpr size_t kLength = sizeof kSuffix - 1;
    const std::string replacement = std::to_string(editionNo) + kSuffix;
    std::string result;
    size_t i = 0;
    while (i < address.size()) {
        bool match = i + kLength <= address.size();
        for (size_t k = 0; match && k < kLength; ++k)
            match = std::tolower(static_cast<unsigned char>(address[i + k])) == kSuffix[k];
        if (match) {
            result += replacement;
            i += kLength;
        } else {
            result += address[i++];
        }
    }
    return result;
}

} // namespace luming
