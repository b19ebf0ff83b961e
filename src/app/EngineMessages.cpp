#include "app/EngineMessages.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <string>
#include <sys/prctl.h>
#include <unistd.h>

namespace luming {

namespace {

constexpr std::string_view kClientPrefix = "luming: ";

void WriteAll(int to, std::string_view text) {
    while (!text.empty()) {
        const ssize_t written = write(to, text.data(), text.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return; // nowhere to write to: the lines are dropped, the reading goes on
        text.remove_prefix(static_cast<size_t>(written));
    }
}

} // namespace

bool IsClientLine(std::string_view line) {
    return line.substr(0, kClientPrefix.size()) == kClientPrefix;
}

void PassClientLines(int from, int to) {
    std::string pending;
    char buffer[4096];
    for (;;) {
        const ssize_t count = read(from, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            break;
        pending.append(buffer, static_cast<size_t>(count));
        size_t start = 0;
        for (size_t end; (end = pending.find('\n', start)) != std::string::npos; start = end + 1) {
            const std::string_view line(pending.data() + start, end + 1 - start);
            if (IsClientLine(line))
                WriteAll(to, line);
        }
        pending.erase(0, start);
    }
    if (IsClientLine(pending))
        WriteAll(to, pending + "\n");
}

void HoldBackEngineMessages() {
#if defined(__SANITIZE_ADDRESS__)
    return;
#else
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0)
        return;
    const pid_t filter = fork();
    if (filter < 0) {
        close(ends[0]);
        close(ends[1]);
        return;
    }
    if (filter == 0) {
        close(ends[1]);
        // It ends when the last writer does, not on the signals that end the program: the
        // program's last lines still come through.
        for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE})
            std::signal(signal, SIG_IGN);
        prctl(PR_SET_NAME, "luming-stderr");
        const int nothing = open("/dev/null", O_RDWR | O_CLOEXEC);
        if (nothing >= 0) { // it holds no pipe of whoever reads the program's output
            dup2(nothing, STDIN_FILENO);
            dup2(nothing, STDOUT_FILENO);
        }
        PassClientLines(ends[0], STDERR_FILENO);
        _exit(0);
    }
    close(ends[0]);
    dup2(ends[1], STDERR_FILENO); // without close-on-exec: the engines' processes inherit it
    close(ends[1]);
#endif
}

} // namespace luming
