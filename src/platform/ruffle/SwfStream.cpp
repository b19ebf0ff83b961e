#include "platform/ruffle/SwfStream.h"

#include "platform/ruffle/SwfLzma.h"

#include <lzma.h>
#include <zlib.h>

#include <algorithm>
#include <array>

namespace luming {

namespace {

constexpr size_t kFixedHeader = 8; // signature, version, length
constexpr int kTagEnd = 0;
constexpr int kTagShowFrame = 1;
// An unpacked body beyond this is no children's programme but a bomb.
constexpr size_t kLargestBody = 256u << 20;

uint32_t Le(std::string_view bytes, size_t at, int count) {
    uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = (value << 8) | static_cast<uint8_t>(bytes[at + i]);
    return value;
}

void PutLe(std::string& out, uint32_t value, int count) {
    for (int i = 0; i < count; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

} // namespace

// Unpacks the body after the fixed header, a piece at a time, as the signature says.
struct SwfStream::Unpacker {
    enum class Kind { Plain, Zlib, Lzma } kind;
    z_stream zlib{};
    lzma_stream lzma = LZMA_STREAM_INIT;
    std::string lzmaPrefix; // until the coder's properties have come
    bool started = false;
    bool finished = false;

    explicit Unpacker(Kind k) : kind(k) {}
    ~Unpacker() {
        if (started && kind == Kind::Zlib)
            inflateEnd(&zlib);
        if (started && kind == Kind::Lzma)
            lzma_end(&lzma);
    }

    // False with `error` set when the bytes cannot be unpacked.
    bool Feed(std::string_view in, std::string& out, std::string& error, bool& unsupported) {
        if (finished || in.empty())
            return true;
        switch (kind) {
        case Kind::Plain:
            out.append(in);
            return true;
        case Kind::Zlib:
            if (!started) {
                if (inflateInit(&zlib) != Z_OK) {
                    error = "no zlib";
                    return false;
                }
                started = true;
            }
            return Inflate(in, out, error);
        case Kind::Lzma:
            if (!started) {
                const size_t take = std::min(in.size(), swf_lzma::kPrefix - lzmaPrefix.size());
                lzmaPrefix.append(in.substr(0, take));
                in.remove_prefix(take);
                if (lzmaPrefix.size() < swf_lzma::kPrefix)
                    return true;
                if (lzma_alone_decoder(&lzma, swf_lzma::kMemoryLimit) != LZMA_OK) {
                    error = "no LZMA decoder";
                    return false;
                }
                started = true;
                if (!Unlzma(swf_lzma::AloneHeader(lzmaPrefix), out, error, unsupported))
                    return false;
            }
            return Unlzma(in, out, error, unsupported);
        }
        return true;
    }

    bool Inflate(std::string_view in, std::string& out, std::string& error) {
        std::array<unsigned char, 64 * 1024> buffer{};
        zlib.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
        zlib.avail_in = static_cast<uInt>(in.size());
        while (true) {
            zlib.next_out = buffer.data();
            zlib.avail_out = static_cast<uInt>(buffer.size());
            const int rc = inflate(&zlib, Z_NO_FLUSH);
            out.append(reinterpret_cast<const char*>(buffer.data()),
                       buffer.size() - zlib.avail_out);
            if (rc == Z_STREAM_END) {
                finished = true;
                return true;
            }
            if (rc != Z_OK && rc != Z_BUF_ERROR) {
                error = "broken compressed Flash movie";
                return false;
            }
            if (zlib.avail_in == 0 && zlib.avail_out != 0)
                return true;
            if (out.size() > kLargestBody) {
                error = "Flash movie too large";
                return false;
            }
        }
    }

    bool Unlzma(std::string_view in, std::string& out, std::string& error, bool& unsupported) {
        std::array<uint8_t, 64 * 1024> buffer{};
        lzma.next_in = reinterpret_cast<const uint8_t*>(in.data());
        lzma.avail_in = in.size();
        while (true) {
            lzma.next_out = buffer.data();
            lzma.avail_out = buffer.size();
            const lzma_ret rc = lzma_code(&lzma, LZMA_RUN);
            out.append(reinterpret_cast<const char*>(buffer.data()),
                       buffer.size() - lzma.avail_out);
            if (rc == LZMA_STREAM_END) {
                finished = true;
                return true;
            }
            if (rc == LZMA_MEMLIMIT_ERROR) {
                unsupported = true;
                error = "LZMA dictionary too large";
                return false;
            }
            if (rc != LZMA_OK && rc != LZMA_BUF_ERROR) {
                error = "broken LZMA-compressed Flash movie";
                return false;
            }
            if (lzma.avail_in == 0 && lzma.avail_out != 0)
                return true;
            if (out.size() > kLargestBody) {
                error = "Flash movie too large";
                return false;
            }
        }
    }
};

SwfStream::SwfStream() = default;
SwfStream::~SwfStream() = default;

bool SwfStream::Fail(std::string error, bool unsupported) {
    error_ = std::move(error);
    unsupported_ = unsupported;
    return false;
}

bool SwfStream::Append(std::string_view bytes) {
    if (!error_.empty())
        return false;
    // Packed or not, a movie never takes more bytes than its unpacked body may have.
    if (received_.size() + bytes.size() > kFixedHeader + kLargestBody)
        return Fail("the movie is larger than any programme");
    const size_t before = received_.size();
    received_.append(bytes);
    if (!header_) {
        const SwfHeaderResult result = ReadSwfHeader(received_);
        switch (result.status) {
        case SwfHeaderStatus::NeedMoreBytes:
            return true;
        case SwfHeaderStatus::Invalid:
            return Fail(result.error);
        case SwfHeaderStatus::Unsupported:
            return Fail(result.error, true);
        case SwfHeaderStatus::Ok:
            break;
        }
        header_ = result.header;
        using Kind = Unpacker::Kind;
        unpacker_ = std::make_unique<Unpacker>(header_->compressed ? Kind::Zlib
                                               : header_->lzma     ? Kind::Lzma
                                                                   : Kind::Plain);
        bytes = std::string_view(received_).substr(kFixedHeader);
    } else {
        bytes = std::string_view(received_).substr(std::max(before, kFixedHeader));
    }
    if (!unpacker_->Feed(bytes, body_, error_, unsupported_))
        return false;
    // Bytes past the announced length are no part of the movie.
    if (header_->fileLength >= kFixedHeader && body_.size() > header_->fileLength - kFixedHeader)
        body_.resize(header_->fileLength - kFixedHeader);
    Scan();
    return true;
}

void SwfStream::Scan() {
    if (nextTag_ == 0) { // the stage rectangle, frame rate and count come before the tags
        if (body_.empty())
            return;
        const size_t rectBits = 5 + 4 * (static_cast<uint8_t>(body_[0]) >> 3);
        nextTag_ = framesEnd_ = (rectBits + 7) / 8 + 4;
    }
    while (!ended_ && body_.size() >= nextTag_ + 2) {
        const uint32_t codeAndLength = Le(body_, nextTag_, 2);
        size_t headSize = 2;
        size_t length = codeAndLength & 0x3F;
        if (length == 0x3F) {
            if (body_.size() < nextTag_ + 6)
                return;
            headSize = 6;
            length = Le(body_, nextTag_ + 2, 4);
        }
        if (body_.size() - nextTag_ - headSize < length)
            return; // the tag is still coming
        nextTag_ += headSize + length;
        const int code = static_cast<int>(codeAndLength >> 6);
        if (code == kTagShowFrame) {
            ++frames_;
            framesEnd_ = nextTag_;
        } else if (code == kTagEnd) {
            ended_ = true;
        }
    }
}

std::string SwfStream::PrefixMovie() const {
    if (!header_ || frames_ == 0)
        return {};
    std::string movie = "FWS";
    movie += static_cast<char>(header_->version);
    PutLe(movie, static_cast<uint32_t>(kFixedHeader + framesEnd_ + 2), 4);
    movie.append(body_, 0, framesEnd_);
    PutLe(movie, 0, 2); // End
    return movie;
}

} // namespace luming
