#include "ProcessMemory.h"
#include "platform/web/QtWebPane.h"
#include "support/DesktopLaunches.h"
#include "support/EventWait.h"
#include "support/LoopbackServer.h"
#include "support/TempDir.h"

#include <QTest>
#include <QWebEngineView>

#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <memory>
#include <mutex>
#include <set>
#include <utility>
#include <vector>

namespace luming {
namespace {

using test::Pause;
using test::WaitFor;

constexpr int kLoadMs = 15000;
// Long enough for a navigation that should not happen to have shown itself.
constexpr int kQuietMs = 800;

using Event = std::pair<bool, std::string>; // topLevel, address

class WebPaneTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        server_ = new test::LoopbackServer;
        auto& http = server_->server();
        const auto page = [](const std::string& body) {
            return [body](const httplib::Request& request, httplib::Response& response) {
                Served(request.path);
                response.set_content("<!DOCTYPE html><html><body>" + body + "</body></html>",
                                     "text/html");
            };
        };
        http.Get("/start", [](const httplib::Request&, httplib::Response& response) {
            response.set_redirect("/plain");
        });
        http.Get("/plain", page("<a id='a' href='/next'>next</a>"));
        http.Get("/next", page("next"));
        http.Get("/framed", page("<iframe src='/inner'></iframe>"));
        http.Get("/inner", page("inner"));
        http.Get("/popup", page("<a id='a' target='_blank' href='/opened'>new</a>"));
        http.Get("/opened", page("opened"));
        // Two links that fill the page's halves, for real clicks.
        http.Get("/schemes", page("<style>a{position:fixed;left:0;width:100%;height:50%}</style>"
                                  "<a id='x' style='top:0' href='x-luming-test:launch'>x</a>"
                                  "<a id='a' style='top:50%' href='/next'>next</a>"));
        http.Get("/fresh", [](const httplib::Request& request, httplib::Response& response) {
            Served("/fresh " + request.get_header_value("Cache-Control"));
            response.set_content("fresh", "text/html");
        });
        server_->Start();
    }
    static void TearDownTestSuite() { delete server_; }

    static void Served(const std::string& path) {
        std::lock_guard lock(servedMutex_);
        served_.insert(path);
    }
    static bool WasServed(const std::string& path) {
        std::lock_guard lock(servedMutex_);
        return served_.count(path) > 0;
    }
    static std::string ServedPaths() {
        std::lock_guard lock(servedMutex_);
        std::string all;
        for (const auto& path : served_)
            all += "[" + path + "] ";
        return all;
    }
    static std::string Url(const std::string& path) { return server_->url(path); }

    void SetUp() override {
        window_.resize(400, 300);
        window_.show();
    }

    // A pane that records what it reports and what its filter is asked.
    std::unique_ptr<QtWebPane> MakePane() {
        auto pane = std::make_unique<QtWebPane>(&window_);
        pane->resize(window_.size());
        pane->show();
        QObject::connect(pane.get(), &WebPane::documentComplete,
                         [this](bool topLevel, const QString& address) {
                             completed_.emplace_back(topLevel, address.toStdString());
                         });
        pane->SetNavigationFilter([this](const std::string& address, bool topLevel) {
            asked_.emplace_back(topLevel, address);
            return cancel_.count(address) > 0;
        });
        return pane;
    }

    bool Completed(const Event& event) {
        return WaitFor([&] { return Contains(completed_, event); }, kLoadMs);
    }
    bool Asked(const Event& event) {
        return WaitFor([&] { return Contains(asked_, event); }, kLoadMs);
    }
    static bool Contains(const std::vector<Event>& events, const Event& event) {
        return std::find(events.begin(), events.end(), event) != events.end();
    }

    static test::LoopbackServer* server_;
    static std::mutex servedMutex_;
    static std::set<std::string> served_;
    QWidget window_;
    std::vector<Event> completed_;
    std::vector<Event> asked_;
    std::set<std::string> cancel_;
};

test::LoopbackServer* WebPaneTest::server_ = nullptr;
std::mutex WebPaneTest::servedMutex_;
std::set<std::string> WebPaneTest::served_;

// First, so that no other test's renderer is counted: six panes as the window makes them, then
// small pages in one and in three of them.
TEST_F(WebPaneTest, MemoryOfIdleAndShowingPanes) {
    std::vector<std::unique_ptr<QtWebPane>> panes;
    for (int i = 0; i < 6; ++i)
        panes.push_back(MakePane());
    Pause(500);
    std::cout << "[ memory ] 6 panes, none navigated: " << test::ProcessTreePssKib() / 1024
              << " MB PSS\n";
    for (int shown = 1; shown <= 3; ++shown) {
        completed_.clear();
        panes[shown - 1]->Navigate(Url("/plain"));
        ASSERT_TRUE(Completed({true, Url("/plain")}));
        if (shown == 2)
            continue;
        Pause(1500);
        std::cout << "[ memory ] " << shown
                  << " showing a small page: " << test::ProcessTreePssKib() / 1024 << " MB PSS\n";
    }
}

TEST_F(WebPaneTest, NeverNavigatedPaneMakesNoBrowser) {
    auto pane = MakePane();
    pane->SetContextMenu(false);
    pane->RunScript("document.title = 'x'");
    EXPECT_TRUE(pane->findChildren<QWebEngineView*>().isEmpty());
    EXPECT_EQ(pane->Address(), "");
}

TEST_F(WebPaneTest, RedirectCompletesOnceAtTheFinalAddress) {
    auto pane = MakePane();
    pane->Navigate(Url("/start"));
    ASSERT_TRUE(Completed({true, Url("/plain")}));
    Pause(kQuietMs);
    EXPECT_EQ(completed_, (std::vector<Event>{{true, Url("/plain")}}));
    EXPECT_EQ(pane->Address(), Url("/plain"));
    EXPECT_TRUE(Contains(asked_, {true, Url("/start")}));
    EXPECT_EQ(pane->findChildren<QWebEngineView*>().size(), 1);
}

TEST_F(WebPaneTest, FrameLoadAsksTheFilterAndCompletes) {
    auto pane = MakePane();
    pane->Navigate(Url("/framed"));
    EXPECT_TRUE(Completed({true, Url("/framed")}));
    EXPECT_TRUE(Completed({false, Url("/inner")}));
    EXPECT_TRUE(Contains(asked_, {false, Url("/inner")}));
    EXPECT_EQ(pane->Address(), Url("/framed"));
}

TEST_F(WebPaneTest, CancelledNavigationKeepsThePageAndCompletesNothing) {
    auto pane = MakePane();
    pane->Navigate(Url("/plain"));
    ASSERT_TRUE(Completed({true, Url("/plain")}));
    completed_.clear();
    cancel_.insert(Url("/next"));
    pane->RunScript("location.href = '/next'");
    ASSERT_TRUE(Asked({true, Url("/next")}));
    Pause(kQuietMs);
    EXPECT_TRUE(completed_.empty());
    EXPECT_EQ(pane->Address(), Url("/plain"));

    // The same link, allowed this time and followed by a click.
    cancel_.clear();
    pane->RunScript("document.getElementById('a').click()");
    EXPECT_TRUE(Completed({true, Url("/next")}));
    EXPECT_EQ(pane->Address(), Url("/next"));
}

TEST_F(WebPaneTest, UncachedLoadAsksTheServerAfresh) {
    auto pane = MakePane();
    pane->NavigateUncached(Url("/fresh"));
    ASSERT_TRUE(Completed({true, Url("/fresh")}));
    EXPECT_TRUE(WasServed("/fresh no-cache")) << ServedPaths();
}

TEST_F(WebPaneTest, NewWindowsAreOfferedToTheFilterAndDropped) {
    auto pane = MakePane();
    pane->Navigate(Url("/popup"));
    ASSERT_TRUE(Completed({true, Url("/popup")}));
    pane->RunScript("document.getElementById('a').click()");
    EXPECT_TRUE(Asked({true, Url("/opened")}));
    pane->RunScript("window.open('/opened?script')");
    EXPECT_TRUE(Asked({true, Url("/opened?script")}));
    Pause(kQuietMs);
    EXPECT_FALSE(WasServed("/opened"));
    EXPECT_EQ(completed_, (std::vector<Event>{{true, Url("/popup")}}));
    EXPECT_EQ(pane->Address(), Url("/popup"));
}

TEST_F(WebPaneTest, OnlyTheProgramsOwnLocalPageLoads) {
    test::TempDir dir;
    test::WriteFile(dir.path() / "own.htm", "<html><body>own</body></html>");
    const std::string own = "file://" + (dir.path() / "own.htm").string();
    auto pane = MakePane();
    // A plain path, as the window gives it.
    pane->Navigate((dir.path() / "sub" / ".." / "own.htm").string());
    ASSERT_TRUE(Completed({true, own}));

    // Even a local page may not go on to other files.
    pane->RunScript("location.href = 'file:///etc/passwd'");
    pane->RunScript("setTimeout(function () { location.href = '" +
                    QString::fromStdString(Url("/next")) + "'; }, 300)");
    // Pages run in order: once the later navigation is asked, the earlier one was decided.
    ASSERT_TRUE(Asked({true, Url("/next")})) << "the file was shown instead";
    EXPECT_FALSE(Contains(asked_, {true, "file:///etc/passwd"}));
    EXPECT_FALSE(Contains(completed_, {true, "file:///etc/passwd"}));
}

// Before, a child's click on a link of a scheme the engine does not know handed it to the
// desktop's handler, which may start any program.
TEST_F(WebPaneTest, LinksOfOtherSchemesNeverReachTheDesktop) {
    const test::DesktopLaunches launches("x-luming-test");
    auto pane = MakePane();
    pane->Navigate(Url("/schemes"));
    ASSERT_TRUE(Completed({true, Url("/schemes")}));
    auto* view = pane->findChild<QWebEngineView*>();
    ASSERT_NE(view, nullptr);
    QWidget* input = view->focusProxy() ? view->focusProxy() : view;
    const QPoint top(input->width() / 2, input->height() / 4);
    const QPoint bottom(input->width() / 2, input->height() * 3 / 4);
    QTest::mouseClick(input, Qt::LeftButton, {}, top);
    pane->RunScript("document.getElementById('x').click()");
    // Clicks and scripts are taken in order: once the later link is asked, the first was decided.
    QTest::mouseClick(input, Qt::LeftButton, {}, bottom);
    ASSERT_TRUE(Asked({true, Url("/next")}));
    EXPECT_TRUE(launches.opened().isEmpty()) << launches.opened().join(' ').toStdString();
}

} // namespace
} // namespace luming
