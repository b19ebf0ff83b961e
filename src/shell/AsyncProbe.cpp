#include "shell/AsyncProbe.h"

#include "config/UrlProbe.h"

namespace luming {

AsyncProbe::AsyncProbe(IUrlProbe& probe, QObject* parent) : QObject(parent), probe_(probe) {}

AsyncProbe::~AsyncProbe() {
    std::lock_guard lock(mutex_);
    for (Running& probe : running_)
        probe.thread.join();
}

void AsyncProbe::Probe(std::string address, std::function<void(bool reachable)> answer, int tries) {
    std::lock_guard lock(mutex_);
    // Probes that have answered are done with their threads.
    std::erase_if(running_, [](Running& probe) {
        if (!*probe.done)
            return false;
        probe.thread.join();
        return true;
    });
    auto done = std::make_shared<std::atomic<bool>>(false);
    std::thread thread(
        [this, done, address = std::move(address), answer = std::move(answer), tries] {
            bool reachable = false;
            for (int attempt = 0; attempt < tries && !reachable; ++attempt)
                reachable = !address.empty() && probe_.IsUrlReachable(address);
            // Queued to this object: dropped if it is gone by the time the loop gets to it.
            QMetaObject::invokeMethod(
                this, [answer, reachable] { answer(reachable); }, Qt::QueuedConnection);
            *done = true;
        });
    running_.push_back({std::move(thread), std::move(done)});
}

} // namespace luming
