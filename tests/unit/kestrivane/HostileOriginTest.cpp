// Origins that lie, never end, change under the download or point it at this computer: the
// download ends with the programme or with a failure, never with a wrong copy, a full disk or an
// endless "loading".
#include "KestrivaneFixture.h"
#include "Origin.h"
#include "support/ScriptedOrigin.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace kestrivane::test {
namespace {

using luming::test::OutwardAddress;
using luming::test::ScriptedOrigin;

constexpr std::size_t kUnsizedLimit = 1024 * 1024;

std::string Head(const std::string& statusLine, const std::string& fields) {
    return "HTTP/1.1 " + statusLine + "\r\n" + fields + "Connection: close\r\n\r\n";
}

std::string Length(std::size_t size) {
    return "Content-Length: " + std::to_string(size) + "\r\n";
}

std::string Part(std::size_t first, std::size_t last, std::size_t total) {
    return "Content-Range: bytes " + std::to_string(first) + "-" + std::to_string(last) + "/" +
           std::to_string(total) + "\r\n" + Length(last - first + 1);
}

class HostileOrigin : public Kestrivane {
protected:
    void SetUp() override {
        setenv("KESTRIVANE_UNSIZED_MAX", std::to_string(kUnsizedLimit).c_str(), 1);
        Kestrivane::SetUp();
        setenv("KESTRIVANE_RETRY_MS", "3000", 1);
        Restart();
    }
    void TearDown() override {
        Kestrivane::TearDown();
        unsetenv("KESTRIVANE_UNSIZED_MAX");
    }

    bool FailsAsADownload(int32_t task) {
        return Eventually([&] { return GetProgError(task) == KESTRIVANE_ERROR_DOWNLOAD; });
    }
};

// Before, it wrote until the connection ended and then took the copy as complete.
TEST_F(HostileOrigin, AnAnswerWithoutALengthEndsAtItsLimit) {
    const std::string chunk(64 * 1024, 'x');
    ScriptedOrigin origin([&](const ScriptedOrigin::Request& request, int connection) {
        if (request.rangeFrom) { // past what came: nothing more, as a hang-up's check would hear
            ScriptedOrigin::Send(connection,
                                 Head("416 Range Not Satisfiable",
                                      "Content-Range: bytes */" +
                                          std::to_string(*request.rangeFrom) + "\r\n" + Length(0)));
            return;
        }
        ScriptedOrigin::Send(connection, Head("200 OK", ""));
        for (std::size_t sent = 0; sent < 16 * kUnsizedLimit; sent += chunk.size())
            if (!ScriptedOrigin::Send(connection, chunk))
                return;
    });
    const PlayAddress address = Fetch(origin.url("/endless.flv"));
    EXPECT_TRUE(FailsAsADownload(address.task));
    EXPECT_EQ(CallbacksFor(address.task), 0);
    for (const auto& entry : std::filesystem::directory_iterator(store.path()))
        EXPECT_LE(entry.file_size(), kUnsizedLimit) << entry.path();
}

// Before, the part from byte 0 was written where the rest was asked for, and the copy was
// complete with wrong bytes.
TEST_F(HostileOrigin, APartOtherThanTheOneAskedIsNeverWritten) {
    const std::string bytes = ProgrammeBytes(kSize);
    const std::size_t half = kSize / 2;
    ScriptedOrigin origin([&](const ScriptedOrigin::Request& request, int connection) {
        if (!request.rangeFrom) { // tells the whole size, breaks off at half
            ScriptedOrigin::Send(connection, Head("200 OK", Length(kSize)) + bytes.substr(0, half));
        } else if (request.number == 2) { // the first half again, as if it were the second
            ScriptedOrigin::Send(connection, Head("206 Partial Content", Part(0, half - 1, kSize)) +
                                                 bytes.substr(0, half));
        } else {
            const std::size_t from = *request.rangeFrom;
            ScriptedOrigin::Send(connection,
                                 Head("206 Partial Content", Part(from, kSize - 1, kSize)) +
                                     bytes.substr(from));
        }
    });
    const PlayAddress address = Fetch(origin.url("/lying.flv"));
    ExpectWholeProgramme(Play(address), bytes);
    EXPECT_TRUE(Eventually([&] { return CallbacksFor(address.task) == 1; }));
    EXPECT_GE(origin.Requests(), 3);
}

// An origin that breaks off at the same place every time, and one that sends another version
// at every answer: before, both were asked again for ever and the player waited for ever.
TEST_F(HostileOrigin, RetriesEndWhenTheCopyNeverGrows) {
    const std::string bytes = ProgrammeBytes(kSize);
    const std::size_t half = kSize / 2;
    ScriptedOrigin origin([&](const ScriptedOrigin::Request& request, int connection) {
        const std::string etag = "ETag: \"v" + std::to_string(request.number) + "\"\r\n";
        if (request.path == "/changing.flv" && request.rangeFrom)
            ScriptedOrigin::Send(
                connection,
                Head("206 Partial Content", etag + Part(*request.rangeFrom, kSize - 1, kSize)) +
                    bytes.substr(*request.rangeFrom, 1000));
        else // ranges ignored, the length not kept
            ScriptedOrigin::Send(connection,
                                 Head("200 OK", etag + Length(kSize)) + bytes.substr(0, half));
    });
    const PlayAddress same = Fetch(origin.url("/same.flv"));
    const PlayAddress changing = Fetch(origin.url("/changing.flv"));
    const auto response = Play(same);
    EXPECT_TRUE(!response || response->body.size() < kSize);
    EXPECT_TRUE(FailsAsADownload(same.task));
    EXPECT_TRUE(FailsAsADownload(changing.task));
    EXPECT_EQ(CallbacksFor(same.task) + CallbacksFor(changing.task), 0);
    // Growing pauses over the three seconds it may try: a handful of requests each.
    EXPECT_LE(origin.Requests(), 16);
}

// The copy an earlier run left holds three quarters of a programme that is now half as long:
// before, every attempt asked past the new end and failed, for good.
TEST_F(HostileOrigin, ACopyLongerThanTheProgrammeStartsOver) {
    const std::string before = ProgrammeBytes(kSize);
    const std::string now(kSize / 2, 'n');
    std::atomic<bool> changed = false;
    ScriptedOrigin origin([&](const ScriptedOrigin::Request& request, int connection) {
        if (!changed) {
            ScriptedOrigin::Send(connection, request.rangeFrom
                                                 ? Head("503 Service Unavailable", Length(0))
                                                 : Head("200 OK", Length(kSize)) +
                                                       before.substr(0, kSize / 4 * 3));
        } else if (!request.rangeFrom) {
            ScriptedOrigin::Send(connection, Head("200 OK", Length(now.size())) + now);
        } else if (*request.rangeFrom >= now.size()) {
            ScriptedOrigin::Send(
                connection,
                Head("416 Range Not Satisfiable",
                     "Content-Range: bytes */" + std::to_string(now.size()) + "\r\n" + Length(0)));
        } else {
            ScriptedOrigin::Send(
                connection,
                Head("206 Partial Content", Part(*request.rangeFrom, now.size() - 1, now.size())) +
                    now.substr(*request.rangeFrom));
        }
    });
    const std::string url = origin.url("/shrunk.flv");
    ASSERT_TRUE(FailsAsADownload(Fetch(url).task));
    changed = true;
    Restart();
    const PlayAddress again = Fetch(url);
    ExpectWholeProgramme(Play(again), now);
    EXPECT_TRUE(Eventually([&] { return CallbacksFor(again.task) == 1; }));
}

// A redirect to this computer's own services is not followed from an origin elsewhere; from an
// origin on this computer it is, since that is where the channel's server lives.
TEST_F(HostileOrigin, RedirectsStayWhereTheServerIs) {
    ScriptedOrigin local([](const ScriptedOrigin::Request&, int connection) {
        ScriptedOrigin::Send(connection, Head("200 OK", Length(6)) + "secret");
    });
    const auto redirectTo = [&](const std::string& target) {
        return [target](const ScriptedOrigin::Request&, int connection) {
            ScriptedOrigin::Send(connection,
                                 Head("302 Found", "Location: " + target + "\r\n" + Length(0)));
        };
    };
    ScriptedOrigin nearby(redirectTo(local.url("/secret.flv")));
    const PlayAddress followed = Fetch(nearby.url("/moved.flv"));
    ExpectWholeProgramme(Play(followed), "secret");
    ASSERT_EQ(local.Requests(), 1);

    const auto outward = OutwardAddress();
    if (!outward)
        GTEST_SKIP() << "this computer has no address but its loopback ones";
    ScriptedOrigin elsewhere(redirectTo(local.url("/secret.flv")), *outward);
    ASSERT_TRUE(elsewhere.Listening());
    const PlayAddress refused = Fetch(elsewhere.url("/moved.flv"));
    EXPECT_TRUE(FailsAsADownload(refused.task));
    EXPECT_EQ(local.Requests(), 1);
    EXPECT_EQ(elsewhere.Requests(), 1); // and not asked again
}

} // namespace
} // namespace kestrivane::test
