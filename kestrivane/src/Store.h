#pragma once

#include "HeldRecord.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace kestrivane {

// A complete download in the store.
struct StoredCopy {
    uint64_t size = 0;
    // False when the origin never told the length and the download ended with the connection:
    // a hang-up looks the same, so such a copy is checked against the origin when asked for.
    bool confirmed = true;
};

// What an unfinished copy holds.
struct PartialCopy {
    HeldRanges held;
    // From the copy's held record; none for a plain prefix.
    std::optional<ProgrammeVersion> version;
    bool unreadable = false; // a held record that does not parse: the copy starts over
};

// Where programmes are kept: KESTRIVANE_STORE when set, else "KestrivaneStore" beside the
// library. Each address has a data file and, once its download is complete, a marker holding
// its size (and "unconfirmed" after it when its length was never told). A data file without a
// marker is a download to resume: a copy with holes has a held record beside it (HeldRecord),
// one without is a prefix of the programme (all that older stores kept).
class Store {
public:
    explicit Store(std::filesystem::path directory);
    static std::filesystem::path DefaultDirectory();

    const std::filesystem::path& directory() const { return directory_; }
    std::filesystem::path DataFile(std::string_view sourceUrl, std::string_view extension) const;

    // A complete download, nothing when the file is missing or unfinished.
    std::optional<StoredCopy> Complete(const std::filesystem::path& dataFile) const;
    void MarkComplete(const std::filesystem::path& dataFile, StoredCopy copy) const;
    // The data file is about to change: it is no longer complete.
    void ForgetComplete(const std::filesystem::path& dataFile) const;

    PartialCopy Unfinished(const std::filesystem::path& dataFile) const;
    // Replaces the held record whole; the bytes it names must be on the disk already. False
    // when it could not be written (the older record stands).
    bool RecordHeld(const std::filesystem::path& dataFile, const HeldRecord& record) const;
    void ForgetHeld(const std::filesystem::path& dataFile) const;
    // After a failed download: an empty data file is nothing worth resuming.
    void RemoveIfEmpty(const std::filesystem::path& dataFile) const;

private:
    std::filesystem::path directory_;
};

// The four-character extension of the address's last path segment (".flv"), ".dat" when it has
// none of that form.
std::string PlayExtension(std::string_view sourceUrl);

// The Content-Type the server sends for an extension.
std::string_view ContentTypeFor(std::string_view extension);

} // namespace kestrivane
