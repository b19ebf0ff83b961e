// A text programme from an address: what an answer that never ends may cost.
#include "shell/TextFetch.h"
#include "support/EventWait.h"
#include "support/LoopbackServer.h"

#include <gtest/gtest.h>

#include <optional>

namespace luming {
namespace {

// Before, the whole answer was held in memory, however long it went on.
TEST(TextFetch, AnAnswerThatNeverEndsGivesItsFirstMegabyte) {
    test::LoopbackServer server;
    const std::string line(64 * 1024, 'a');
    server.server().Get("/endless.txt", [&](const httplib::Request&, httplib::Response& response) {
        response.set_chunked_content_provider("text/plain", [&](size_t, httplib::DataSink& sink) {
            return sink.write(line.data(), line.size());
        });
    });
    server.Start();
    TextFetch fetch(nullptr);
    std::optional<std::size_t> got;
    fetch.Start(server.url("/endless.txt"),
                [&](bool ok, const std::string& bytes, const std::string& error) {
                    EXPECT_TRUE(ok) << error;
                    got = bytes.size();
                });
    ASSERT_TRUE(test::WaitFor([&] { return got.has_value(); }, 60000));
    EXPECT_EQ(*got, std::size_t{1} << 20);
}

} // namespace
} // namespace luming
