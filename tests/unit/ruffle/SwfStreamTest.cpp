#include "platform/ruffle/SwfStream.h"
#include "support/FlashTestMovies.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <string>

namespace luming {
namespace {

using namespace std::string_literals;

// Stage 550×400, 12 frames a second, 3 frames.
const std::string kHead = "\x78\x00\x05\x5F\x00\x00\x0F\xA0\x00"s + "\x00\x0C\x03\x00"s;
const std::string kFrame1 = "\x43\x02\xFF\xFF\xFF"s + "\x40\x00"s; // background, ShowFrame
// A sprite (id 1, one frame) whose own ShowFrame is no frame of the movie, then ShowFrame.
const std::string kFrame2 = "\xC8\x09\x01\x00\x01\x00\x40\x00\x00\x00"s + "\x40\x00"s;
// A DoAction in the long form (100 bytes), then ShowFrame.
const std::string kFrame3 =
    "\x3F\x03\x64\x00\x00\x00"s + std::string(99, '\x07') + '\0' + "\x40\x00"s;
const std::string kEnd = "\x00\x00"s;

std::string Plain() {
    const std::string body = kHead + kFrame1 + kFrame2 + kFrame3 + kEnd;
    std::string movie = "FWS\x0A"s;
    const auto length = static_cast<uint32_t>(8 + body.size());
    for (int i = 0; i < 4; ++i)
        movie += static_cast<char>((length >> (8 * i)) & 0xFF);
    return movie + body;
}

std::string Zlib(const std::string& plain) {
    uLongf size = compressBound(plain.size());
    std::string packed(size, '\0');
    compress(reinterpret_cast<Bytef*>(packed.data()), &size,
             reinterpret_cast<const Bytef*>(plain.data()) + 8, plain.size() - 8);
    return "CWS" + plain.substr(3, 5) + packed.substr(0, size);
}

// Frames count once their ShowFrame is in, byte by byte, whatever the packing; a sprite's
// frames are not the movie's.
TEST(SwfStream, CountsTheMainTimelinesFramesAsTheyArrive) {
    const std::string plain = Plain();
    const size_t frame1End = 8 + kHead.size() + kFrame1.size();
    SwfStream stream;
    for (size_t i = 0; i < plain.size(); ++i) {
        ASSERT_TRUE(stream.Append(plain.substr(i, 1))) << stream.error();
        const size_t have = i + 1;
        const int expected = have < frame1End                    ? 0
                             : have < frame1End + kFrame2.size() ? 1
                             : have < plain.size() - 2           ? 2
                                                                 : 3;
        ASSERT_EQ(stream.CompleteFrames(), expected) << have << " bytes";
    }
    EXPECT_TRUE(stream.Ended());

    for (const std::string& movie : {Zlib(plain), test::LzmaMovie(plain)}) {
        SwfStream packed;
        for (size_t i = 0; i < movie.size(); i += 7)
            ASSERT_TRUE(packed.Append(movie.substr(i, 7))) << packed.error();
        EXPECT_EQ(packed.CompleteFrames(), 3) << movie.substr(0, 3);
        EXPECT_TRUE(packed.Ended());
        EXPECT_EQ(packed.Received(), movie);
    }
}

// The movie of the frames so far keeps the header's frame count and ends after its last frame.
TEST(SwfStream, PrefixMovieHoldsTheCompleteFramesAndAnEnd) {
    const std::string plain = Plain();
    SwfStream stream;
    ASSERT_TRUE(stream.Append(Zlib(plain).substr(0, 8)));
    EXPECT_EQ(stream.PrefixMovie(), "");
    SwfStream partial;
    ASSERT_TRUE(partial.Append(plain.substr(0, plain.size() - 20)));
    ASSERT_EQ(partial.CompleteFrames(), 2);
    const std::string expected =
        "FWS\x0A"s + static_cast<char>(8 + kHead.size() + kFrame1.size() + kFrame2.size() + 2) +
        "\x00\x00\x00"s + kHead + kFrame1 + kFrame2 + kEnd;
    EXPECT_EQ(partial.PrefixMovie(), expected);
}

TEST(SwfStream, RefusesWhatIsNoMovieAndABrokenBody) {
    SwfStream html;
    EXPECT_FALSE(html.Append("<html><body>"));
    EXPECT_FALSE(html.error().empty());
    SwfStream broken;
    EXPECT_FALSE(broken.Append("CWS\x0A\x40\x00\x00\x00not zlib at all, not at all"s));
    EXPECT_FALSE(broken.unsupported());
    EXPECT_FALSE(broken.Append("more")) << "stays refused";
    // A plain movie that claims 40 bytes and goes on and on: its origin sends no end.
    SwfStream endless;
    ASSERT_TRUE(endless.Append("FWS\x0A\x28\x00\x00\x00"s));
    const std::string megabyte(1 << 20, '\0');
    bool taken = true;
    for (int sent = 0; taken && sent < 400; ++sent)
        taken = endless.Append(megabyte);
    EXPECT_FALSE(taken) << "took 400 MB";
}

} // namespace
} // namespace luming
