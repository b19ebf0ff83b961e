// The read-along's pinyin: polyphonic characters read by the words around them. The readings
// are the ones a children's poetry book prints, written down here by hand.
#include "platform/pinyin/PinyinReader.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

using namespace luming;

namespace {

using Syllables = std::vector<std::string>;

} // namespace

TEST(Pinyin, ReadsPolyphonicCharactersByTheWordsAroundThem) {
    PinyinReader reader;
    ASSERT_TRUE(reader.Ready());
    EXPECT_EQ(reader.Read("轻舟已过万重山"),
              (Syllables{"qīng", "zhōu", "yǐ", "guò", "wàn", "chóng", "shān"}));
    EXPECT_EQ(reader.Read("遥看瀑布挂前川"),
              (Syllables{"yáo", "kàn", "pù", "bù", "guà", "qián", "chuān"}));
    EXPECT_EQ(reader.Read("长恨歌"), (Syllables{"cháng", "hèn", "gē"}));
    EXPECT_EQ(reader.Read("快乐"), (Syllables{"kuài", "lè"}));
    // The same characters in other words.
    EXPECT_EQ(reader.Read("重要"), (Syllables{"zhòng", "yào"}));
    EXPECT_EQ(reader.Read("长大"), (Syllables{"zhǎng", "dà"}));
    EXPECT_EQ(reader.Read("音乐"), (Syllables{"yīn", "yuè"}));
}

TEST(Pinyin, KeepsEachCharactersOwnToneAndSkipsWhatIsNotChinese) {
    PinyinReader reader;
    // 一 and 不 as a book prints them, not as they are spoken before another tone.
    EXPECT_EQ(reader.Read("两岸猿声啼不住"),
              (Syllables{"liǎng", "àn", "yuán", "shēng", "tí", "bù", "zhù"}));
    EXPECT_EQ(reader.Read("鹅，鹅，鹅！ABC 1"), (Syllables{"é", "é", "é"}));
    EXPECT_EQ(reader.Read(""), Syllables{});
}

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv); // the script engine needs one
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
