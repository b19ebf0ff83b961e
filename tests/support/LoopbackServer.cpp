#include "support/LoopbackServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace luming::test {

LoopbackServer::LoopbackServer() = default;

void LoopbackServer::Start() {
    // Answers go out at once, as a real server's do, not held back for the client's ACK.
    server_.set_tcp_nodelay(true);
    port_ = server_.bind_to_any_port("127.0.0.1");
    if (port_ <= 0)
        throw std::runtime_error("cannot bind a loopback port");
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    // stop() only takes effect once the loop runs.
    while (!server_.is_running())
        std::this_thread::yield();
}

LoopbackServer::~LoopbackServer() {
    server_.stop();
    if (thread_.joinable())
        thread_.join();
}

std::string LoopbackServer::url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

namespace {

int BoundSocket(int& port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        throw std::runtime_error("cannot bind a loopback port");
    port = ntohs(address.sin_port);
    return fd;
}

} // namespace

SilentPort::SilentPort() {
    fd_ = BoundSocket(port_);
    ::listen(fd_, 16);
}

SilentPort::~SilentPort() {
    ::close(fd_);
}

int ClosedPort() {
    int port = 0;
    ::close(BoundSocket(port));
    return port;
}

} // namespace luming::test
