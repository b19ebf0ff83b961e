// Blocks per second of the table-driven block function against a plain bit-by-bit one, which
// lives only here as the yardstick.
#include "content/Des.h"
#include "content/DesTables.h"

#include <benchmark/benchmark.h>

#include <array>

using namespace luming;
using namespace luming::des_tables;

namespace {

using Bits64 = std::array<uint8_t, 64>;

// One byte per bit, every permutation walked bit by bit.
class BitByBitDes {
public:
    explicit BitByBitDes(const DesBlockBytes& key) {
        const Bits64 keyBits = ToBits(key);
        std::array<uint8_t, 56> cd{};
        for (int i = 0; i < 56; ++i)
            cd[i] = keyBits[kPermutedChoice1[i] - 1];
        for (int round = 0; round < 16; ++round) {
            for (int r = 0; r < kKeyRotations[round]; ++r) {
                const uint8_t c0 = cd[0], d0 = cd[28];
                for (int i = 0; i < 27; ++i) {
                    cd[i] = cd[i + 1];
                    cd[28 + i] = cd[29 + i];
                }
                cd[27] = c0;
                cd[55] = d0;
            }
            for (int i = 0; i < 48; ++i)
                roundKeys_[round][i] = cd[kPermutedChoice2[i] - 1];
        }
    }

    DesBlockBytes Apply(const DesBlockBytes& input) const {
        const Bits64 in = ToBits(input);
        std::array<uint8_t, 32> left{}, right{};
        for (int i = 0; i < 32; ++i) {
            left[i] = in[kInitialPermutation[i] - 1];
            right[i] = in[kInitialPermutation[i + 32] - 1];
        }
        for (const auto& roundKey : roundKeys_) {
            std::array<uint8_t, 48> expanded{};
            for (int i = 0; i < 48; ++i)
                expanded[i] = right[kExpansion[i] - 1] ^ roundKey[i];
            std::array<uint8_t, 32> substituted{};
            for (int box = 0; box < 8; ++box) {
                const uint8_t* six = &expanded[box * 6];
                const int row = six[0] << 1 | six[5];
                const int column = six[1] << 3 | six[2] << 2 | six[3] << 1 | six[4];
                const uint8_t value = kSBoxes[box][row * 16 + column];
                for (int bit = 0; bit < 4; ++bit)
                    substituted[box * 4 + bit] = (value >> (3 - bit)) & 1;
            }
            std::array<uint8_t, 32> next{};
            for (int i = 0; i < 32; ++i)
                next[i] = left[i] ^ substituted[kPermutationP[i] - 1];
            left = right;
            right = next;
        }
        Bits64 preOutput{};
        for (int i = 0; i < 32; ++i) {
            preOutput[i] = right[i];
            preOutput[32 + i] = left[i];
        }
        Bits64 out{};
        for (int i = 0; i < 64; ++i)
            out[i] = preOutput[kFinalPermutation[i] - 1];
        return FromBits(out);
    }

private:
    static Bits64 ToBits(const DesBlockBytes& bytes) {
        Bits64 bits{};
        for (int i = 0; i < 64; ++i)
            bits[i] = (bytes[i / 8] >> (7 - i % 8)) & 1;
        return bits;
    }
    static DesBlockBytes FromBits(const Bits64& bits) {
        DesBlockBytes bytes{};
        for (int i = 0; i < 64; ++i)
            bytes[i / 8] = static_cast<uint8_t>(bytes[i / 8] | bits[i] << (7 - i % 8));
        return bytes;
    }

    std::array<std::array<uint8_t, 48>, 16> roundKeys_{};
};

const DesBlockBytes kKey = {0x13, 0x34, 0x57, 0x79, 0x9B, 0xBC, 0xDF, 0xF1};

template <class Cipher> void RunBlocks(benchmark::State& state, const Cipher& cipher) {
    DesBlockBytes block = {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF};
    for (auto _ : state) {
        block = cipher.Apply(block);
        benchmark::DoNotOptimize(block);
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_DesBlockTableDriven(benchmark::State& state) {
    RunBlocks(state, DesKeySchedule(kKey, DesDirection::Encipher));
}
BENCHMARK(BM_DesBlockTableDriven);

void BM_DesBlockBitByBit(benchmark::State& state) {
    const BitByBitDes cipher(kKey);
    // The yardstick must agree with the standard, or the comparison means nothing.
    if (cipher.Apply({0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF}) !=
        DesBlockBytes{0x85, 0xE8, 0x13, 0x54, 0x0F, 0x0A, 0xB4, 0x05}) {
        state.SkipWithError("bit-by-bit DES disagrees with the known answer");
        return;
    }
    RunBlocks(state, cipher);
}
BENCHMARK(BM_DesBlockBitByBit);

// A content address's id, key schedule included, as each fetch does it.
void BM_EncryptToHexId(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(EncryptToHex("123456", "QRX#2207%LUMA^KEY"));
}
BENCHMARK(BM_EncryptToHexId);

} // namespace
