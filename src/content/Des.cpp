#include "content/Des.h"

#include "content/DesTables.h"

#include <bit>
#include <optional>
#include <vector>

namespace luming {

namespace {

using namespace des_tables;

// Picks `table.size()` bits out of the `inWidth` low bits of `in` (1-based, most significant
// first). Used only where speed does not matter: the key schedule and building the tables.
template <std::size_t N>
uint64_t PermuteBits(uint64_t in, int inWidth, const std::array<uint8_t, N>& table) {
    uint64_t out = 0;
    for (uint8_t position : table)
        out = (out << 1) | ((in >> (inWidth - position)) & 1);
    return out;
}

// A 64-bit permutation done a byte at a time: each byte value of each input position maps to
// the output bits it lands on.
struct BytePermutation {
    std::array<std::array<uint64_t, 256>, 8> parts{};

    explicit BytePermutation(const std::array<uint8_t, 64>& table) {
        for (int byte = 0; byte < 8; ++byte)
            for (int value = 0; value < 256; ++value)
                parts[byte][value] =
                    PermuteBits(static_cast<uint64_t>(value) << (56 - 8 * byte), 64, table);
    }

    uint64_t operator()(uint64_t in) const {
        uint64_t out = 0;
        for (int byte = 0; byte < 8; ++byte)
            out |= parts[byte][(in >> (56 - 8 * byte)) & 0xFF];
        return out;
    }
};

// Each S-box with permutation P folded in: the 32-bit contribution of S-box `box` for a 6-bit
// input, ready to be combined by exclusive or.
struct SBoxTables {
    std::array<std::array<uint32_t, 64>, 8> boxes{};

    SBoxTables() {
        for (int box = 0; box < 8; ++box)
            for (int input = 0; input < 64; ++input) {
                const int row = ((input >> 4) & 2) | (input & 1);
                const int column = (input >> 1) & 0xF;
                const uint64_t placed = static_cast<uint64_t>(kSBoxes[box][row * 16 + column])
                                        << (28 - 4 * box);
                boxes[box][input] = static_cast<uint32_t>(PermuteBits(placed, 32, kPermutationP));
            }
    }
};

struct BlockTables {
    BytePermutation initial{kInitialPermutation};
    BytePermutation final{kFinalPermutation};
    SBoxTables sboxes;
};

// Built once, on first use; constant afterwards, so any thread may read them.
const BlockTables& Tables() {
    static const BlockTables tables;
    return tables;
}

uint64_t FromBytes(const DesBlockBytes& bytes) {
    uint64_t value = 0;
    for (uint8_t byte : bytes)
        value = (value << 8) | byte;
    return value;
}

DesBlockBytes ToBytes(uint64_t value) {
    DesBlockBytes bytes{};
    for (int i = 7; i >= 0; --i, value >>= 8)
        bytes[i] = static_cast<uint8_t>(value & 0xFF);
    return bytes;
}

uint32_t Rotate28(uint32_t half, int count) {
    return ((half << count) | (half >> (28 - count))) & 0x0FFFFFFF;
}

std::optional<uint8_t> HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return static_cast<uint8_t>(c - '0');
    if (c >= 'A' && c <= 'F')
        return static_cast<uint8_t>(c - 'A' + 10);
    if (c >= 'a' && c <= 'f')
        return static_cast<uint8_t>(c - 'a' + 10);
    return std::nullopt;
}

// Pairs of hex digits to bytes; an odd last digit stands alone. Nothing for an empty text or
// any character that is not a hex digit.
std::optional<std::vector<uint8_t>> BytesFromHex(std::string_view hex) {
    if (hex.empty())
        return std::nullopt;
    std::vector<uint8_t> bytes;
    bytes.reserve(hex.size() / 2 + 1);
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        const auto high = HexDigit(hex[i]);
        if (!high)
            return std::nullopt;
        if (i + 1 == hex.size()) {
            bytes.push_back(*high);
            break;
        }
        const auto low = HexDigit(hex[i + 1]);
        if (!low)
            return std::nullopt;
        bytes.push_back(static_cast<uint8_t>(*high << 4 | *low));
    }
    return bytes;
}

// Cuts `data` into blocks of 8 (the last filled with zero bytes, at least one block) and runs
// each through the schedule on its own.
template <class Bytes, class OnBlock>
void ForEachBlock(const Bytes& data, const DesKeySchedule& schedule, OnBlock onBlock) {
    const std::size_t size = data.size();
    for (std::size_t start = 0; start == 0 || start < size; start += 8) {
        DesBlockBytes block{};
        for (std::size_t i = 0; i < 8 && start + i < size; ++i)
            block[i] = static_cast<uint8_t>(data[start + i]);
        onBlock(schedule.Apply(block));
    }
}

} // namespace

DesBlockBytes MakeKeyBlock(std::string_view keyText) {
    DesBlockBytes key{};
    for (std::size_t i = 0; i < keyText.size(); ++i) {
        uint8_t& byte = key[(i + 1) % 8];
        byte = static_cast<uint8_t>(byte + static_cast<uint8_t>(keyText[i]));
    }
    return key;
}

DesKeySchedule::DesKeySchedule(const DesBlockBytes& key, DesDirection direction) {
    const uint64_t chosen = PermuteBits(FromBytes(key), 64, kPermutedChoice1);
    uint32_t c = static_cast<uint32_t>(chosen >> 28) & 0x0FFFFFFF;
    uint32_t d = static_cast<uint32_t>(chosen) & 0x0FFFFFFF;
    for (int round = 0; round < 16; ++round) {
        c = Rotate28(c, kKeyRotations[round]);
        d = Rotate28(d, kKeyRotations[round]);
        const uint64_t roundKey =
            PermuteBits((static_cast<uint64_t>(c) << 28) | d, 56, kPermutedChoice2);
        const int slot = direction == DesDirection::Encipher ? round : 15 - round;
        for (int group = 0; group < 8; ++group)
            roundKeys_[slot][group] = static_cast<uint8_t>((roundKey >> (42 - 6 * group)) & 0x3F);
    }
}

DesBlockBytes DesKeySchedule::Apply(const DesBlockBytes& input) const {
    const BlockTables& tables = Tables();
    const uint64_t permuted = tables.initial(FromBytes(input));
    uint32_t left = static_cast<uint32_t>(permuted >> 32);
    uint32_t right = static_cast<uint32_t>(permuted);
    for (const auto& roundKey : roundKeys_) {
        uint32_t mixed = 0;
        // Group g of the expansion is bits 4g..4g+5 of the right half (bit 0 being bit 32).
        for (int group = 0; group < 8; ++group)
            mixed ^= tables.sboxes
                         .boxes[group][(std::rotr(right, 27 - 4 * group) & 0x3F) ^ roundKey[group]];
        const uint32_t next = left ^ mixed;
        left = right;
        right = next;
    }
    return ToBytes(tables.final((static_cast<uint64_t>(right) << 32) | left));
}

std::string EncryptToHex(std::string_view plainText, std::string_view keyText) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    const DesKeySchedule schedule(MakeKeyBlock(keyText), DesDirection::Encipher);
    std::string hex;
    hex.reserve(16 * (plainText.size() / 8 + 1));
    ForEachBlock(plainText, schedule, [&](const DesBlockBytes& block) {
        for (uint8_t byte : block) {
            hex.push_back(kDigits[byte >> 4]);
            hex.push_back(kDigits[byte & 0xF]);
        }
    });
    return hex;
}

std::string DecryptFromHex(std::string_view cipherHex, std::string_view keyText) {
    const auto bytes = BytesFromHex(cipherHex);
    if (!bytes)
        return {};
    const DesKeySchedule schedule(MakeKeyBlock(keyText), DesDirection::Decipher);
    std::string plain;
    plain.reserve(bytes->size() + 8);
    ForEachBlock(*bytes, schedule,
                 [&](const DesBlockBytes& block) { plain.append(block.begin(), block.end()); });
    return plain.substr(0, plain.find('\0'));
}

} // namespace luming
