#pragma once

#include <httplib.h>

#include <memory>
#include <string>
#include <thread>

namespace luming::test {

// An HTTP server on 127.0.0.1 (a free port) that a test fills with handlers, running on its
// own thread until the object goes.
class LoopbackServer {
public:
    LoopbackServer();
    ~LoopbackServer();

    httplib::Server& server() { return server_; }
    // Starts listening; call after the handlers are set.
    void Start();
    int port() const { return port_; }
    std::string url(const std::string& path) const;

private:
    httplib::Server server_;
    std::thread thread_;
    int port_ = 0;
};

// A socket that accepts connections (the kernel does, through the backlog) and never answers.
class SilentPort {
public:
    SilentPort();
    ~SilentPort();
    int port() const { return port_; }

private:
    int fd_ = -1;
    int port_ = 0;
};

// A port on 127.0.0.1 where nothing listens.
int ClosedPort();

} // namespace luming::test
