#include "content/Des.h"
#include "content/ContentAddress.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

using namespace luming;

namespace {

DesBlockBytes Block(uint64_t value) {
    DesBlockBytes bytes{};
    for (int i = 7; i >= 0; --i, value >>= 8)
        bytes[i] = static_cast<uint8_t>(value);
    return bytes;
}

// The key text that folds into exactly `key`: character i lands in byte i mod 8.
std::string KeyTextFor(const DesBlockBytes& key) {
    std::string text;
    for (int i = 1; i <= 8; ++i)
        text += static_cast<char>(key[i % 8]);
    return text;
}

std::string Bytes(uint64_t value) {
    const DesBlockBytes block = Block(value);
    return std::string(block.begin(), block.end());
}

} // namespace

TEST(Des, KnownAnswersOfTheStandard) {
    const DesKeySchedule encipher(Block(0x133457799BBCDFF1), DesDirection::Encipher);
    EXPECT_EQ(encipher.Apply(Block(0x0123456789ABCDEF)), Block(0x85E813540F0AB405));
    const DesKeySchedule decipher(Block(0x133457799BBCDFF1), DesDirection::Decipher);
    EXPECT_EQ(decipher.Apply(Block(0x85E813540F0AB405)), Block(0x0123456789ABCDEF));

    const DesKeySchedule other(Block(0x0E329232EA6D0D73), DesDirection::Encipher);
    EXPECT_EQ(other.Apply(Block(0x8787878787878787)), Block(0));
}

TEST(Des, ParityBitsOfTheKeyAreIgnored) {
    const DesKeySchedule flipped(Block(0x133457799BBCDFF1 ^ 0x0101010101010101),
                                 DesDirection::Encipher);
    EXPECT_EQ(flipped.Apply(Block(0x0123456789ABCDEF)), Block(0x85E813540F0AB405));
}

TEST(Des, TextOperationsMatchTheBlockFunction) {
    const std::string key = KeyTextFor(Block(0x133457799BBCDFF1));
    EXPECT_EQ(EncryptToHex(Bytes(0x0123456789ABCDEF), key), "85E813540F0AB405");
    EXPECT_EQ(DecryptFromHex("85e813540f0ab405", key), Bytes(0x0123456789ABCDEF));
}

TEST(Des, KeyTextFoldsIntoEightBytes) {
    EXPECT_EQ(MakeKeyBlock(""), DesBlockBytes{});
    EXPECT_EQ(MakeKeyBlock("abc"), (DesBlockBytes{0, 'a', 'b', 'c', 0, 0, 0, 0}));
    // The ninth character adds to the first one's byte, modulo 256.
    EXPECT_EQ(MakeKeyBlock(std::string("\xF0......\x01\x20", 9))[1], 0x10);
    // Keys that fold to the same bytes encipher alike.
    EXPECT_EQ(EncryptToHex("300", std::string("\x01\x00\x00\x00\x00\x00\x00\x00\x01", 9)),
              EncryptToHex("300", std::string("\x02", 1)));
}

TEST(Des, CipherTextLengthFollowsTheBlocks) {
    EXPECT_EQ(EncryptToHex("", ContentKey).size(), 16u);
    EXPECT_EQ(EncryptToHex("", ContentKey), EncryptToHex(std::string(8, '\0'), ContentKey));
    EXPECT_EQ(EncryptToHex("12345678", ContentKey).size(), 16u);
    EXPECT_EQ(EncryptToHex("123456789", ContentKey).size(), 32u);
    const std::string hex = EncryptToHex("any text at all", ContentKey);
    EXPECT_EQ(hex.find_first_not_of("0123456789ABCDEF"), std::string::npos);
}

TEST(Des, RoundTripsTextWithoutZeroBytes) {
    for (const std::string plain : {"7", "300", "12345678", "123456789", "鹿鸣果 programme 26"})
        EXPECT_EQ(DecryptFromHex(EncryptToHex(plain, ContentKey), ContentKey), plain) << plain;
    // A zero byte in the plain text ends the deciphered text there.
    EXPECT_EQ(DecryptFromHex(EncryptToHex(std::string("ab\0cd", 5), ContentKey), ContentKey), "ab");
}

TEST(Des, BadCipherTextGivesEmptyText) {
    EXPECT_EQ(DecryptFromHex("", ContentKey), "");
    EXPECT_EQ(DecryptFromHex("0G", ContentKey), "");
    EXPECT_EQ(DecryptFromHex(EncryptToHex("300", ContentKey) + "zz", ContentKey), "");
    EXPECT_EQ(DecryptFromHex(" 1", ContentKey), "");
    EXPECT_EQ(DecryptFromHex(std::string("\0\0", 2), ContentKey), "");
}

TEST(Des, OddLengthReadsTheLastDigitAsAByte) {
    const DesKeySchedule encipher(MakeKeyBlock(ContentKey), DesDirection::Encipher);
    // Cipher bytes AB 0C (the lone "C"), filled up with zeros, decipher as one block.
    const DesKeySchedule decipher(MakeKeyBlock(ContentKey), DesDirection::Decipher);
    const DesBlockBytes plain = decipher.Apply(Block(0xAB0C000000000000));
    const std::string expected(plain.begin(), plain.end());
    EXPECT_EQ(DecryptFromHex("ABC", ContentKey), expected.substr(0, expected.find('\0')));
    EXPECT_EQ(encipher.Apply(plain), Block(0xAB0C000000000000));
}

TEST(Des, SafeFromManyThreadsAtOnce) {
    const std::string expected = EncryptToHex("123456789", ContentKey);
    std::vector<std::thread> threads;
    std::vector<int> mismatches(4, 0);
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            const std::string key = t % 2 ? std::string(ContentKey) : "another key";
            const std::string mine = EncryptToHex("123456789", key);
            for (int i = 0; i < 2000; ++i)
                if (EncryptToHex("123456789", key) != mine ||
                    DecryptFromHex(mine, key) != "123456789" || (t % 2 && mine != expected))
                    ++mismatches[t];
        });
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(mismatches, std::vector<int>(4, 0));
}
