#include "StreamPath.h"
#include "Store.h"

#include <gtest/gtest.h>

using namespace kestrivane;

TEST(StreamPath, RoundTripAndRejects) {
    const auto path = ParseStreamPath(MakeStreamPath({"00ab", 42, ".flv"}));
    ASSERT_TRUE(path);
    EXPECT_EQ(path->token, "00ab");
    EXPECT_EQ(path->task, 42);
    EXPECT_EQ(path->extension, ".flv");
    for (const char* bad : {"", "/", "00ab/P2P/1.flv", "/P2P/1.flv", "/zz/P2P/1.flv",
                            "/ab/P2P/.flv", "/ab/P2P/-1.flv", "/ab/P2P/1x.flv", "/ab/P2P/1.f/v",
                            "/ab/P2P/99999999999.flv", "/ab/P2P/1flv", "/ab/x/P2P/1.flv"})
        EXPECT_FALSE(ParseStreamPath(bad)) << bad;
}

TEST(Store, PlayExtensionAndType) {
    EXPECT_EQ(PlayExtension("http://h/1/ABCD.flv"), ".flv");
    EXPECT_EQ(PlayExtension("http://h/1/ABCD.MP3?x=1"), ".mp3");
    EXPECT_EQ(PlayExtension("http://h/1/ABCD"), ".dat");
    EXPECT_EQ(PlayExtension("http://h.flv/1/ABCD"), ".dat");
    EXPECT_EQ(PlayExtension("http://h/1/A.jpeg"), ".dat");
    EXPECT_EQ(ContentTypeFor(".swf"), "application/x-shockwave-flash");
    EXPECT_EQ(ContentTypeFor(".dat"), "application/octet-stream");
}
