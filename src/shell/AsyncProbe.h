#pragma once

#include <QObject>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace luming {

class IUrlProbe;

// Asks whether addresses answer without holding up the window: each probe runs on a thread of
// its own and its answer comes back on the UI thread. Going away waits for probes still running
// (each is bounded by the probe's own time limits) and drops their answers.
class AsyncProbe : public QObject {
public:
    AsyncProbe(IUrlProbe& probe, QObject* parent);
    ~AsyncProbe() override;

    // `tries` probes at most, until one reaches the address.
    void Probe(std::string address, std::function<void(bool reachable)> answer, int tries = 1);

private:
    struct Running {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> done;
    };

    IUrlProbe& probe_;
    std::mutex mutex_;
    std::vector<Running> running_;
};

} // namespace luming
