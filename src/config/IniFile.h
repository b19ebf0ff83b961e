#pragma once

#include <string>

#include "config/IniDocument.h"

namespace luming {

// One value of an INI file, read afresh from disk (as the Windows routines do). A missing file,
// section or key gives `fallback`. The value is UTF-8; one that is not valid UTF-8 is read as GBK.
std::string ReadIniString(const std::string& path, const std::string& section,
                          const std::string& key, const std::string& fallback);

// A whole settings file read once, for reading several values without reading it again.
// A file that cannot be read reads as empty.
class IniSnapshot {
public:
    explicit IniSnapshot(const std::string& path);
    // As ReadIniString, from the text read at construction.
    std::string Read(const std::string& section, const std::string& key,
                     const std::string& fallback) const;

private:
    IniDocument document_;
};

// ReadIniString with "0" for a missing file or key.
std::string ReadIniValue(const std::string& path, const std::string& section,
                         const std::string& key);

// Writes one value into a file that already exists, keeping every other line byte for byte; the
// file is replaced atomically. False when the file does not exist (it is never created), the
// value cannot stand on one line, or writing fails.
bool WriteIniValue(const std::string& path, const std::string& section, const std::string& key,
                   const std::string& value);

} // namespace luming
