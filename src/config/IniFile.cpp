#include "config/IniFile.h"

#include "config/AtomicFile.h"
#include "config/IniDocument.h"
#include "config/TextEncoding.h"

namespace luming {

std::string ReadIniString(const std::string& path, const std::string& section,
                          const std::string& key, const std::string& fallback) {
    const auto bytes = ReadWholeFile(path);
    if (!bytes)
        return fallback;
    const auto value = IniDocument(*bytes).Value(section, key);
    return value ? ToUtf8FromUtf8OrGbk(*value) : fallback;
}

std::string ReadIniValue(const std::string& path, const std::string& section,
                         const std::string& key) {
    return ReadIniString(path, section, key, "0");
}

bool WriteIniValue(const std::string& path, const std::string& section, const std::string& key,
                   const std::string& value) {
    const auto bytes = ReadWholeFile(path);
    if (!bytes)
        return false;
    IniDocument document(*bytes);
    if (!document.SetValue(section, key, value))
        return false;
    return WriteFileAtomically(path, document.Bytes());
}

} // namespace luming
