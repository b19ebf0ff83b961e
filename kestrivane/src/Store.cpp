#include "Store.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <system_error>
#include <unistd.h>

namespace kestrivane {

namespace {

uint64_t Fnv1a(std::string_view text) {
    uint64_t hash = 0xcbf29ce484222325ULL;
    for (unsigned char c : text) {
        hash ^= c;
        hash *= 0x100000001b3ULL;
    }
    return hash;
}

std::filesystem::path MarkerFile(const std::filesystem::path& dataFile) {
    std::filesystem::path marker = dataFile;
    marker += ".complete";
    return marker;
}

std::filesystem::path HeldFile(const std::filesystem::path& dataFile) {
    std::filesystem::path held = dataFile;
    held += ".held";
    return held;
}

constexpr std::string_view kUnconfirmed = "unconfirmed";

// Writes `text` beside `file`, to disk, then puts it in the file's place: a crash leaves the
// old file or the new one, never a part.
bool ReplaceFile(const std::filesystem::path& file, const std::string& text) {
    std::filesystem::path temporary = file;
    temporary += ".new";
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t n = ::write(fd, text.data() + written, text.size() - written);
        if (n <= 0)
            break;
        written += static_cast<std::size_t>(n);
    }
    const bool synced = written == text.size() && ::fsync(fd) == 0;
    if (::close(fd) != 0 || !synced || ::rename(temporary.c_str(), file.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

// Any function of the library tells where the library was loaded from.
void LocateLibrary() {}

} // namespace

Store::Store(std::filesystem::path directory) : directory_(std::move(directory)) {
    std::error_code ignored;
    std::filesystem::create_directories(directory_, ignored);
}

std::filesystem::path Store::DefaultDirectory() {
    if (const char* configured = std::getenv("KESTRIVANE_STORE"); configured && *configured)
        return configured;
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&LocateLibrary), &info) != 0 && info.dli_fname)
        return std::filesystem::absolute(info.dli_fname).parent_path() / "KestrivaneStore";
    return std::filesystem::current_path() / "KestrivaneStore";
}

std::filesystem::path Store::DataFile(std::string_view sourceUrl,
                                      std::string_view extension) const {
    std::array<char, 17> name{};
    std::snprintf(name.data(), name.size(), "%016llx",
                  static_cast<unsigned long long>(Fnv1a(sourceUrl)));
    return directory_ / (std::string(name.data()) + std::string(extension));
}

std::optional<StoredCopy> Store::Complete(const std::filesystem::path& dataFile) const {
    std::ifstream marker(MarkerFile(dataFile));
    StoredCopy copy;
    std::error_code error;
    if (!(marker >> copy.size))
        return std::nullopt;
    std::string remark;
    copy.confirmed = !(marker >> remark) || remark != kUnconfirmed;
    const auto actual = std::filesystem::file_size(dataFile, error);
    if (error || actual != copy.size)
        return std::nullopt;
    return copy;
}

void Store::MarkComplete(const std::filesystem::path& dataFile, StoredCopy copy) const {
    std::string marker = std::to_string(copy.size);
    if (!copy.confirmed)
        marker += " " + std::string(kUnconfirmed);
    ReplaceFile(MarkerFile(dataFile), marker + "\n");
}

void Store::ForgetComplete(const std::filesystem::path& dataFile) const {
    std::error_code ignored;
    std::filesystem::remove(MarkerFile(dataFile), ignored);
}

PartialCopy Store::Unfinished(const std::filesystem::path& dataFile) const {
    PartialCopy copy;
    std::error_code error;
    const uint64_t size = std::filesystem::file_size(dataFile, error);
    if (error)
        return copy;
    std::ifstream file(HeldFile(dataFile), std::ios::binary);
    if (!file)
        return {HeldRanges::Prefix(size), std::nullopt, false};
    std::ostringstream text;
    text << file.rdbuf();
    auto record = ParseHeldRecord(text.str());
    if (!record) {
        copy.unreadable = true;
        return copy;
    }
    record->held.CutAt(size);
    return {std::move(record->held), std::move(record->version), false};
}

bool Store::RecordHeld(const std::filesystem::path& dataFile, const HeldRecord& record) const {
    return ReplaceFile(HeldFile(dataFile), FormatHeldRecord(record));
}

void Store::ForgetHeld(const std::filesystem::path& dataFile) const {
    std::error_code ignored;
    std::filesystem::remove(HeldFile(dataFile), ignored);
}

void Store::RemoveIfEmpty(const std::filesystem::path& dataFile) const {
    std::error_code error;
    if (std::filesystem::file_size(dataFile, error) == 0 && !error) {
        std::filesystem::remove(dataFile, error);
        ForgetHeld(dataFile);
    }
}

std::string PlayExtension(std::string_view sourceUrl) {
    std::string_view path = sourceUrl.substr(0, sourceUrl.find_first_of("?#"));
    path = path.substr(path.rfind('/') == std::string_view::npos ? 0 : path.rfind('/') + 1);
    const std::size_t dot = path.rfind('.');
    if (dot == std::string_view::npos || path.size() - dot != 4)
        return ".dat";
    std::string extension(path.substr(dot));
    if (!std::all_of(extension.begin() + 1, extension.end(),
                     [](unsigned char c) { return std::isalnum(c) != 0; }))
        return ".dat";
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

std::string_view ContentTypeFor(std::string_view extension) {
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 6> kTypes = {{
        {".flv", "video/x-flv"},
        {".mp3", "audio/mpeg"},
        {".swf", "application/x-shockwave-flash"},
        {".txt", "text/plain"},
        {".rar", "application/vnd.rar"},
        {".zip", "application/zip"},
    }};
    for (const auto& [known, type] : kTypes)
        if (known == extension)
            return type;
    return "application/octet-stream";
}

} // namespace kestrivane
