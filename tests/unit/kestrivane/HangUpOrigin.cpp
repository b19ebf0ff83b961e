#include "HangUpOrigin.h"

#include "Origin.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace kestrivane::test {

namespace {

void SendAll(int fd, const std::string& data) {
    std::size_t sent = 0;
    while (sent < data.size()) {
        const ssize_t n = ::send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            return;
        sent += static_cast<std::size_t>(n);
    }
}

} // namespace

HangUpOrigin::HangUpOrigin(std::size_t size, std::size_t cut)
    : bytes_(ProgrammeBytes(size)), cut_(cut) {
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::listen(fd_, 16);
    ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Serve(); });
}

HangUpOrigin::~HangUpOrigin() {
    stopping_ = true;
    thread_.join();
    ::close(fd_);
}

std::string HangUpOrigin::url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::vector<std::string> HangUpOrigin::RangesAsked() {
    std::lock_guard lock(mutex_);
    return ranges_;
}

void HangUpOrigin::Serve() {
    while (!stopping_) {
        pollfd listening{fd_, POLLIN, 0};
        if (::poll(&listening, 1, 20) <= 0)
            continue;
        const int connection = ::accept(fd_, nullptr, nullptr);
        if (connection >= 0) {
            Answer(connection);
            ::close(connection);
        }
    }
}

void HangUpOrigin::Answer(int connection) {
    std::string head;
    char buffer[1024];
    while (head.find("\r\n\r\n") == std::string::npos) {
        const ssize_t n = ::recv(connection, buffer, sizeof buffer, 0);
        if (n <= 0)
            return;
        head.append(buffer, static_cast<std::size_t>(n));
    }
    const std::size_t range = head.find("Range: bytes=");
    const std::string asked = range == std::string::npos
                                  ? ""
                                  : head.substr(range + 13, head.find('-', range) - range - 13);
    {
        std::lock_guard lock(mutex_);
        ranges_.push_back(asked);
    }
    if (asked.empty())
        return SendAll(connection,
                       "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + bytes_.substr(0, cut_));
    const std::size_t from = std::stoul(asked);
    const std::string size = std::to_string(bytes_.size());
    if (from >= bytes_.size())
        return SendAll(connection, "HTTP/1.1 416 Range Not Satisfiable\r\nContent-Range: bytes */" +
                                       size + "\r\nContent-Length: 0\r\n\r\n");
    SendAll(connection, "HTTP/1.1 206 Partial Content\r\nContent-Range: bytes " +
                            std::to_string(from) + "-" + std::to_string(bytes_.size() - 1) + "/" +
                            size + "\r\nContent-Length: " + std::to_string(bytes_.size() - from) +
                            "\r\n\r\n" + bytes_.substr(from));
}

} // namespace kestrivane::test
