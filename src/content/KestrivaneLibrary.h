#pragma once

#include "content/VendorLibrary.h"

namespace luming {

// The vendor library itself, libkestrivane, linked at load time. The library is one per
// process, and so is the progress handler: the last Init wins.
class KestrivaneLibrary : public VendorLibrary {
public:
    void Init(int32_t clientVersionCode, ProgressHandler onProgress) override;
    void LoginIn(int32_t clientVersionCode, const std::string& webBaseUrl) override;
    bool SetProgramInfo(const std::string& sourceUrl, int32_t id, ReplyBuffer& reply) override;
    bool GetProgInfo(int32_t task, int32_t& percent) override;
    int32_t GetProgError(int32_t task) override;
    void UnInit() override;
};

} // namespace luming
