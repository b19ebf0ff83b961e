// Raw HTTP requests to the local streaming server, handled as they would be on a connection.
#include "StreamPath.h"
#include "StreamServer.h"
#include "Task.h"

#include <httplib.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <unistd.h>

namespace {

class RequestStream : public httplib::Stream {
public:
    RequestStream(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool is_readable() const override { return true; }
    bool is_writable() const override { return true; }
    ssize_t read(char* ptr, size_t size) override {
        const size_t n = std::min(size, size_ - position_);
        std::memcpy(ptr, data_ + position_, n);
        position_ += n;
        return static_cast<ssize_t>(n);
    }
    ssize_t write(const char*, size_t size) override { return static_cast<ssize_t>(size); }
    void get_remote_ip_and_port(std::string& ip, int& port) const override {
        ip = "127.0.0.1";
        port = 50000;
    }
    void get_local_ip_and_port(std::string& ip, int& port) const override {
        ip = "127.0.0.1";
        port = 8080;
    }
    socket_t socket() const override { return INVALID_SOCKET; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t position_ = 0;
};

class FuzzServer : public httplib::Server {
public:
    using httplib::Server::process_request;
};

// Task 1 is complete in a file of 4096 bytes; task 2 is still downloading (half there).
struct Fixture {
    std::shared_ptr<kestrivane::Task> complete, running;
    kestrivane::StreamServer stream;
    FuzzServer server;

    Fixture()
        : complete(MakeTask(1)), running(MakeTask(2)),
          stream([this](int32_t n) { return n == 1   ? complete
                                            : n == 2 ? running
                                                     : nullptr; },
                 std::chrono::milliseconds(1)) {
        complete->SetTotal(4096);
        complete->SetDownloaded(4096);
        complete->Finish(kestrivane::TaskState::Complete);
        running->SetTotal(4096);
        running->SetDownloaded(2048);
        stream.InstallRoutes(server);
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
    RequestStream stream(data, size);
    bool closed = false;
    fixture.server.process_request(stream, true, closed, nullptr);
    return 0;
}
