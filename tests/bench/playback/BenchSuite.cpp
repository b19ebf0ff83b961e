#include "BenchSuite.h"
#include "app/EngineFlags.h"
#include "engine/ProcessMemory.h"
#include "platform/HeapPolicy.h"
#include "platform/mpv/MpvVideoWindow.h"
#include "platform/ruffle/RuffleMovie.h"

#include <QGuiApplication>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTimer>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <algorithm>
#include <chrono>
#include <fstream>

namespace luming::bench {

namespace fs = std::filesystem;

namespace {

// The vendor's three advertising pages, small as the demo's.
void ServeAdvertising(test::LoopbackServer& site) {
    for (const char* page :
         {"/ad/StatusBar26.html", "/ad/ChannelAds26.html", "/ad/PauseAds26.html"})
        site.server().Get(page, [](const httplib::Request&, httplib::Response& response) {
            response.set_content("<!DOCTYPE html><html><body style=\"background:#F4F9FF\">"
                                 "<h1>每天读一首古诗</h1><p>休息一下眼睛。</p></body></html>",
                                 "text/html; charset=utf-8");
        });
    site.Start();
}

} // namespace

void Ffmpeg(const fs::path& file, const QStringList& arguments) {
    if (fs::exists(file))
        return;
    QProcess::execute("ffmpeg", QStringList{"-loglevel", "error", "-y"} + arguments +
                                    QStringList{QString::fromStdString(file.string())});
}

void SecondsReporter::ReportRuns(const std::vector<Run>& runs) {
    for (const Run& run : runs)
        seconds[run.benchmark_name()] =
            run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
    ConsoleReporter::ReportRuns(runs);
}

double SecondsReporter::Find(const std::string& prefix) const {
    for (const auto& [name, value] : seconds)
        if (name.rfind(prefix, 0) == 0)
            return value;
    return 0;
}

const fs::path& BenchSuite::Root() {
    static const fs::path root = fs::temp_directory_path() / "luming-playback-bench";
    return root;
}

void BenchSuite::Make(test::LoopbackServer& site) {
    ServeAdvertising(site);
    const fs::path cache = Cache();
    fs::create_directories(cache);
    fs::create_directories(Edition() / "Config");
    std::ofstream(Edition() / "Config" / "platform.ini")
        << "[Info]\n14=" << site.url("/ad/StatusBar.html")
        << "\n15=" << site.url("/ad/ChannelAds.html") << "\n16=" << site.url("/ad/PauseAds.html")
        << "\n";
    fs::create_directories(Root() / "Config");
    std::ofstream(Root() / "Config" / "Source.ini");
    fs::create_directories(Edition() / "Resource" / "xml");
    std::ofstream(Edition() / "Resource" / "xml" / "26.xml")
        << "<?xml version=\"1.0\" encoding=\"utf-8\"?><c>"
           "<i><type>0</type><id>9</id><pid></pid><name>F</name></i>"
           "<i><type>3</type><id>10</id><pid>9</pid><name>text</name></i>"
           "<i><type>4</type><id>1</id><pid>9</pid><name>video</name></i>"
           "<i><type>2</type><id>2</id><pid>9</pid><name>audio</name></i>"
           "<i><type>1</type><id>3</id><pid>9</pid><name>flash</name></i>"
           "<i><type>4</type><id>5</id><pid>9</pid><name>red</name></i></c>";
    const QStringList tone = {"-f", "lavfi", "-i", "sine=frequency=440:duration=20"};
    // Long enough for three turns of 10 s, each resumed where the last one stopped.
    Ffmpeg(cache / "1.flv",
           QStringList{"-f", "lavfi", "-i",
                       "gradients=s=640x360:c0=0x1E5F9C:c1=0x4A9FE0:speed=0.01:d=45:r=25", "-f",
                       "lavfi", "-i", "sine=frequency=440:duration=45"} +
               QStringList{"-t", "45", "-c:v", "flv1", "-q:v", "3", "-c:a", "libmp3lame", "-ar",
                           "22050"});
    Ffmpeg(cache / "5.flv",
           QStringList{"-f", "lavfi", "-i", "color=c=red:s=640x360:r=25:d=5", "-c:v", "flv1"});
    Ffmpeg(cache / "2.mp3", tone + QStringList{"-t", "10", "-c:a", "libmp3lame"});
    Ffmpeg(cache / "3.swf",
           QStringList{"-f", "lavfi", "-i", "testsrc=duration=6:size=320x240:rate=12"} + tone +
               QStringList{"-t", "6", "-c:v", "flv1", "-c:a", "libmp3lame", "-ar", "22050", "-f",
                           "swf"});
}

void PrepareLikeTheClient() {
    KeepLargeBlocksOutOfTheHeap();
    RegisterRuffleScheme();
    qputenv(kEngineFlagsVariable,
            WithRendererPerSite(qEnvironmentVariable(kEngineFlagsVariable).toStdString()).c_str());
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
}

bool RunUntil(const std::function<bool()>& done) {
    using Clock = std::chrono::steady_clock;
    const auto end = Clock::now() + std::chrono::seconds(30);
    // The loop sleeps between events (spinning, it took a core from the players it measures and
    // counted in their CPU); the tick wakes it for conditions that no event announces.
    QTimer tick;
    tick.start(2);
    while (!done()) {
        if (Clock::now() > end)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

MpvVideoWindow* FindVideoWindow() {
    for (QWindow* window : QGuiApplication::allWindows())
        if (auto* video = qobject_cast<MpvVideoWindow*>(window))
            return video;
    return nullptr;
}

void PictureWatch::Watch(QOpenGLWidget* surface) {
    if (surface_ == surface)
        return;
    surface_ = surface;
    connect(surface, &QOpenGLWidget::frameSwapped, this, [this, surface] {
        surface->makeCurrent();
        ReadCentre(surface->defaultFramebufferObject(), surface->size());
        surface->doneCurrent();
    });
}

void PictureWatch::Watch(MpvVideoWindow* surface) {
    if (surface_ == surface)
        return;
    surface_ = surface;
    // Its GL context is current then, with the frame in the back buffer.
    connect(
        surface, &MpvVideoWindow::frameDrawn, this,
        [this, surface] {
            ReadCentre(QOpenGLContext::currentContext()->defaultFramebufferObject(),
                       surface->size());
        },
        Qt::DirectConnection);
}

void PictureWatch::ReadCentre(GLuint framebuffer, QSize size) {
    ++frames_;
    auto* gl = QOpenGLContext::currentContext()->functions();
    gl->glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    gl->glReadPixels(size.width() / 2, size.height() / 2, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE,
                     pixel_);
}

double Median(std::vector<double> values) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

std::map<std::string, double> Figures(const QByteArray& output) {
    std::map<std::string, double> figures;
    for (const QByteArray& word : output.simplified().split(' ')) {
        const qsizetype equals = word.indexOf('=');
        if (equals > 0)
            figures[word.left(equals).toStdString()] = word.mid(equals + 1).toDouble();
    }
    return figures;
}

std::map<std::string, double> BareFigures(const std::string& mode, test::LoopbackServer& site,
                                          const QString& ruffleDir) {
    QProcess bare;
    bare.setProgram(QCoreApplication::applicationDirPath() + "/luming_bare_parts");
    bare.setArguments(
        {QString::fromStdString(mode), ruffleDir,
         QString::fromStdString(BenchSuite::Cache().string()),
         QString::fromStdString(site.url("/ad/StatusBar26.html")),
         QString::fromStdString(site.url("/ad/ChannelAds26.html")),
         // where the window's audio page falls back to (no page in the suite)
         QUrl::fromLocalFile(
             QString::fromStdString(
                 (BenchSuite::Root() / "Resource" / "Html" / "offline" / "mp3.htm").string()))
             .toString()});
    // The engine's own defaults: the options the client adds are the client's, not the yardstick's.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(kEngineFlagsVariable);
    bare.setProcessEnvironment(environment);
    bare.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    bare.start();
    bare.waitForFinished(300000); // the caller stands still meanwhile
    return Figures(bare.readAllStandardOutput());
}

void PrintViewCosts(QWidget* window) {
    std::map<qint64, QStringList> views;
    for (QWebEngineView* view : window->findChildren<QWebEngineView*>()) {
        QString name;
        for (QWidget* up = view; up && name.isEmpty(); up = up->parentWidget())
            name = up->objectName();
        views[view->page()->renderProcessPid()].append(name.isEmpty() ? "(unnamed)" : name);
    }
    for (const auto& [pid, names] : views)
        std::printf("  renderer %lld: %.0f MiB for %s\n", static_cast<long long>(pid),
                    static_cast<double>(test::ProcessPssKib(static_cast<int>(pid))) / 1024,
                    names.join(", ").toUtf8().constData());
    std::fflush(stdout);
}

std::string LoadAverage() {
    std::ifstream file("/proc/loadavg");
    std::string one, five, fifteen;
    file >> one >> five >> fifteen;
    return one + " " + five + " " + fifteen;
}

} // namespace luming::bench
