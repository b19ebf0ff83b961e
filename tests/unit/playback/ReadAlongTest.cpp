// A programme's read-along file: the timed-lyrics forms it is written in, what makes one broken,
// which line the voice is at, and where the file is looked for.
#include "content/ContentError.h"
#include "playback/LrcReader.h"
#include "playback/ReadAlongSource.h"

#include <gtest/gtest.h>

#include <set>

using namespace luming;

namespace {

std::vector<int64_t> Times(const ReadAlong& readAlong) {
    std::vector<int64_t> times;
    for (const ReadAlongLine& line : readAlong.lines)
        times.push_back(line.milliseconds);
    return times;
}

std::vector<std::string> Texts(const ReadAlong& readAlong) {
    std::vector<std::string> texts;
    for (const ReadAlongLine& line : readAlong.lines)
        texts.push_back(line.text);
    return texts;
}

} // namespace

TEST(ReadAlong, ReadsEveryFormOfTimeTagAndTheTitleAndAuthor) {
    const auto result = ReadLrc("[ti:静夜思]\r\n"
                                "[ar:李白]\n"
                                "[00:01]床前明月光\n"
                                "[00:02.5]疑是地上霜\n"
                                "[00:03.25]举头望明月\n"
                                "[01:04.125] 低头思故乡 \n"
                                "[00:05:50]旧的写法\n");
    ASSERT_TRUE(result.readAlong) << result.error;
    EXPECT_EQ(result.readAlong->title, "静夜思");
    EXPECT_EQ(result.readAlong->author, "李白");
    EXPECT_EQ(Times(*result.readAlong), (std::vector<int64_t>{1000, 2500, 3250, 5500, 64125}));
    EXPECT_EQ(Texts(*result.readAlong),
              (std::vector<std::string>{"床前明月光", "疑是地上霜", "举头望明月", "旧的写法",
                                        "低头思故乡"}));
}

TEST(ReadAlong, ALineWithSeveralTagsIsSungAtEachOfThem) {
    const auto result = ReadLrc("[00:10.00][00:30.00]鹅，鹅，鹅\n[00:20.00]曲项向天歌\n");
    ASSERT_TRUE(result.readAlong);
    EXPECT_EQ(Times(*result.readAlong), (std::vector<int64_t>{10000, 20000, 30000}));
    EXPECT_EQ(Texts(*result.readAlong),
              (std::vector<std::string>{"鹅，鹅，鹅", "曲项向天歌", "鹅，鹅，鹅"}));
}

TEST(ReadAlong, APositiveOffsetBringsTheLinesEarlier) {
    const auto earlier = ReadLrc("[offset:+500]\n[00:02.00]一\n[00:00.20]二\n");
    ASSERT_TRUE(earlier.readAlong);
    EXPECT_EQ(Times(*earlier.readAlong), (std::vector<int64_t>{0, 1500})) << "never before 0";
    const auto later = ReadLrc("[00:02.00]一\n[offset:-250]\n");
    ASSERT_TRUE(later.readAlong);
    EXPECT_EQ(Times(*later.readAlong), (std::vector<int64_t>{2250}));
}

TEST(ReadAlong, ReadsUtf8WithItsMarkAndGb18030) {
    const auto marked = ReadLrc("\xEF\xBB\xBF[ti:春晓]\n[00:01.00]春眠不觉晓\n");
    ASSERT_TRUE(marked.readAlong);
    EXPECT_EQ(marked.readAlong->title, "春晓");
    // 春晓 and 处处闻啼鸟 in GB18030 (GBK) bytes, as Windows tools save them.
    const auto gbk = ReadLrc("[ti:\xB4\xBA\xCF\xFE]\n[00:01.00]\xB4\xA6\xB4\xA6\xCE\xC5\xCC\xE4"
                             "\xC4\xF1\n");
    ASSERT_TRUE(gbk.readAlong);
    EXPECT_EQ(gbk.readAlong->title, "春晓");
    EXPECT_EQ(Texts(*gbk.readAlong), (std::vector<std::string>{"处处闻啼鸟"}));
}

TEST(ReadAlong, APinyinLineWithTheSameTimeGivesTheReadings) {
    const auto result = ReadLrc("[00:01.00]朝辞白帝彩云间，\n"
                                "[00:01.00]zhāo cí bái dì cǎi yún jiān\n"
                                "[00:03.00]千里江陵一日还\n"
                                "[00:03.00]qiān lǐ jiāng\n" // too few syllables: left out
                                "[00:04.00]qian1 li3\n");   // another time: a line of its own
    ASSERT_TRUE(result.readAlong);
    EXPECT_EQ(Texts(*result.readAlong),
              (std::vector<std::string>{"朝辞白帝彩云间，", "千里江陵一日还", "qian1 li3"}));
    EXPECT_EQ(result.readAlong->lines[0].readings,
              (std::vector<std::string>{"zhāo", "cí", "bái", "dì", "cǎi", "yún", "jiān"}));
    EXPECT_TRUE(result.readAlong->lines[1].readings.empty());
}

TEST(ReadAlong, ABrokenOrOversizedFileGivesNoReadAlong) {
    EXPECT_FALSE(ReadLrc("").readAlong);
    EXPECT_FALSE(ReadLrc("[ti:只有标题]\n床前明月光\n").readAlong) << "no timed line";
    EXPECT_FALSE(ReadLrc("[00:61.00]秒数不对\n[aa:bb]x\n[00:01.1234]\n[0:1\n").readAlong);
    EXPECT_FALSE(ReadLrc(std::string(kLargestLrcFile + 1, 'a')).readAlong);
    std::string manyLines;
    for (size_t i = 0; i <= kMostLrcLines; ++i)
        manyLines += "[00:01.00]x\n";
    EXPECT_FALSE(ReadLrc(manyLines).readAlong);
    std::string hundredTags;
    for (int tag = 0; tag < 100; ++tag)
        hundredTags += "[0:01]";
    std::string manyTags;
    for (int line = 0; line < 20; ++line)
        manyTags += hundredTags + "x\n";
    EXPECT_TRUE(ReadLrc(manyTags).readAlong) << "2000 timed lines";
    EXPECT_FALSE(ReadLrc(manyTags + hundredTags + "x\n").readAlong) << "2100 timed lines";
    const auto longLine = ReadLrc("[00:01.00]" + std::string(kLongestLrcLine, 'x'));
    EXPECT_FALSE(longLine.readAlong);
    EXPECT_FALSE(longLine.error.empty());
}

TEST(ReadAlong, TheCurrentLineIsTheLastWhoseTimeHasCome) {
    const auto result = ReadLrc("[00:01.00]一\n[00:02.00]二\n[00:04.00]三\n");
    ASSERT_TRUE(result.readAlong);
    const ReadAlong& poem = *result.readAlong;
    EXPECT_EQ(CurrentReadAlongLine(poem, 999), std::nullopt);
    EXPECT_EQ(CurrentReadAlongLine(poem, 1000), 0u);
    EXPECT_EQ(CurrentReadAlongLine(poem, 3999), 1u);
    EXPECT_EQ(CurrentReadAlongLine(poem, 4000), 2u);
    EXPECT_EQ(CurrentReadAlongLine(poem, 1000000), 2u);
    EXPECT_EQ(CurrentReadAlongLine(poem, 1500), 0u) << "after a seek back";
}

TEST(ReadAlong, OnlyChineseCharactersTakeAReading) {
    const auto pieces = SplitForReadings("鹅，鹅 ok𠀀"); // the last beyond the first plane
    ASSERT_EQ(pieces.size(), 5u);
    EXPECT_TRUE(pieces[0].chinese);
    EXPECT_EQ(pieces[1].text, "，");
    EXPECT_TRUE(pieces[2].chinese);
    EXPECT_EQ(pieces[3].text, " ok");
    EXPECT_FALSE(pieces[3].chinese);
    EXPECT_EQ(pieces[4].text, "𠀀");
    EXPECT_TRUE(pieces[4].chinese);
}

TEST(ReadAlongSource, TheCacheComesBeforeTheDownloadFolder) {
    TKrvPlay play;
    play.Id = "112";
    play.Name = "早发白帝城 李白";
    play.FileType = "2";
    std::set<std::string> files = {"/dl/早发白帝城 李白.lrc", "/cache/26/112.lrc"};
    const auto exists = [&](const std::string& path) { return files.count(path) > 0; };
    EXPECT_EQ(LocalReadAlong(play, "/cache/", 26, "/dl/", exists), "/cache/26/112.lrc");
    files.erase("/cache/26/112.lrc");
    EXPECT_EQ(LocalReadAlong(play, "/cache/", 26, "/dl/", exists), "/dl/早发白帝城 李白.lrc");
    files.clear();
    EXPECT_EQ(LocalReadAlong(play, "/cache/", 26, "/dl/", exists), std::nullopt);
    play.Name = "../secret";
    files = {"/dl/../secret.lrc"};
    EXPECT_EQ(LocalReadAlong(play, "/cache/", 26, "/dl/", exists), std::nullopt);
}

TEST(ReadAlongSource, TheVendorsFileIsAtTheProgrammesAddressWithItsOwnExtension) {
    TKrvPlay play;
    play.Id = "300";
    play.FileType = "4";
    // Id 300 lies in bucket 3, and its enciphered id is 16 hexadecimal digits.
    const auto address = VendorReadAlongAddress("http://dl/", play);
    ASSERT_TRUE(address);
    EXPECT_EQ(address->substr(0, 12), "http://dl/3/");
    EXPECT_EQ(address->size(), std::string("http://dl/3/").size() + 16 + 4);
    EXPECT_EQ(address->substr(address->size() - 4), ".lrc");
    play.FileType = "1";
    EXPECT_EQ(VendorReadAlongAddress("http://dl/", play), std::nullopt) << "Flash movies";
    play.FileType = "2";
    play.Id = "abc";
    EXPECT_THROW(VendorReadAlongAddress("http://dl/", play), ContentError);
}
