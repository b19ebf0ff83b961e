#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace luming {

// DES (FIPS 46-3) used block by block, and the text form the program keeps cipher text in.
// Everything here is re-entrant: each call works on its own key schedule.

using DesBlockBytes = std::array<uint8_t, 8>;

// Folds a key text of any length into 8 bytes: the character at 1-based position i is added
// (mod 256) to byte i mod 8.
DesBlockBytes MakeKeyBlock(std::string_view keyText);

enum class DesDirection { Encipher, Decipher };

// The sixteen round keys, in the order the block function walks them.
class DesKeySchedule {
public:
    DesKeySchedule(const DesBlockBytes& key, DesDirection direction);

    DesBlockBytes Apply(const DesBlockBytes& input) const;

private:
    // Each round key as eight 6-bit groups, one per S-box.
    std::array<std::array<uint8_t, 8>, 16> roundKeys_{};
};

// Plain text → upper-case hex, 16 digits per block; the last block is filled with zero bytes and
// an empty text still gives one block.
std::string EncryptToHex(std::string_view plainText, std::string_view keyText);

// Hex (either case; an odd last digit is a byte of its own) → plain text, cut at its first zero
// byte. Empty for an empty text or anything that is not hexadecimal.
std::string DecryptFromHex(std::string_view cipherHex, std::string_view keyText);

} // namespace luming
