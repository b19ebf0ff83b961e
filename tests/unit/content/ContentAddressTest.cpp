#include "content/ContentAddress.h"
#include "content/ContentError.h"
#include "content/Des.h"
#include "content/LocalFile.h"

#include <gtest/gtest.h>

using namespace luming;

namespace {
const std::string kBase = "http://dl.example.com/26/";
}

TEST(ContentAddress, BucketIsTheIdOver128RoundedUp) {
    EXPECT_EQ(IdBucket(0), 0);
    EXPECT_EQ(IdBucket(1), 1);
    EXPECT_EQ(IdBucket(128), 1);
    EXPECT_EQ(IdBucket(129), 2);
    EXPECT_EQ(IdBucket(2147483647), 16777216);
    EXPECT_EQ(IdBucket(-1), 0);
    EXPECT_EQ(IdBucket(-129), -1);
}

TEST(ContentAddress, SourceUrlPieces) {
    EXPECT_EQ(SourceUrlFor(kBase, "300", "4"),
              kBase + "3/" + EncryptToHex("300", ContentKey) + ".flv");
    EXPECT_EQ(SourceUrlFor(kBase, "128", "2"),
              kBase + "1/" + EncryptToHex("128", ContentKey) + ".mp3");
    // Leading zeros are dropped before enciphering.
    EXPECT_EQ(SourceUrlFor(kBase, "007", "1"), SourceUrlFor(kBase, "7", "1"));
    // No extension for types without a file of their own.
    const std::string folder = SourceUrlFor(kBase, "0", "0");
    EXPECT_EQ(folder, kBase + "0/" + EncryptToHex("0", ContentKey));
    // Ids of more than eight digits take two blocks.
    EXPECT_EQ(SourceUrlFor("", "123456789", "").size(), std::string("964507/").size() + 32);
}

TEST(ContentAddress, ExtensionsByType) {
    EXPECT_EQ(GetFileExt("1"), ".swf");
    EXPECT_EQ(GetFileExt("2"), ".mp3");
    EXPECT_EQ(GetFileExt("3"), ".txt");
    EXPECT_EQ(GetFileExt("4"), ".flv");
    EXPECT_EQ(GetFileExt("10"), ".rar");
    EXPECT_EQ(GetFileExt("11"), ".zip");
    EXPECT_EQ(GetFileExt("04"), ".flv") << "the code is a number";
    EXPECT_EQ(GetFileExt("abc"), "");
    EXPECT_EQ(GetFileExt(""), "");
    EXPECT_EQ(GetFileExt("5"), "");
}

// The content key pinned by a value computed outside this program (DES-ECB of the folded key
// over the zero-padded id, as OpenSSL computes it).
TEST(ContentAddress, TheContentKeyEnciphersAsTheVendorsServerExpects) {
    EXPECT_EQ(SourceUrlFor("http://d/", "300", "04"), "http://d/3/C349E7A4BC6525CA.flv");
}

TEST(ContentAddress, IdThatIsNotAWholeNumberIsAnError) {
    for (const char* id : {"", "abc", "1.5", "12a", "99999999999"})
        EXPECT_THROW(SourceUrlFor(kBase, id, "4"), ContentError) << id;
}

TEST(ContentAddress, NameSpaces) {
    EXPECT_EQ(DecodeNameSpaces("静夜思%20李白%20"), "静夜思 李白 ");
    EXPECT_EQ(DecodeNameSpaces("a%2020%20"), "a 20 ");
    EXPECT_EQ(DecodeNameSpaces("a%2f%2"), "a%2f%2");
}

TEST(LocalFile, StemsFromOutsideStayInsideTheDirectory) {
    EXPECT_EQ(SafeLocalFile("/suite/26/DL/", "静夜思 李白", ".mp3"),
              "/suite/26/DL/静夜思 李白.mp3");
    EXPECT_EQ(SafeLocalFile("/c/", "..x", ".flv"), "/c/..x.flv");
    for (const std::string& stem :
         std::vector<std::string>{"", ".", "..", "../etc/passwd", "a/b", "/abs", "..\\x",
                                  std::string("a\0b", 3), "a\nb"})
        EXPECT_FALSE(SafeLocalFile("/c/", stem, ".flv")) << stem;
}
