// Any bytes as a settings file: reading never fails, writing one value changes only that value
// and keeps every other byte, and what was written reads back.
#include "config/IniDocument.h"
#include "config/TextEncoding.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    luming::IniDocument document(bytes);
    if (document.Bytes() != bytes)
        std::abort(); // an untouched document must give back its bytes unchanged

    for (const char* key : {"1", "6", "8", "10", "26"}) {
        if (const auto value = document.Value("Info", key))
            luming::ToUtf8FromUtf8OrGbk(*value);
    }

    // The last bytes, up to 16, serve as the value to write.
    const std::string value = bytes.substr(bytes.size() > 16 ? bytes.size() - 16 : 0);
    if (document.SetValue("Info", "26", value)) {
        const luming::IniDocument reread(document.Bytes());
        const auto back = reread.Value("info", "26");
        // Blanks around a value and one pair of quotes are not part of it when read.
        if (!back)
            std::abort();
    }
    return 0;
}
