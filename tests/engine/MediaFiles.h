#pragma once

#include <filesystem>
#include <optional>

namespace luming::test {

// Test media made with ffmpeg, and their durations as ffprobe reads them. Nothing when the tools
// are missing (the tests then skip).
bool MediaToolsPresent();
// A 3 s Sorenson video (160x120, 25 fps) with MP3 sound.
std::optional<std::filesystem::path> MakeFlv(const std::filesystem::path& dir);
// A 2 s sine tone.
std::optional<std::filesystem::path> MakeMp3(const std::filesystem::path& dir);
// Seconds.
std::optional<double> ProbeDuration(const std::filesystem::path& file);

} // namespace luming::test
