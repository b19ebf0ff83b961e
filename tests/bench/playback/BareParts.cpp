// The yardstick of the memory benchmark: a bare Qt program with the parts the window holds (the
// two advertising views with the same pages, a libmpv render context, an audio page and a
// Ruffle page in a web view of its own) playing one kind, with no product code. It prints
// "first_frame_ms=N pss_kib=N": the click → first frame of the Flash movie once the Ruffle page is
// ready (flash only), and the whole process tree's PSS while the kind plays.
// Usage: luming_bare_parts video|audio|flash RUFFLE_DIR CACHE_DIR AD_URL AD_URL AUDIO_PAGE
#include "BareMpv.h"
#include "engine/ProcessMemory.h"
#include "support/LoopbackServer.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <QWebEnginePage>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include <chrono>
#include <clocale>
#include <cstdio>
#include <functional>

namespace {

using namespace luming;
using Clock = std::chrono::steady_clock;

constexpr char kPage[] = R"(<!DOCTYPE html><html><head><meta charset="utf-8">
<style>html, body { margin: 0; width: 100%; height: 100%; overflow: hidden; background: #000; }
ruffle-player { display: block; width: 100%; height: 100%; }</style>
<script src="ruffle/ruffle.js"></script>
<script>
function start(url) {
    const player = window.RufflePlayer.newest().createPlayer();
    document.body.appendChild(player);
    player.addEventListener("loadeddata", () => { document.title = "frame"; });
    player.load({ url, autoplay: "on", unmuteOverlay: "hidden", splashScreen: false,
                  polyfills: false, letterbox: "on" });
}
</script></head><body></body></html>)";

bool RunUntil(const std::function<bool()>& done, int seconds = 60) {
    const auto end = Clock::now() + std::chrono::seconds(seconds);
    while (!done() && Clock::now() < end)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return done();
}

QWebEngineView* View(QWidget* parent, const QString& address, bool* loaded) {
    auto* view = new QWebEngineView(parent);
    view->page()->settings()->setAttribute(QWebEngineSettings::PlaybackRequiresUserGesture,
                                           false);
    QObject::connect(view, &QWebEngineView::loadFinished, view, [loaded] { *loaded = true; });
    view->load(QUrl(address));
    return view;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    if (argc < 7) {
        std::fprintf(stderr, "usage: %s video|audio|flash RUFFLE_DIR CACHE_DIR AD_URL AD_URL "
                             "AUDIO_PAGE\n", argv[0]);
        return 2;
    }
    const std::string mode = argv[1];
    const QString cache = argv[3];

    test::LoopbackServer site;
    site.server().set_mount_point("/ruffle", argv[2]);
    site.server().set_mount_point("/cache", argv[3]);
    site.server().Get("/page.html", [](const httplib::Request&, httplib::Response& response) {
        response.set_content(kPage, "text/html; charset=utf-8");
    });
    site.Start();

    QWidget window;
    auto* column = new QVBoxLayout(&window);
    auto* row = new QHBoxLayout;
    column->addLayout(row, 1);
    bool adLoaded[2] = {}, ruffleLoaded = false, audioLoaded = false;
    QWebEngineView* channelAd = View(&window, argv[5], &adLoaded[1]);
    channelAd->setFixedWidth(211);
    row->addWidget(channelAd);
    auto* stack = new QStackedWidget(&window);
    row->addWidget(stack, 1);
    QWebEngineView* statusAd = View(&window, argv[4], &adLoaded[0]);
    statusAd->setFixedHeight(27);
    column->addWidget(statusAd);
    QWebEngineView* ruffle =
        View(stack, QString::fromStdString(site.url("/page.html")), &ruffleLoaded);
    auto* video = new bench::BareMpvVideo;
    QWebEngineView* audioPage = View(stack, argv[6], &audioLoaded);
    bench::BareMpvAudio audio;
    stack->addWidget(ruffle);
    stack->addWidget(video);
    stack->addWidget(audioPage);
    stack->setCurrentWidget(mode == "flash" ? static_cast<QWidget*>(ruffle)
                            : mode == "video" ? static_cast<QWidget*>(video)
                                              : audioPage);
    window.showMaximized();
    RunUntil([&] { return adLoaded[0] && adLoaded[1] && ruffleLoaded && audioLoaded; });

    double firstFrameMs = 0;
    bool playing = false;
    if (mode == "flash") {
        const auto start = Clock::now();
        ruffle->page()->runJavaScript(QString("start('%1')")
                                          .arg(QString::fromStdString(site.url("/cache/3.swf"))));
        playing = RunUntil([&] { return ruffle->title() == "frame"; });
        firstFrameMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    } else if (mode == "video") {
        int frames = 0;
        QObject::connect(video, &QOpenGLWidget::frameSwapped, video, [&] { ++frames; });
        video->Load(cache + "/1.flv");
        playing = RunUntil([&] { return frames > 5; });
    } else {
        audio.Load(cache + "/2.mp3");
        playing = RunUntil([&] { return audio.Position() > 0; });
    }
    const auto settle = Clock::now() + std::chrono::seconds(2);
    RunUntil([&] { return Clock::now() >= settle; });
    std::printf("first_frame_ms=%.0f pss_kib=%lld playing=%d\n", firstFrameMs,
                static_cast<long long>(test::ProcessTreePssKib()), playing ? 1 : 0);
    std::fflush(stdout);
    return playing ? 0 : 1;
}
