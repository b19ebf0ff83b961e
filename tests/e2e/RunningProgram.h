#pragma once

#include <QProcess>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <sys/types.h>
#include <vector>

namespace luming::test {

// A copy of the client installed as an edition inside a suite directory:
// <root>/Config/Source.ini and <root>/<edition>/luming.
class Installation {
public:
    // `buildNumber` other than the built one is patched into the copy's version stamp.
    Installation(const std::filesystem::path& root, int buildNumber);
    std::filesystem::path appDir() const { return appDir_; }
    std::filesystem::path executable() const { return appDir_ / "luming"; }

private:
    std::filesystem::path appDir_;
};

// The client running in its own process; killed when the object goes.
class RunningProgram {
public:
    RunningProgram(const Installation& installation, const QStringList& arguments,
                   const std::filesystem::path& lockDirectory);
    // The executable "luming" in `appDir`, an installation laid out by other means.
    RunningProgram(const std::filesystem::path& appDir, const QStringList& arguments,
                   const std::filesystem::path& lockDirectory);
    ~RunningProgram();

    qint64 pid() const;
    // The processes it started (the web engine's), by their ids.
    std::vector<pid_t> Children() const;
    bool running() const;
    // Waits for the process to end by itself; its exit code, or -1 when it did not end in time.
    int WaitForExit(int timeoutMs);
    void Kill();
    QString Output();
    // What every thread of the process is doing (needs gdb), for reports of a stuck start.
    std::string Backtrace() const;

private:
    std::unique_ptr<QProcess> process_;
};

// Polls `condition` every 50 ms until it holds or `timeoutMs` passes.
bool WaitUntil(const std::function<bool()>& condition, int timeoutMs);

} // namespace luming::test
