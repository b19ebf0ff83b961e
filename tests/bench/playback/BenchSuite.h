#pragma once

#include "support/LoopbackServer.h"

#include <QOpenGLWidget>
#include <QPointer>
#include <QStringList>

#include <benchmark/benchmark.h>

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace luming {
class MpvVideoWindow;
}

namespace luming::bench {

// An edition directory of the client under the temporary directory, with the demo's kinds of
// programme in its cache: a 640×360 video at 25 frames on a moving blue gradient (node 2), an
// MP3 (node 3), a 320×240 Flash movie at 12 frames with sound (node 4), a short red video
// (node 5) and a text programme that plays nothing (node 1).
struct BenchSuite {
    static const std::filesystem::path& Root();
    static std::filesystem::path Edition() { return Root() / "26"; }
    static std::filesystem::path Cache() { return Edition() / "Caches" / "26"; }
    // Serves the three advertising pages on `site` and writes the suite that names them.
    static void Make(test::LoopbackServer& site);
};

enum Node : int { kQuiet = 1, kVideo = 2, kAudio = 3, kFlash = 4, kRed = 5 };

// Makes `file` with ffmpeg from `arguments` (its inputs and codecs), unless it exists.
void Ffmpeg(const std::filesystem::path& file, const QStringList& arguments);

// The console's report, with each benchmark's time in seconds kept for the figures after it.
class SecondsReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override;
    // The time of the first benchmark whose name starts with `prefix`; 0 for none.
    double Find(const std::string& prefix) const;
    std::map<std::string, double> seconds;
};

// What the client's main() does before its QApplication exists (the heap policy, Ruffle's scheme,
// one renderer per site, shared GL contexts, no sandbox as root); call setlocale(LC_NUMERIC, "C")
// after it.
void PrepareLikeTheClient();

// Pumps the event loop until `done` or 30 s; false on the timeout.
bool RunUntil(const std::function<bool()>& done);

// The middle value (the upper one of an even count); 0 for none.
double Median(std::vector<double> values);

// The "key=value" words of a benchmark program's output.
std::map<std::string, double> Figures(const QByteArray& output);

// The figures of luming_bare_parts (beside this program) playing `mode` (video, audio or flash)
// with the advertising pages of `site` and Ruffle from `ruffleDir`.
std::map<std::string, double> BareFigures(const std::string& mode, test::LoopbackServer& site,
                                          const QString& ruffleDir);

// Each web view in `window` (named after the control it belongs to) with its renderer process
// and that process's PSS: what each view costs the tree, one line each.
void PrintViewCosts(QWidget* window);

// The machine's load over 1, 5 and 15 minutes, as /proc/loadavg gives it ("1.52 0.98 0.61").
std::string LoadAverage();

// The window's video picture; nullptr until the player movie has been made.
MpvVideoWindow* FindVideoWindow();

// What a GL widget or the window's video picture last put on screen, read at its centre with
// every frame: the programme's blue gradient, or the red clip played in between (so an old
// picture is never taken for a new one).
class PictureWatch : public QObject {
public:
    void Watch(QOpenGLWidget* surface);
    void Watch(MpvVideoWindow* surface);
    bool Blue() const { return pixel_[2] > pixel_[0] + 40; }
    bool Red() const { return pixel_[0] > pixel_[2] + 40; }
    // Frames seen so far: the same CPU for fewer frames would be no saving.
    int Frames() const { return frames_; }

private:
    // From `framebuffer` of the current GL context, holding a picture of `size`.
    void ReadCentre(GLuint framebuffer, QSize size);

    QPointer<QObject> surface_; // a lost one is watched anew under the same address
    unsigned char pixel_[4] = {};
    int frames_ = 0;
};

} // namespace luming::bench
