#include "support/ScriptedOrigin.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace luming::test {

ScriptedOrigin::ScriptedOrigin(Script script, const std::string& ip)
    : script_(std::move(script)), ip_(ip) {
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    socklen_t length = sizeof address;
    if (fd_ < 0 || ::inet_pton(AF_INET, ip.c_str(), &address.sin_addr) != 1 ||
        ::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(fd_, 16) != 0 ||
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return;
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Serve(); });
}

ScriptedOrigin::~ScriptedOrigin() {
    stopping_ = true;
    if (thread_.joinable())
        thread_.join();
    if (fd_ >= 0)
        ::close(fd_);
}

std::string ScriptedOrigin::url(const std::string& path) const {
    return "http://" + ip_ + ":" + std::to_string(port_) + path;
}

int ScriptedOrigin::Requests() {
    std::lock_guard lock(mutex_);
    return static_cast<int>(ranges_.size());
}

std::vector<std::string> ScriptedOrigin::RangesAsked() {
    std::lock_guard lock(mutex_);
    return ranges_;
}

bool ScriptedOrigin::Send(int connection, std::string_view data) {
    std::size_t sent = 0;
    while (sent < data.size()) {
        const ssize_t n = ::send(connection, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

void ScriptedOrigin::Serve() {
    while (!stopping_) {
        pollfd listening{fd_, POLLIN, 0};
        if (::poll(&listening, 1, 20) <= 0)
            continue;
        const int connection = ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection >= 0) {
            Answer(connection);
            ::close(connection);
        }
    }
}

void ScriptedOrigin::Answer(int connection) {
    std::string head;
    char buffer[1024];
    while (head.find("\r\n\r\n") == std::string::npos) {
        pollfd readable{connection, POLLIN, 0};
        if (stopping_ || ::poll(&readable, 1, 50) < 0)
            return;
        if (!(readable.revents & (POLLIN | POLLHUP)))
            continue;
        const ssize_t n = ::recv(connection, buffer, sizeof buffer, 0);
        if (n <= 0)
            return; // connected, and went without asking
        head.append(buffer, static_cast<std::size_t>(n));
    }
    Request request;
    const std::size_t pathStart = head.find(' ') + 1;
    request.path = head.substr(pathStart, head.find(' ', pathStart) - pathStart);
    const std::size_t range = head.find("Range: bytes=");
    std::string asked;
    if (range != std::string::npos) {
        asked = head.substr(range + 13, head.find('-', range) - range - 13);
        request.rangeFrom = std::stoull(asked);
    }
    {
        std::lock_guard lock(mutex_);
        ranges_.push_back(asked);
        request.number = static_cast<int>(ranges_.size());
    }
    script_(request, connection);
}

std::optional<std::string> OutwardAddress() {
    ifaddrs* addresses = nullptr;
    if (::getifaddrs(&addresses) != 0)
        return std::nullopt;
    std::optional<std::string> found;
    for (const ifaddrs* entry = addresses; entry && !found; entry = entry->ifa_next) {
        if (!entry->ifa_addr || entry->ifa_addr->sa_family != AF_INET)
            continue;
        const auto* address = reinterpret_cast<const sockaddr_in*>(entry->ifa_addr);
        char text[INET_ADDRSTRLEN] = {};
        if ((ntohl(address->sin_addr.s_addr) >> 24) != 127 &&
            ::inet_ntop(AF_INET, &address->sin_addr, text, sizeof text))
            found = text;
    }
    ::freeifaddrs(addresses);
    return found;
}

} // namespace luming::test
