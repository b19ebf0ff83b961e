#include "platform/ruffle/WrapperMovie.h"
#include "platform/ruffle/SwfHeader.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace luming {
namespace {

struct Tag {
    int code;
    std::string body;
};

uint32_t Le(std::string_view bytes, size_t at, int count) {
    uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = (value << 8) | static_cast<uint8_t>(bytes.at(at + i));
    return value;
}

std::vector<Tag> Tags(const std::string& movie) {
    const int rectBits = 5 + 4 * (static_cast<uint8_t>(movie.at(8)) >> 3);
    size_t at = 8 + (rectBits + 7) / 8 + 4;
    std::vector<Tag> tags;
    while (at < movie.size()) {
        const uint32_t head = Le(movie, at, 2);
        size_t length = head & 0x3F;
        at += 2;
        if (length == 0x3F) {
            length = Le(movie, at, 4);
            at += 4;
        }
        tags.push_back({static_cast<int>(head >> 6), movie.substr(at, length)});
        at += length;
    }
    EXPECT_EQ(at, movie.size()) << "the last tag runs past the end";
    return tags;
}

SwfHeader Programme() {
    SwfHeader header;
    header.version = 6;
    header.widthTwips = 6400; // 320×240 px
    header.heightTwips = 4800;
    header.frameRate88 = 12 << 8;
    header.frameCount = 72;
    return header;
}

TEST(WrapperMovie, CarriesTheProgrammesStageAndRateInOneFrameOfAs2) {
    const std::string movie = BuildWrapperMovie(Programme(), "http://127.0.0.1:9/a.swf", 0x123456);
    const SwfHeaderResult read = ReadSwfHeader(movie);
    ASSERT_EQ(read.status, SwfHeaderStatus::Ok) << read.error;
    EXPECT_EQ(read.header.version, 8);
    EXPECT_FALSE(read.header.compressed);
    EXPECT_EQ(read.header.fileLength, movie.size());
    EXPECT_EQ(read.header.widthTwips, 6400);
    EXPECT_EQ(read.header.heightTwips, 4800);
    EXPECT_DOUBLE_EQ(read.header.FrameRate(), 12.0);
    EXPECT_EQ(read.header.frameCount, 1);
    EXPECT_FALSE(read.header.actionScript3);

    const std::vector<Tag> tags = Tags(movie);
    std::vector<int> codes;
    for (const Tag& tag : tags)
        codes.push_back(tag.code);
    ASSERT_EQ(codes,
              (std::vector<int>{69, 9, 12, 1, 0})); // attributes, colour, actions, frame, end
    EXPECT_EQ(static_cast<uint8_t>(tags[0].body.at(0)), 0x01); // network access only
    EXPECT_EQ(tags[1].body, "\x12\x34\x56");
}

// Walks the actions record by record: each must end where the next begins, the stream must end
// on its end byte, and every branch must land on a record.
TEST(WrapperMovie, ActionsAreWellFormedAndLoadTheProgrammeIntoLevel1) {
    const std::string url = "luming-flash://player/programme/3/古诗.swf";
    const std::string movie = BuildWrapperMovie(Programme(), url, 0);
    const std::string actions = Tags(movie).at(2).body;

    std::set<size_t> starts;
    std::vector<size_t> branchTargets;
    size_t at = 0;
    while (at < actions.size() && actions[at] != '\0') {
        starts.insert(at);
        const auto code = static_cast<uint8_t>(actions[at]);
        size_t next = at + 1;
        if (code >= 0x80)
            next = at + 3 + Le(actions, at + 1, 2);
        if (code == 0x99 || code == 0x9D) // Jump, If
            branchTargets.push_back(next + static_cast<int16_t>(Le(actions, at + 3, 2)));
        at = next;
    }
    ASSERT_EQ(at, actions.size() - 1) << "the actions do not end on their end byte";
    starts.insert(at);
    ASSERT_FALSE(branchTargets.empty());
    for (size_t target : branchTargets)
        EXPECT_TRUE(starts.count(target)) << "a branch lands inside a record at " << target;

    // loadMovieNum(url, 1) as GetURL (code, length) with the level as its target.
    const size_t getUrl = actions.find(url + '\0' + "_level1" + '\0') - 3;
    ASSERT_LT(getUrl, actions.size());
    EXPECT_EQ(static_cast<uint8_t>(actions[getUrl]), 0x83);
    EXPECT_EQ(Le(actions, getUrl + 1, 2), url.size() + 1 + 8);
    EXPECT_TRUE(starts.count(getUrl));
    for (const char* callback : {wrapper::kState, wrapper::kPlay, wrapper::kStop,
                                 wrapper::kGotoAndPlay, wrapper::kGotoAndStop, wrapper::kSetLoop})
        EXPECT_NE(actions.find(std::string(callback) + '\0'), std::string::npos) << callback;
}

// The widest stage a header can carry (x from -2^30 to 2^30 - 1) does not fit the wrapper's
// rectangle, which starts at 0: it is cut instead of wrapping the field size to zero.
TEST(WrapperMovie, CutsAStageTooWideForItsRectangle) {
    SwfHeader programme = Programme();
    programme.widthTwips = 0x7FFFFFFF;
    const SwfHeaderResult read = ReadSwfHeader(BuildWrapperMovie(programme, "http://h/a.swf", 0));
    ASSERT_EQ(read.status, SwfHeaderStatus::Ok) << read.error;
    EXPECT_EQ(read.header.widthTwips, 0x3FFFFFFF);
    EXPECT_EQ(read.header.heightTwips, 4800);
    EXPECT_DOUBLE_EQ(read.header.FrameRate(), 12.0);
}

} // namespace
} // namespace luming
