#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace kestrivane {

// Where programmes are kept: KESTRIVANE_STORE when set, else "KestrivaneStore" beside the
// library. Each address has a data file and, once its download is complete, a marker holding
// its size; a data file without a marker is a download to resume.
class Store {
public:
    explicit Store(std::filesystem::path directory);
    static std::filesystem::path DefaultDirectory();

    const std::filesystem::path& directory() const { return directory_; }
    std::filesystem::path DataFile(std::string_view sourceUrl, std::string_view extension) const;

    // The size of a complete download, nothing when the file is missing or unfinished.
    std::optional<uint64_t> CompleteSize(const std::filesystem::path& dataFile) const;
    void MarkComplete(const std::filesystem::path& dataFile, uint64_t size) const;

private:
    std::filesystem::path directory_;
};

// The four-character extension of the address's last path segment (".flv"), ".dat" when it has
// none of that form.
std::string PlayExtension(std::string_view sourceUrl);

// The Content-Type the server sends for an extension.
std::string_view ContentTypeFor(std::string_view extension);

} // namespace kestrivane
