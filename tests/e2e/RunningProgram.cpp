#include "RunningProgram.h"

#include "config/FileVersion.h"

#include <QProcessEnvironment>

#include <chrono>
#include <fstream>
#include <thread>

namespace luming::test {

namespace fs = std::filesystem;

Installation::Installation(const fs::path& root, int buildNumber)
    : appDir_(root / std::to_string(buildNumber)) {
    fs::create_directories(root / "Config");
    std::ofstream(root / "Config" / "Source.ini");
    fs::create_directories(appDir_);
    fs::copy_file(LUMING_EXECUTABLE, executable(), fs::copy_options::overwrite_existing);
    // Ruffle's files travel with the executable: without them there is no Flash control.
    fs::copy(fs::path(LUMING_EXECUTABLE).parent_path() / "ruffle", appDir_ / "ruffle",
             fs::copy_options::recursive | fs::copy_options::overwrite_existing);

    const auto stamp = FindElfSection(executable().string(), kVersionSectionName);
    if (stamp) {
        std::fstream file(executable(), std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(static_cast<std::streamoff>(stamp->offset + 10));
        file.put(static_cast<char>(buildNumber & 0xFF)).put(static_cast<char>(buildNumber >> 8));
    }
}

RunningProgram::RunningProgram(const Installation& installation, const QStringList& arguments,
                               const fs::path& lockDirectory)
    : RunningProgram(installation.appDir(), arguments, lockDirectory) {}

RunningProgram::RunningProgram(const fs::path& appDir, const QStringList& arguments,
                               const fs::path& lockDirectory)
    : process_(std::make_unique<QProcess>()) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // The single-instance lock lives in the temporary directory: one per test.
    environment.insert("TMPDIR", QString::fromStdString(lockDirectory.string()));
    environment.insert("QTWEBENGINE_DISABLE_SANDBOX", "1");
    environment.insert("KESTRIVANE_STORE",
                       QString::fromStdString((lockDirectory / "store").string()));
    process_->setProcessEnvironment(environment);
    process_->setProcessChannelMode(QProcess::MergedChannels);
    process_->setWorkingDirectory(QString::fromStdString(appDir.string()));
    process_->start(QString::fromStdString((appDir / "luming").string()), arguments);
    process_->waitForStarted(10000);
}

RunningProgram::~RunningProgram() {
    Kill();
}

qint64 RunningProgram::pid() const {
    return process_->processId();
}

std::vector<pid_t> RunningProgram::Children() const {
    std::vector<pid_t> children;
    const fs::path tasks = "/proc/" + std::to_string(pid()) + "/task";
    std::error_code gone;
    for (const auto& task : fs::directory_iterator(tasks, gone)) {
        std::ifstream list(task.path() / "children");
        for (pid_t child = 0; list >> child;)
            children.push_back(child);
    }
    return children;
}

bool RunningProgram::running() const {
    return process_->state() == QProcess::Running;
}

int RunningProgram::WaitForExit(int timeoutMs) {
    if (!process_->waitForFinished(timeoutMs))
        return -1;
    return process_->exitStatus() == QProcess::NormalExit ? process_->exitCode() : -1;
}

void RunningProgram::Kill() {
    if (process_->state() != QProcess::NotRunning) {
        process_->kill();
        process_->waitForFinished(5000);
    }
}

QString RunningProgram::Output() {
    process_->waitForReadyRead(100);
    return QString::fromUtf8(process_->readAll());
}

std::string RunningProgram::Backtrace() const {
    QProcess gdb;
    gdb.setProcessChannelMode(QProcess::MergedChannels);
    gdb.start("gdb", {"-p", QString::number(pid()), "-batch", "-ex", "thread apply all bt"});
    if (!gdb.waitForFinished(30000))
        return "(gdb did not answer)";
    return gdb.readAll().toStdString();
}

bool WaitUntil(const std::function<bool()>& condition, int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < deadline) {
        if (condition())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return condition();
}

} // namespace luming::test
