#pragma once

// The library through its C interface, started afresh for each test on a store of its own.
#include "StreamPath.h"
#include "kestrivane.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace kestrivane::test {

using namespace std::chrono_literals;

inline constexpr std::size_t kSize = 3 * 1024 * 1024 + 17;

// Completion callbacks seen, (task, percent).
inline std::mutex callbacksMutex;
inline std::vector<std::pair<int32_t, int32_t>> callbacks;

inline void RecordCompletion(int32_t task, int32_t percent) {
    std::lock_guard lock(callbacksMutex);
    callbacks.emplace_back(task, percent);
}

inline int CallbacksFor(int32_t task) {
    std::lock_guard lock(callbacksMutex);
    int count = 0;
    for (const auto& [number, percent] : callbacks)
        count += number == task ? 1 : 0;
    return count;
}

template <class Condition> bool Eventually(Condition condition, std::chrono::seconds limit = 30s) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(5ms);
    }
    return true;
}

inline std::string RangeOf(std::size_t first, std::size_t length) {
    return "bytes=" + std::to_string(first) + "-" + std::to_string(first + length - 1);
}

struct PlayAddress {
    int port = 0;
    std::string path;
    int32_t task = 0;
};

class Kestrivane : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("KESTRIVANE_STORE", store.path().c_str(), 1);
        setenv("KESTRIVANE_WAIT_MS", "20000", 1);
        setenv("KESTRIVANE_RETRY_MS", "1000", 1); // an origin that stays away fails soon
        {
            std::lock_guard lock(callbacksMutex);
            callbacks.clear();
        }
        ASSERT_EQ(Initkestrivane(26, nullptr, nullptr, nullptr, &RecordCompletion), 1);
    }
    void TearDown() override { UnInitkestrivane(); }

    // A new start of the library on the same store.
    static void Restart() {
        UnInitkestrivane();
        ASSERT_EQ(Initkestrivane(26, nullptr, nullptr, nullptr, &RecordCompletion), 1);
    }

    static void ExpectWholeProgramme(const httplib::Result& response, const std::string& bytes) {
        ASSERT_TRUE(response);
        EXPECT_EQ(response->status, 200);
        EXPECT_EQ(response->body.size(), bytes.size());
        EXPECT_TRUE(response->body == bytes);
    }

    PlayAddress Fetch(const std::string& sourceUrl) {
        char out[1024];
        std::memset(out, 0x7F, sizeof out);
        EXPECT_TRUE(SetProgramInfo(sourceUrl.c_str(), 300, 2, 2, out));
        const std::string reply(out);
        // "http://127.0.0.1:<port>/<token>/P2P/<task><extension>"
        const std::string prefix = "http://127.0.0.1:";
        const std::size_t slash = reply.find('/', prefix.size());
        const auto path = slash == std::string::npos
                              ? std::nullopt
                              : kestrivane::ParseStreamPath(reply.substr(slash));
        EXPECT_TRUE(reply.starts_with(prefix) && path) << reply;
        if (!path)
            return {};
        return {std::stoi(reply.substr(prefix.size(), slash - prefix.size())), reply.substr(slash),
                path->task};
    }

    static int32_t Percent(int32_t task) {
        int32_t percent = -1, downloaded = 0, total = 0;
        return GetProgInfo(task, &percent, &downloaded, &total) ? percent : -1;
    }

    static httplib::Result Play(const PlayAddress& address, const std::string& range = "",
                                bool head = false) {
        httplib::Client player("127.0.0.1", address.port);
        player.set_read_timeout(60, 0);
        httplib::Headers headers;
        if (!range.empty())
            headers.emplace("Range", range);
        return head ? player.Head(address.path.c_str(), headers)
                    : player.Get(address.path.c_str(), headers);
    }

    luming::test::TempDir store;
};

} // namespace kestrivane::test
