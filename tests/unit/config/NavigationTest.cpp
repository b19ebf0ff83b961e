#include "config/Navigation.h"
#include "config/UrlProbe.h"

#include <gtest/gtest.h>

#include <deque>
#include <vector>

using namespace luming;

namespace {

struct ScriptedProbe : IUrlProbe {
    std::deque<bool> answers;
    std::vector<std::string> asked;
    bool IsUrlReachable(const std::string& address) override {
        asked.push_back(address);
        const bool answer = !answers.empty() && answers.front();
        if (!answers.empty())
            answers.pop_front();
        return answer;
    }
};

struct RecordingPane : INavigable {
    std::vector<std::string> visited;
    void Navigate(const std::string& address) override { visited.push_back(address); }
};

} // namespace

TEST(NavigateWithFallback, PrimaryWhenEitherOfTwoProbesReachesIt) {
    for (const std::deque<bool>& answers :
         {std::deque<bool>{true}, std::deque<bool>{false, true}}) {
        ScriptedProbe probe;
        probe.answers = answers;
        RecordingPane pane;
        NavigateWithFallback(pane, probe, "http://primary", "file:///offline.htm");
        EXPECT_EQ(pane.visited, std::vector<std::string>{"http://primary"});
        EXPECT_EQ(probe.asked.size(), answers.size());
    }
}

TEST(NavigateWithFallback, FallbackIsNotProbed) {
    ScriptedProbe probe;
    RecordingPane pane;
    NavigateWithFallback(pane, probe, "http://primary", "file:///offline.htm");
    EXPECT_EQ(pane.visited, std::vector<std::string>{"file:///offline.htm"});
    EXPECT_EQ(probe.asked, (std::vector<std::string>{"http://primary", "http://primary"}));
}
