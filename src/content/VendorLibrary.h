#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

namespace luming {

// The vendor library as the program uses it. One real implementation (KestrivaneLibrary) and
// fakes in the tests.
class VendorLibrary {
public:
    static constexpr std::size_t kReplySize = 1024;
    using ReplyBuffer = std::array<char, kReplySize>;
    // (task number, percent); called on the library's own thread, so a receiver that touches
    // controls must carry the call to the UI thread first.
    using ProgressHandler = std::function<void(int32_t task, int32_t percent)>;

    virtual ~VendorLibrary() = default;

    virtual void Init(int32_t clientVersionCode, ProgressHandler onProgress) = 0;
    virtual void LoginIn(int32_t clientVersionCode, const std::string& webBaseUrl) = 0;
    // Hands over a content address; on success `reply` holds the play address.
    virtual bool SetProgramInfo(const std::string& sourceUrl, int32_t id, ReplyBuffer& reply) = 0;
    virtual bool GetProgInfo(int32_t task, int32_t& percent) = 0;
    // Why a task's download failed: 0 it has not, 1 the origin stayed out of reach or refused
    // it, 2 the disk is full.
    virtual int32_t GetProgError(int32_t task) = 0;
    virtual void UnInit() = 0;
};

} // namespace luming
