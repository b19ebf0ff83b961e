#include "config/IniFile.h"

#include "config/AtomicFile.h"
#include "config/TextEncoding.h"

namespace luming {

IniSnapshot::IniSnapshot(const std::string& path)
    : document_(ReadWholeFile(path).value_or(std::string())) {}

std::string IniSnapshot::Read(const std::string& section, const std::string& key,
                              const std::string& fallback) const {
    const auto value = document_.Value(section, key);
    return value ? ToUtf8FromUtf8OrGbk(*value) : fallback;
}

std::string ReadIniString(const std::string& path, const std::string& section,
                          const std::string& key, const std::string& fallback) {
    return IniSnapshot(path).Read(section, key, fallback);
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
