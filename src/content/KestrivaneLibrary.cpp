#include "content/KestrivaneLibrary.h"

#include <kestrivane.h>

#include <mutex>

namespace luming {

namespace {

// The library's callbacks are plain C functions without a context pointer.
std::mutex handlerMutex;
VendorLibrary::ProgressHandler progressHandler;

void IgnoreFour(int32_t, int32_t, int32_t, int32_t) {}
void IgnoreTwo(int32_t, int32_t) {}

void ForwardProgress(int32_t task, int32_t percent) {
    VendorLibrary::ProgressHandler handler;
    {
        std::lock_guard lock(handlerMutex);
        handler = progressHandler;
    }
    // An exception must not unwind into the library's C frames.
    try {
        if (handler)
            handler(task, percent);
    } catch (...) {
    }
}

} // namespace

void KestrivaneLibrary::Init(int32_t clientVersionCode, ProgressHandler onProgress) {
    {
        std::lock_guard lock(handlerMutex);
        progressHandler = std::move(onProgress);
    }
    Initkestrivane(clientVersionCode, &IgnoreFour, &IgnoreFour, &IgnoreTwo, &ForwardProgress);
}

void KestrivaneLibrary::LoginIn(int32_t clientVersionCode, const std::string& webBaseUrl) {
    ClientLoginIn(clientVersionCode, webBaseUrl.c_str());
}

bool KestrivaneLibrary::SetProgramInfo(const std::string& sourceUrl, int32_t id,
                                       ReplyBuffer& reply) {
    return ::SetProgramInfo(sourceUrl.c_str(), id, 2, 2, reply.data()) != 0;
}

bool KestrivaneLibrary::GetProgInfo(int32_t task, int32_t& percent) {
    int32_t downloaded = 0;
    int32_t total = 0;
    return ::GetProgInfo(task, &percent, &downloaded, &total) != 0;
}

int32_t KestrivaneLibrary::GetProgError(int32_t task) {
    return ::GetProgError(task);
}

void KestrivaneLibrary::UnInit() {
    UnInitkestrivane();
    std::lock_guard lock(handlerMutex);
    progressHandler = nullptr;
}

} // namespace luming
