// Raw HTTP requests to the local streaming server, handled as they would be on a connection.
#include "HttpFront.h"
#include "StreamServer.h"
#include "Task.h"

#include <cstdint>
#include <fstream>
#include <sys/socket.h>
#include <unistd.h>

using namespace std::chrono_literals;

namespace {

// Task 1 is complete in a file of 4096 bytes; task 2 is still downloading (half there). The
// answers go into one end of a socket pair and are thrown away at the other.
struct Fixture {
    std::shared_ptr<kestrivane::Task> complete, running;
    kestrivane::StreamServer stream;
    int ends[2] = {-1, -1};

    Fixture()
        : complete(MakeTask(1)), running(MakeTask(2)),
          stream([this](int32_t n) { return n == 1   ? complete
                                            : n == 2 ? running
                                                     : nullptr; },
                 1ms) {
        complete->SetTotal(4096);
        complete->SetDownloaded(4096);
        complete->Finish(kestrivane::TaskState::Complete);
        running->SetTotal(4096);
        running->SetDownloaded(2048);
        ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, ends);
    }

    void Drain() {
        char buffer[65536];
        while (::recv(ends[1], buffer, sizeof buffer, 0) > 0) {
        }
    }

    static std::shared_ptr<kestrivane::Task> MakeTask(int32_t number) {
        const std::string file = "/tmp/kestrivane-fuzz-" + std::to_string(::getpid()) + ".flv";
        std::ofstream(file, std::ios::binary) << std::string(4096, 'x');
        return std::make_shared<kestrivane::Task>(number, "00ab", "http://o/x.flv", ".flv", file);
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Fixture fixture;
    kestrivane::FrontConnection connection(fixture.ends[0],
                                           std::string(reinterpret_cast<const char*>(data), size));
    fixture.stream.Answer(connection); // a wait for task 2's missing half is simply dropped
    fixture.Drain();
    return 0;
}
