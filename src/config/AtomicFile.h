#pragma once

#include <optional>
#include <string>

namespace luming {

// Reads a whole file; nothing when it cannot be opened.
std::optional<std::string> ReadWholeFile(const std::string& path);

// Replaces the file's contents all at once: the bytes go to a temporary file in the same
// directory, are flushed to disk, and the temporary file is renamed over the target. A crash or a
// full disk leaves either the old file or the new one, never a mix. The target's permission bits
// are kept. A symbolic link stays in place and its target is written; a target that is read-only
// is refused. A new file gets the usual permissions (0666 less the umask). Temporary files left
// beside the target by earlier writes that never finished are removed first. When the directory
// refuses the temporary file but the target is writable, the target is written in place.
// Returns false (and leaves the target untouched) on any other failure.
bool WriteFileAtomically(const std::string& path, const std::string& bytes);

} // namespace luming
