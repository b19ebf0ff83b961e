#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace luming {

// The four-part file version stamped into our executables (section ".luming_version", see
// app/VersionStamp.cpp.in): major.minor.release.build.
struct FileVersion {
    uint16_t major = 0;
    uint16_t minor = 0;
    uint16_t release = 0;
    uint16_t build = 0;
};

inline constexpr const char* kVersionSectionName = ".luming_version";

// Where a named section's bytes lie in an ELF file.
struct FileRange {
    uint64_t offset = 0;
    uint64_t size = 0;
};
std::optional<FileRange> FindElfSection(const std::string& path, const std::string& name);

// The version stamped into the executable at `path`; nothing when it carries none.
std::optional<FileVersion> ReadFileVersion(const std::string& path);

// "major.minor.release.build" of the running executable, "0.0.0.0" without a stamp.
std::string GetFileVersionText();

// The build (fourth) component of the running executable's version, 0 without a stamp.
int GetBuildNumber();

// The running executable's path (resolved through /proc/self/exe).
std::string RunningExecutablePath();

} // namespace luming
