#include "platform/ruffle/RuffleMovie.h"
#include "ProcessMemory.h"
#include "platform/VolumeLevel.h"
#include "platform/flash/EngineFlashControl.h"
#include "platform/flash/MovieEngine.h"
#include "platform/ruffle/RufflePageFiles.h"
#include "support/DesktopLaunches.h"
#include "support/EventWait.h"
#include "support/FlashTestMovies.h"
#include "support/LoopbackServer.h"
#include "support/TempDir.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QThread>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <QWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <memory>

namespace luming {
namespace {

// The movie ffmpeg makes: 6 s at 12 fps with sound, 72 frames.
constexpr int kFrames = 72;

using test::Pause;
using test::WaitFor;

// Pixels of the test movies' white text on their black stage.
int TextPixels(const QImage& image) {
    int bright = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            bright += qGray(image.pixel(x, y)) > 150;
    return bright;
}

class RuffleMovieTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = new test::TempDir;
        const std::string movie = (dir_->path() / "test.swf").string();
        const std::string command =
            "ffmpeg -v error -y -f lavfi -i testsrc=duration=6:size=320x240:rate=12 -f lavfi -i "
            "sine=frequency=440:duration=6 -c:v flv1 -c:a libmp3lame -ar 22050 -f swf " +
            movie;
        if (std::system(command.c_str()) == 0)
            movie_ = test::ReadFile(movie);
    }
    static void TearDownTestSuite() { delete dir_; }

    void SetUp() override {
        if (movie_.empty())
            GTEST_SKIP() << "ffmpeg could not make the test movie";
        window_.resize(320, 240);
        sinceCreated_.start();
        engine_ = CreateRuffleMovie(&window_, volume_, LUMING_RUFFLE_DIR);
        ASSERT_NE(engine_, nullptr) << "no Ruffle files in " << LUMING_RUFFLE_DIR;
        engine_->resize(window_.size());
        window_.show();
    }

    std::string Write(const std::string& name, const std::string& bytes) {
        test::WriteFile(dir_->path() / name, bytes);
        return (dir_->path() / name).string();
    }

    void Load(const std::string& movie) {
        engine_->SetScaleMode(2);
        engine_->SetBackgroundColor(0);
        engine_->Load(movie, "");
        engine_->SetLoop(false);
    }

    bool WaitReady() {
        return WaitFor([&] { return engine_->ReadyState() == 4 && engine_->CurrentFrame() >= 1; },
                       30000);
    }

    static inline test::TempDir* dir_ = nullptr;
    static inline std::string movie_;
    QElapsedTimer sinceCreated_;
    QWidget window_;
    VolumeLevel volume_;
    MovieEngine* engine_ = nullptr;
};

TEST_F(RuffleMovieTest, PlaysStopsAndGoesToFramesOfAnActionScript2Movie) {
    QElapsedTimer sinceLoad;
    sinceLoad.start();
    Load(Write("test.swf", movie_));
    ASSERT_TRUE(WaitReady()) << engine_->LoadError();
    std::cout << "[ figures  ] first frame " << sinceLoad.elapsed() << " ms after Load, "
              << sinceCreated_.elapsed() << " ms after the view was made; process tree "
              << test::ProcessTreePssKib() / 1024 << " MB PSS\n";
    EXPECT_EQ(engine_->TotalFrames(), kFrames);
    EXPECT_TRUE(engine_->CanGotoFrame());
    EXPECT_EQ(engine_->LoadError(), "");
    EXPECT_THROW(engine_->CallFunction("<invoke name=\"x\"/>"), FlashCallError);

    const int before = engine_->CurrentFrame();
    Pause(1000);
    EXPECT_GT(engine_->CurrentFrame(), before + 4); // 12 a second
    EXPECT_TRUE(engine_->IsPlaying());

    engine_->Stop();
    Pause(500);
    const int stopped = engine_->CurrentFrame();
    Pause(700);
    EXPECT_EQ(engine_->CurrentFrame(), stopped);
    EXPECT_FALSE(engine_->IsPlaying());

    engine_->GotoFrame(50);
    Pause(700);
    EXPECT_EQ(engine_->CurrentFrame(), 50);
    EXPECT_FALSE(engine_->IsPlaying());

    // Without loop it stays on its last frame.
    engine_->Play();
    ASSERT_TRUE(WaitFor([&] { return engine_->FrameNum() == kFrames; }, 5000));
    Pause(700);
    EXPECT_EQ(engine_->FrameNum(), kFrames);
    EXPECT_FALSE(engine_->IsPlaying());

    engine_->Clear();
    EXPECT_EQ(engine_->ReadyState(), 0);
    EXPECT_EQ(engine_->TotalFrames(), 0);
}

TEST_F(RuffleMovieTest, ActionScript3MovieFollowsTheClockAndCannotSeek) {
    // The same movie marked ActionScript 3: FileAttributes first, version 9.
    std::string movie = movie_;
    const int rectBits = 5 + 4 * (static_cast<uint8_t>(movie[8]) >> 3);
    const size_t headerEnd = 8 + (rectBits + 7) / 8 + 4;
    movie.insert(headerEnd, std::string("\x44\x11\x08\x00\x00\x00", 6));
    movie[3] = 9;
    const auto length = static_cast<uint32_t>(movie.size());
    for (int i = 0; i < 4; ++i)
        movie[4 + i] = static_cast<char>((length >> (8 * i)) & 0xFF);
    Load(Write("as3.swf", movie));
    ASSERT_TRUE(WaitReady()) << engine_->LoadError();
    EXPECT_EQ(engine_->TotalFrames(), kFrames);
    EXPECT_FALSE(engine_->CanGotoFrame());
    const int before = engine_->CurrentFrame();
    Pause(1000);
    EXPECT_NEAR(engine_->CurrentFrame() - before, 12, 4);
    engine_->Stop();
    Pause(400);
    const int stopped = engine_->CurrentFrame();
    engine_->GotoFrame(60);
    Pause(600);
    EXPECT_EQ(engine_->CurrentFrame(), stopped);
    EXPECT_FALSE(engine_->IsPlaying());
}

// Text left to the player's device fonts, as authoring tools left it ("宋体"), shows its Chinese
// characters in ActionScript 2 and 3 movies alike; both, of one frame, play on. An LZMA movie
// plays like any other.
TEST_F(RuffleMovieTest, DeviceFontChineseShowsInBothKindsOfMovieAndLzmaMoviesPlay) {
    const std::string poem = "床前明月光";
    std::vector<std::pair<std::string, std::string>> movies{
        {"as2.swf", test::DeviceFontMovie(poem, "宋体")}};
    if (const auto as3 = test::HaxeDeviceFontMovie(dir_->path(), poem, "宋体"))
        movies.emplace_back("as3.swf", *as3);
    else
        ADD_FAILURE() << "haxe could not build the ActionScript 3 movie";
    for (const auto& [name, bytes] : movies) {
        Load(Write(name, bytes));
        ASSERT_TRUE(WaitReady()) << name << ": " << engine_->LoadError();
        // Five characters of 64 px on a 550 px stage shown 320 px wide: hundreds of pixels.
        EXPECT_TRUE(WaitFor([&] { return TextPixels(engine_->grab().toImage()) > 300; }, 30000))
            << name << ": " << TextPixels(engine_->grab().toImage()) << " text pixels";
        EXPECT_EQ(engine_->TotalFrames(), 1) << name;
        Pause(1500); // a one-frame movie is not over after its frame's time
        EXPECT_TRUE(engine_->IsPlaying()) << name;
    }

    Load(Write("lzma.swf", test::LzmaMovie(movie_)));
    ASSERT_TRUE(WaitReady()) << engine_->LoadError();
    EXPECT_EQ(engine_->TotalFrames(), kFrames);
}

TEST_F(RuffleMovieTest, PlaysFromAnAddressAndReportsRefusals) {
    test::LoopbackServer server;
    server.server().Get("/ok.swf", [](const httplib::Request&, httplib::Response& response) {
        response.set_header("Access-Control-Allow-Origin", "*");
        response.set_content(movie_, "application/x-shockwave-flash");
    });
    server.Start();
    Load(server.url("/ok.swf"));
    ASSERT_TRUE(WaitReady()) << engine_->LoadError();
    EXPECT_EQ(engine_->TotalFrames(), kFrames);

    Load(server.url("/missing.swf"));
    EXPECT_TRUE(WaitFor([&] { return !engine_->LoadError().empty(); }, 10000));
    EXPECT_EQ(engine_->ReadyState(), 0);
}

TEST_F(RuffleMovieTest, AMovieThatStopsArrivingFailsAndASlowOnePlaysAsItArrives) {
    constexpr auto kLimit = std::chrono::seconds(3);
    delete engine_;
    engine_ = CreateRuffleMovie(&window_, volume_, LUMING_RUFFLE_DIR, kLimit);
    engine_->resize(window_.size());
    engine_->show();
    // The stalled movie sends its first kilobyte, then nothing until the test ends; the slow
    // one sends a twentieth of itself every half second, 10 s in all (more than the limit).
    std::atomic<bool> done = false, slowSent = false;
    test::LoopbackServer server;
    const auto serve = [&](bool stall) {
        return [&, stall](const httplib::Request&, httplib::Response& response) {
            response.set_header("Access-Control-Allow-Origin", "*");
            response.set_content_provider(
                movie_.size(), "application/x-shockwave-flash",
                [&, stall](size_t offset, size_t length, httplib::DataSink& sink) {
                    if (offset > 0)
                        std::this_thread::sleep_for(std::chrono::milliseconds(stall ? 50 : 500));
                    if (stall && offset >= 1024)
                        return !done;
                    const size_t count =
                        std::min(length, stall ? 1024 - offset : movie_.size() / 20 + 1);
                    if (!stall && offset + count == movie_.size())
                        slowSent = true;
                    return sink.write(movie_.data() + offset, count);
                });
        };
    };
    server.server().Get("/stalled.swf", serve(true));
    server.server().Get("/slow.swf", serve(false));
    server.server().Get("/test.swf", [&](const httplib::Request&, httplib::Response& response) {
        response.set_header("Access-Control-Allow-Origin", "*");
        response.set_content(movie_, "application/x-shockwave-flash");
    });
    server.Start();

    Load(server.url("/stalled.swf"));
    EXPECT_TRUE(WaitFor([&] { return !engine_->LoadError().empty(); }, 60000));
    EXPECT_EQ(engine_->LoadError(), "节目下载失败");
    EXPECT_EQ(engine_->ReadyState(), 0);

    // It plays its frames as they arrive (not ready for the bar yet), and is ready once whole.
    Load(server.url("/slow.swf"));
    EXPECT_TRUE(WaitFor(
        [&] { return engine_->ReadyState() == 3 && engine_->CurrentFrame() >= 2 && !slowSent; },
        30000))
        << engine_->LoadError();
    EXPECT_TRUE(WaitReady()) << engine_->LoadError();
    EXPECT_EQ(engine_->LoadError(), "");

    // A page busy with itself (as with Ruffle compiling its code on a loaded machine) asks for
    // the movie only after twice the limit: no download has stalled.
    QWebEngineView* page = engine_->findChild<QWebEngineView*>();
    ASSERT_NE(page, nullptr);
    page->page()->runJavaScript(
        "const busyLoad = luming.load; luming.load = (o) => setTimeout(() => busyLoad(o), 6000);");
    Load(server.url("/test.swf"));
    EXPECT_TRUE(WaitReady()) << engine_->LoadError();
    EXPECT_EQ(engine_->LoadError(), "");
    done = true;
}

TEST_F(RuffleMovieTest, APageThatPlayedItsShareOfMoviesIsLoadedAfresh) {
    delete engine_;
    engine_ = CreateRuffleMovie(&window_, volume_, LUMING_RUFFLE_DIR, kFlashStallLimit, 2);
    engine_->resize(window_.size());
    engine_->show();
    int pageLoads = 0;
    QObject::connect(engine_->findChild<QWebEngineView*>()->page(), &QWebEnginePage::loadStarted,
                     [&] { ++pageLoads; });
    const std::string movie = Write("test.swf", movie_);
    for (int play = 1; play <= 3; ++play) {
        Load(movie);
        ASSERT_TRUE(WaitReady()) << "play " << play << ": " << engine_->LoadError();
        if (play == 1)
            pageLoads = 0; // the first page has loaded by now
    }
    EXPECT_EQ(pageLoads, 1); // before the third movie
}

// A view that has played a movie goes soon after it (the unused limit is for views made ahead),
// and a view without a player takes its place for the next movie.
TEST_F(RuffleMovieTest, TheControlFreesRuffleSoonAfterItsMovie) {
    EngineFlashControl control(&window_, volume_, LUMING_RUFFLE_DIR, std::chrono::hours(1),
                               std::chrono::seconds(1));
    control.resize(window_.size());
    control.show();
    const auto ruffle = [&] { return control.findChild<MovieEngine*>(); };
    // A movie shown keeps it; leaving the movie starts the count; the next movie makes a new one.
    for (int round = 0; round < 2; ++round) {
        control.SetMovie(Write("test.swf", movie_));
        ASSERT_TRUE(WaitFor([&] { return control.ReadyState() == 4; }, 30000))
            << control.LoadError();
        test::Pause(1500);
        const QPointer<MovieEngine> played = ruffle();
        ASSERT_NE(played, nullptr);
        control.SetMovie("flvplayer.swf?file=0.swf");
        EXPECT_TRUE(WaitFor([&] { return played.isNull(); }, 30000));
        ASSERT_NE(ruffle(), nullptr);
        EXPECT_FALSE(ruffle()->isVisible());
    }
}

// Prepared ahead of a movie, the view stays hidden behind what the control shows with Ruffle's
// script loaded but no player of its own (compiled, it would cost the tree beside every video);
// unused, it goes like a used one.
TEST_F(RuffleMovieTest, APreparedViewLoadsRuffleUnseenAndGoesWhenNoMovieComes) {
    EngineFlashControl control(&window_, volume_, LUMING_RUFFLE_DIR, std::chrono::hours(1));
    control.resize(window_.size());
    control.show();
    control.PrepareFlashMovie();
    auto* ruffle = control.findChild<MovieEngine*>();
    ASSERT_NE(ruffle, nullptr);
    EXPECT_FALSE(ruffle->isVisible());
    EXPECT_EQ(control.ReadyState(), 0);
    QWebEnginePage* page = ruffle->findChild<QWebEngineView*>()->page();
    QString seen;
    bool asking = false;
    EXPECT_TRUE(WaitFor(
        [&] {
            if (!asking) {
                asking = true;
                page->runJavaScript("(typeof (window.RufflePlayer || {}).newest) + ' ' + "
                                    "document.querySelectorAll('ruffle-player').length",
                                    [&](const QVariant& value) {
                                        seen = value.toString();
                                        asking = false;
                                    });
            }
            return seen.startsWith("function");
        },
        60000));
    EXPECT_EQ(seen, "function 0") << "Ruffle's script, no player";

    EngineFlashControl briefly(&window_, volume_, LUMING_RUFFLE_DIR, std::chrono::seconds(1));
    briefly.PrepareFlashMovie();
    EXPECT_TRUE(WaitFor([&] { return briefly.findChild<MovieEngine*>() == nullptr; }, 30000));
}

TEST_F(RuffleMovieTest, MissingFileOrNoFlashMovieIsALoadError) {
    Load((dir_->path() / "absent.swf").string());
    EXPECT_NE(engine_->LoadError(), "");
    Load(Write("page.swf", "<html><body>not found</body></html>"));
    EXPECT_NE(engine_->LoadError(), "");
    Pause(500);
    EXPECT_EQ(engine_->ReadyState(), 0);
    // The next good movie starts clean.
    Load(Write("test.swf", movie_));
    EXPECT_EQ(engine_->LoadError(), "");
}

// A movie that tries every way out of its page: before, its getURL("javascript:…") ran in the
// page (and could have put a state of its own in the program's hands) and the view went to a
// site of the movie's choosing.
TEST_F(RuffleMovieTest, AMovieRunsNoScriptInThePageAndStaysInItsView) {
    test::LoopbackServer elsewhere;
    std::atomic<int> asked = 0;
    elsewhere.server().Get(".*", [&](const httplib::Request&, httplib::Response& response) {
        ++asked;
        response.set_content("<html><body>elsewhere</body></html>", "text/html");
    });
    elsewhere.Start();
    const test::DesktopLaunches launches("x-luming-test");
    Load(Write("hostile.swf", test::HostileMovie(elsewhere.url(""))));
    ASSERT_TRUE(WaitReady()) << engine_->LoadError();
    // A second on from the frame that tried: anything it started has had its time.
    ASSERT_TRUE(WaitFor([&] { return engine_->CurrentFrame() >= 13; }, 30000));
    Pause(1000);

    auto* view = engine_->findChild<QWebEngineView*>();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->url(), QUrl(RufflePageFiles::PageUrl()));
    EXPECT_NE(view->title(), "hijacked");
    QString seen;
    view->page()->runJavaScript("typeof window.lumingHijacked + ' ' + typeof luming.state",
                                [&](const QVariant& value) { seen = value.toString(); });
    ASSERT_TRUE(WaitFor([&] { return !seen.isEmpty(); }, 10000));
    EXPECT_EQ(seen, "undefined function");
    EXPECT_EQ(asked, 0);
    EXPECT_TRUE(launches.opened().isEmpty()) << launches.opened().join(' ').toStdString();
    EXPECT_EQ(engine_->LoadError(), "");
    EXPECT_GE(engine_->CurrentFrame(), 13);
}

} // namespace
} // namespace luming
