// Hex cipher text comes from links in web pages.
#include "content/ContentAddress.h"
#include "content/Des.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::string plain = luming::DecryptFromHex(text, luming::ContentKey);
    // Whatever deciphers must encipher back to text of the right length.
    if (!plain.empty() && luming::EncryptToHex(plain, luming::ContentKey).size() % 16 != 0)
        std::abort();
    if (plain.find('\0') != std::string::npos)
        std::abort();
    return 0;
}
