#include "config/AtomicFile.h"

#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace luming {

namespace fs = std::filesystem;

std::optional<std::string> ReadWholeFile(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in.bad())
        return std::nullopt;
    return std::move(bytes).str();
}

namespace {

bool WriteAll(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

// The permission bits a newly created file gets (0666 less the process's umask), read without
// changing the umask, which other threads may rely on at the same moment.
mode_t NewFileMode() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("Umask:", 0) == 0)
            return 0666 & ~static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8));
    return 0644;
}

// Whether `name` is `base` followed by "." and the six letters or digits the temporary file's
// name ends in.
bool IsTemporaryOf(const std::string& name, const std::string& base) {
    if (name.size() != base.size() + 7 || name.compare(0, base.size(), base) != 0 ||
        name[base.size()] != '.')
        return false;
    for (size_t i = base.size() + 1; i < name.size(); ++i)
        if (!std::isalnum(static_cast<unsigned char>(name[i])))
            return false;
    return true;
}

// Temporary files of earlier writes that were killed before their rename; without this they
// would pile up beside the file, one per interrupted write.
void RemoveStaleTemporaries(const std::string& path) {
    const fs::path target(path);
    const std::string base = target.filename().string();
    std::error_code error;
    for (fs::directory_iterator entry(target.parent_path(), error), end; !error && entry != end;
         entry.increment(error))
        if (IsTemporaryOf(entry->path().filename().string(), base))
            fs::remove(entry->path(), error);
}

// For a directory that takes no new file while the file itself may be written (a read-only
// Config folder with a writable local.ini): the bytes go over the old ones and the file is cut
// to their length. Not all at once, but the setting is kept.
bool WriteInPlace(const std::string& path, const std::string& bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool written = WriteAll(fd, bytes) &&
                         ::ftruncate(fd, static_cast<off_t>(bytes.size())) == 0 && ::fsync(fd) == 0;
    return ::close(fd) == 0 && written;
}

} // namespace

bool WriteFileAtomically(const std::string& linkOrPath, const std::string& bytes) {
    // A write past a file-size limit must fail as an error, not end the process.
    std::signal(SIGXFSZ, SIG_IGN);

    // A link stays a link: the file it points to is the one written.
    std::string path = linkOrPath;
    if (char* target = ::realpath(linkOrPath.c_str(), nullptr)) {
        path = target;
        std::free(target);
    }
    // A file that is not writable (for an administrator: not writable by anyone) is pinned and
    // stays as it is, though its directory would let it be replaced.
    struct stat existing {};
    const bool exists = ::stat(path.c_str(), &existing) == 0;
    if (exists && ((existing.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0))
        return false;

    RemoveStaleTemporaries(path);
    std::string temp = path + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0)
        return exists && (errno == EACCES || errno == EPERM) && WriteInPlace(path, bytes);

    struct stat old {};
    ::fchmod(fd, ::stat(path.c_str(), &old) == 0 ? old.st_mode & 07777 : NewFileMode());

    const bool written = WriteAll(fd, bytes) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || ::rename(temp.c_str(), path.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    return true;
}

} // namespace luming
