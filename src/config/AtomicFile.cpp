#include "config/AtomicFile.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace luming {

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
    if (::stat(path.c_str(), &existing) == 0 &&
        ((existing.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0))
        return false;

    std::string temp = path + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0)
        return false;

    struct stat old {};
    if (::stat(path.c_str(), &old) == 0)
        ::fchmod(fd, old.st_mode & 07777);

    const bool written = WriteAll(fd, bytes) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || ::rename(temp.c_str(), path.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    return true;
}

} // namespace luming
