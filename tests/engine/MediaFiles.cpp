#include "engine/MediaFiles.h"

#include <QProcess>
#include <QStandardPaths>

namespace luming::test {

namespace {

std::optional<QByteArray> Run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        return std::nullopt;
    return process.readAllStandardOutput();
}

std::optional<std::filesystem::path> Make(const std::filesystem::path& file,
                                          const QStringList& arguments) {
    QStringList all = {"-loglevel", "error", "-y"};
    all << arguments << QString::fromStdString(file.string());
    if (!Run("ffmpeg", all))
        return std::nullopt;
    return file;
}

} // namespace

bool MediaToolsPresent() {
    return !QStandardPaths::findExecutable("ffmpeg").isEmpty() &&
           !QStandardPaths::findExecutable("ffprobe").isEmpty();
}

std::optional<std::filesystem::path> MakeFlv(const std::filesystem::path& dir) {
    return Make(dir / "x.flv",
                {"-f", "lavfi", "-i", "testsrc=duration=3:size=160x120:rate=25", "-f", "lavfi",
                 "-i", "sine=duration=3", "-c:v", "flv1", "-c:a", "libmp3lame", "-ar", "22050"});
}

std::optional<std::filesystem::path> MakeMp3(const std::filesystem::path& dir) {
    return Make(dir / "x.mp3", {"-f", "lavfi", "-i", "sine=duration=2", "-c:a", "libmp3lame"});
}

std::optional<double> ProbeDuration(const std::filesystem::path& file) {
    const auto out = Run("ffprobe", {"-v", "error", "-show_entries", "format=duration", "-of",
                                     "default=nw=1:nk=1", QString::fromStdString(file.string())});
    bool ok = false;
    const double seconds = out ? out->trimmed().toDouble(&ok) : 0;
    return ok ? std::optional(seconds) : std::nullopt;
}

} // namespace luming::test
