#include "platform/ruffle/SwfHeader.h"
#include "support/FlashTestMovies.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <string>

namespace luming {
namespace {

using namespace std::string_literals;

// Stage 550×400 px: 15-bit fields 0, 11000, 0, 8000 twips.
const std::string kStage = "\x78\x00\x05\x5F\x00\x00\x0F\xA0\x00"s;
const std::string kRate24Frames10 = "\x00\x18\x0A\x00"s;
// FileAttributes (tag 69, 4 bytes) with the ActionScript 3 and network flags.
const std::string kAs3Attributes = "\x44\x11\x09\x00\x00\x00"s;

std::string Movie(const std::string& signature, const std::string& body, int version = 10) {
    std::string movie = signature + static_cast<char>(version);
    const auto length = static_cast<uint32_t>(8 + body.size());
    for (int i = 0; i < 4; ++i)
        movie += static_cast<char>((length >> (8 * i)) & 0xFF);
    if (signature == "ZWS")
        return test::LzmaMovie(Movie("FWS", body, version));
    if (signature != "CWS")
        return movie + body;
    uLongf size = compressBound(body.size());
    std::string packed(size, '\0');
    compress(reinterpret_cast<Bytef*>(packed.data()), &size,
             reinterpret_cast<const Bytef*>(body.data()), body.size());
    return movie + packed.substr(0, size);
}

TEST(SwfHeader, ReadsPlainAndCompressedMovies) {
    const std::string body = kStage + kRate24Frames10 + kAs3Attributes + "\x40\x00"s;
    for (const char* signature : {"FWS", "CWS", "ZWS"}) {
        const SwfHeaderResult result = ReadSwfHeader(Movie(signature, body));
        ASSERT_EQ(result.status, SwfHeaderStatus::Ok) << signature << ": " << result.error;
        const SwfHeader& header = result.header;
        EXPECT_EQ(header.compressed, std::string(signature) == "CWS");
        EXPECT_EQ(header.lzma, std::string(signature) == "ZWS");
        EXPECT_EQ(header.version, 10);
        EXPECT_EQ(header.fileLength, 8 + body.size());
        EXPECT_EQ(header.widthTwips, 11000);
        EXPECT_EQ(header.heightTwips, 8000);
        EXPECT_DOUBLE_EQ(header.FrameRate(), 24.0);
        EXPECT_EQ(header.frameCount, 10);
        EXPECT_TRUE(header.actionScript3);
    }
}

TEST(SwfHeader, ActionScript3OnlyFromTheFirstTagsFlag) {
    // Attributes without the flag, in the long tag form.
    const std::string longAttributes = "\x7F\x11\x04\x00\x00\x00\x01\x00\x00\x00"s;
    auto result = ReadSwfHeader(Movie("FWS", kStage + kRate24Frames10 + longAttributes));
    ASSERT_EQ(result.status, SwfHeaderStatus::Ok);
    EXPECT_FALSE(result.header.actionScript3);
    // A background colour first: an old movie without attributes.
    const std::string background = "\x43\x02\xFF\xFF\x08"s;
    result = ReadSwfHeader(Movie("FWS", kStage + kRate24Frames10 + background + kAs3Attributes));
    ASSERT_EQ(result.status, SwfHeaderStatus::Ok);
    EXPECT_FALSE(result.header.actionScript3);
}

TEST(SwfHeader, EveryCutShortStartAsksForMore) {
    const std::string body = kStage + kRate24Frames10 + kAs3Attributes;
    for (const char* signature : {"FWS", "CWS", "ZWS"}) {
        const std::string movie = Movie(signature, body);
        for (size_t size = 0; size < movie.size(); ++size) {
            const SwfHeaderResult result = ReadSwfHeader(std::string_view(movie).substr(0, size));
            if (result.status == SwfHeaderStatus::Ok)
                EXPECT_TRUE(result.header.actionScript3) << signature << " cut at " << size;
            else
                EXPECT_EQ(result.status, SwfHeaderStatus::NeedMoreBytes)
                    << signature << " cut at " << size;
        }
    }
}

TEST(SwfHeader, RejectsWhatIsNoFlashMovie) {
    const std::string body = kStage + kRate24Frames10 + "\x40\x00"s;
    EXPECT_EQ(ReadSwfHeader("FLV\x01\x05\x00\x00\x00\x09"s).status, SwfHeaderStatus::Invalid);
    EXPECT_EQ(ReadSwfHeader("<html>").status, SwfHeaderStatus::Invalid);
    EXPECT_EQ(ReadSwfHeader(Movie("FWS", body, 0)).status, SwfHeaderStatus::Invalid);
    EXPECT_EQ(ReadSwfHeader("CWS\x0A\x20\x00\x00\x00garbage-not-zlib"s).status,
              SwfHeaderStatus::Invalid);
    // xMax below xMin.
    const std::string backwards = "\x50\x10\x00\x00\x00"s + kRate24Frames10 + "\x40\x00"s;
    EXPECT_EQ(ReadSwfHeader(Movie("FWS", backwards)).status, SwfHeaderStatus::Invalid);
    EXPECT_EQ(ReadSwfHeader("ZWS\x0D\x20\x00\x00\x00\x10\x00\x00\x00\x5D\x00\x00\x10\x00garbage"s).status,
              SwfHeaderStatus::Invalid);
    // Properties asking for a 4 GiB dictionary.
    EXPECT_EQ(ReadSwfHeader("ZWS\x0D\x20\x00\x00\x00\x10\x00\x00\x00\x5D\xFF\xFF\xFF\xFF\x00\x00"s).status,
              SwfHeaderStatus::Unsupported);
}

} // namespace
} // namespace luming
