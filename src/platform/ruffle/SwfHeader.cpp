#include "platform/ruffle/SwfHeader.h"

#include "platform/ruffle/SwfLzma.h"

#include <lzma.h>
#include <zlib.h>

#include <array>

namespace luming {

namespace {

// Signature, version, file length.
constexpr size_t kFixedHeader = 8;
// Stage RECT (at most 17 bytes), frame rate, frame count, a long tag header, the attribute flags.
constexpr size_t kNeededBody = 17 + 4 + 6 + 1;
constexpr int kFileAttributesTag = 69;
constexpr uint8_t kActionScript3Flag = 0x08;

class BitReader {
public:
    explicit BitReader(std::string_view bytes) : bytes_(bytes) {}

    bool Has(size_t bits) const { return bitPos_ + bits <= bytes_.size() * 8; }
    uint32_t Unsigned(int bits) {
        uint32_t value = 0;
        for (int i = 0; i < bits; ++i, ++bitPos_) {
            const auto byte = static_cast<uint8_t>(bytes_[bitPos_ / 8]);
            value = (value << 1) | ((byte >> (7 - bitPos_ % 8)) & 1u);
        }
        return value;
    }
    int32_t Signed(int bits) {
        const uint32_t value = Unsigned(bits);
        if (bits > 0 && bits < 32 && (value & (1u << (bits - 1))))
            return static_cast<int32_t>(value | ~((1u << bits) - 1));
        return static_cast<int32_t>(value);
    }
    size_t BytePos() const { return (bitPos_ + 7) / 8; }

private:
    std::string_view bytes_;
    size_t bitPos_ = 0;
};

uint32_t Le(std::string_view bytes, size_t at, int count) {
    uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = (value << 8) | static_cast<uint8_t>(bytes[at + i]);
    return value;
}

SwfHeaderResult Fail(SwfHeaderStatus status, std::string error) {
    SwfHeaderResult result;
    result.status = status;
    result.error = std::move(error);
    return result;
}

// Inflates the start of a zlib stream: at most kNeededBody bytes, fewer when the stream ends.
// Sets `truncated` when the input ran out first.
bool InflateStart(std::string_view input, std::string& output, bool& truncated) {
    std::array<unsigned char, kNeededBody> out{};
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK)
        return false;
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(input.data()));
    stream.avail_in = static_cast<uInt>(input.size());
    stream.next_out = out.data();
    stream.avail_out = static_cast<uInt>(out.size());
    int rc = Z_OK;
    while (rc == Z_OK && stream.avail_out > 0 && stream.avail_in > 0)
        rc = inflate(&stream, Z_NO_FLUSH);
    const size_t produced = out.size() - stream.avail_out;
    inflateEnd(&stream);
    if (rc != Z_OK && rc != Z_STREAM_END && rc != Z_BUF_ERROR)
        return false;
    output.assign(reinterpret_cast<const char*>(out.data()), produced);
    truncated = rc != Z_STREAM_END && stream.avail_out > 0;
    return true;
}

// The same for an LZMA body, through liblzma's ".lzma" decoder. LZMA_MEMLIMIT_ERROR for a
// dictionary too large.
lzma_ret LzmaStart(std::string_view input, std::string& output, bool& truncated) {
    truncated = input.size() < swf_lzma::kPrefix;
    if (truncated)
        return LZMA_OK;
    std::string alone = swf_lzma::AloneHeader(input);
    alone.append(input.substr(swf_lzma::kPrefix));
    lzma_stream stream = LZMA_STREAM_INIT;
    if (const lzma_ret rc = lzma_alone_decoder(&stream, swf_lzma::kMemoryLimit); rc != LZMA_OK)
        return rc;
    std::array<uint8_t, kNeededBody> out{};
    stream.next_in = reinterpret_cast<const uint8_t*>(alone.data());
    stream.avail_in = alone.size();
    stream.next_out = out.data();
    stream.avail_out = out.size();
    lzma_ret rc = LZMA_OK;
    while (rc == LZMA_OK && stream.avail_out > 0 && stream.avail_in > 0)
        rc = lzma_code(&stream, LZMA_RUN);
    const size_t produced = out.size() - stream.avail_out;
    lzma_end(&stream);
    if (rc != LZMA_OK && rc != LZMA_STREAM_END)
        return rc;
    output.assign(reinterpret_cast<const char*>(out.data()), produced);
    truncated = rc != LZMA_STREAM_END && stream.avail_out > 0;
    return LZMA_OK;
}

} // namespace

SwfHeaderResult ReadSwfHeader(std::string_view bytes) {
    const std::string_view signature = bytes.substr(0, 3);
    if (std::string_view("FWS").substr(0, signature.size()) != signature &&
        std::string_view("CWS").substr(0, signature.size()) != signature &&
        std::string_view("ZWS").substr(0, signature.size()) != signature)
        return Fail(SwfHeaderStatus::Invalid, "not a Flash movie");
    if (bytes.size() < kFixedHeader)
        return Fail(SwfHeaderStatus::NeedMoreBytes, "header cut short");

    SwfHeaderResult result;
    SwfHeader& header = result.header;
    header.compressed = signature == "CWS";
    header.lzma = signature == "ZWS";
    header.version = static_cast<uint8_t>(bytes[3]);
    header.fileLength = Le(bytes, 4, 4);
    if (header.version == 0 || header.fileLength < kFixedHeader)
        return Fail(SwfHeaderStatus::Invalid, "not a Flash movie");

    std::string inflated;
    std::string_view body = bytes.substr(kFixedHeader);
    bool truncated = body.size() < kNeededBody;
    if (header.compressed) {
        if (!InflateStart(body, inflated, truncated))
            return Fail(SwfHeaderStatus::Invalid, "broken compressed Flash movie");
        body = inflated;
    } else if (header.lzma) {
        const lzma_ret rc = LzmaStart(body, inflated, truncated);
        if (rc == LZMA_MEMLIMIT_ERROR)
            return Fail(SwfHeaderStatus::Unsupported, "LZMA dictionary too large");
        if (rc != LZMA_OK)
            return Fail(SwfHeaderStatus::Invalid, "broken LZMA-compressed Flash movie");
        body = inflated;
    }
    const auto incomplete = [&](const char* what) {
        return Fail(truncated ? SwfHeaderStatus::NeedMoreBytes : SwfHeaderStatus::Invalid, what);
    };

    BitReader bits(body);
    if (!bits.Has(5))
        return incomplete("stage size cut short");
    const int nbits = static_cast<int>(bits.Unsigned(5));
    if (!bits.Has(4 * nbits))
        return incomplete("stage size cut short");
    const int32_t xMin = bits.Signed(nbits), xMax = bits.Signed(nbits);
    const int32_t yMin = bits.Signed(nbits), yMax = bits.Signed(nbits);
    header.widthTwips = static_cast<int>(static_cast<int64_t>(xMax) - xMin);
    header.heightTwips = static_cast<int>(static_cast<int64_t>(yMax) - yMin);
    if (header.widthTwips < 0 || header.heightTwips < 0)
        return Fail(SwfHeaderStatus::Invalid, "negative stage size");

    size_t at = bits.BytePos();
    if (body.size() < at + 4)
        return incomplete("frame rate cut short");
    header.frameRate88 = static_cast<uint16_t>(Le(body, at, 2));
    header.frameCount = static_cast<int>(Le(body, at + 2, 2));
    at += 4;

    // The attributes, when present, are the first tag.
    if (body.size() < at + 2)
        return incomplete("first tag cut short");
    const uint32_t codeAndLength = Le(body, at, 2);
    if (codeAndLength >> 6 == kFileAttributesTag) {
        const size_t flagsAt = at + ((codeAndLength & 0x3F) == 0x3F ? 6 : 2);
        if (body.size() <= flagsAt)
            return incomplete("file attributes cut short");
        header.actionScript3 = (static_cast<uint8_t>(body[flagsAt]) & kActionScript3Flag) != 0;
    }
    result.status = SwfHeaderStatus::Ok;
    return result;
}

} // namespace luming
