#include "HttpFront.h"

#include <arpa/inet.h>
#include <array>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/sendfile.h>
#include <sys/socket.h>
#include <unistd.h>

namespace kestrivane {

namespace {

bool HeadComplete(const std::string& received, std::size_t maxHead) {
    const std::size_t end = received.find("\r\n\r\n");
    return end != std::string::npos && end + 4 <= maxHead;
}

// Calls `step(sent)`, one try at sending the rest of `size` bytes, until all went, the socket is
// full or the connection broke: how many went, or -1.
template <class Step> ssize_t SendWithoutWaiting(std::size_t size, Step step) {
    std::size_t sent = 0;
    while (sent < size) {
        const ssize_t n = step(sent);
        if (n > 0)
            sent += static_cast<std::size_t>(n);
        else if (n < 0 && errno == EINTR)
            continue;
        else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            break;
        else
            return -1;
    }
    return static_cast<ssize_t>(sent);
}

void Address(int fd, bool peer, std::string& ip, int& port) {
    sockaddr_in address{};
    socklen_t size = sizeof address;
    const int result = peer ? ::getpeername(fd, reinterpret_cast<sockaddr*>(&address), &size)
                            : ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
    char text[INET_ADDRSTRLEN] = {};
    if (result != 0 || !::inet_ntop(AF_INET, &address.sin_addr, text, sizeof text))
        return;
    ip = text;
    port = ntohs(address.sin_port);
}

} // namespace

FrontConnection::FrontConnection(int fd, std::string received)
    : fd_(fd), received_(std::move(received)) {}

std::string FrontConnection::TakeUnread() {
    std::string unread = received_.substr(readPosition_);
    readPosition_ = received_.size();
    return unread;
}

void FrontConnection::Consume(std::size_t count) {
    readPosition_ = std::min(received_.size(), readPosition_ + count);
}

bool FrontConnection::is_readable() const {
    return readPosition_ < received_.size();
}

bool FrontConnection::is_writable() const {
    pollfd watched{fd_, POLLOUT, 0};
    return ::poll(&watched, 1, 0) > 0 && (watched.revents & (POLLERR | POLLHUP)) == 0;
}

ssize_t FrontConnection::read(char* ptr, size_t size) {
    const std::size_t count = std::min(size, received_.size() - readPosition_);
    std::copy_n(received_.data() + readPosition_, count, ptr);
    readPosition_ += count;
    return static_cast<ssize_t>(count);
}

ssize_t FrontConnection::Send(const char* data, size_t size) {
    return SendWithoutWaiting(size, [&](std::size_t sent) {
        return ::send(fd_, data + sent, size - sent, MSG_NOSIGNAL);
    });
}

ssize_t FrontConnection::SendFile(int file, uint64_t offset, size_t count) {
    auto position = static_cast<off_t>(offset);
    // sendfile moves `position` on itself; 0 means the file ended early.
    return SendWithoutWaiting(
        count, [&](std::size_t sent) { return ::sendfile(fd_, file, &position, count - sent); });
}

ssize_t FrontConnection::write(const char* ptr, size_t size) {
    return Send(ptr, size) == static_cast<ssize_t>(size) ? static_cast<ssize_t>(size) : -1;
}

void FrontConnection::get_remote_ip_and_port(std::string& ip, int& port) const {
    Address(fd_, true, ip, port);
}

void FrontConnection::get_local_ip_and_port(std::string& ip, int& port) const {
    Address(fd_, false, ip, port);
}

HttpFront::HttpFront(Answer answer, FrontLimits limits)
    : answer_(std::move(answer)), limits_(limits) {}

HttpFront::~HttpFront() {
    Stop();
}

int HttpFront::Start() {
    listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    epollFd_ = ::epoll_create1(EPOLL_CLOEXEC);
    wakeFd_ = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    epoll_event listenEvent{EPOLLIN, {.fd = listenFd_}};
    epoll_event wakeEvent{EPOLLIN, {.fd = wakeFd_}};
    if (listenFd_ < 0 || epollFd_ < 0 || wakeFd_ < 0 ||
        ::bind(listenFd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listenFd_, SOMAXCONN) != 0 ||
        ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&address), &size) != 0 ||
        ::epoll_ctl(epollFd_, EPOLL_CTL_ADD, listenFd_, &listenEvent) != 0 ||
        ::epoll_ctl(epollFd_, EPOLL_CTL_ADD, wakeFd_, &wakeEvent) != 0) {
        Stop();
        return 0;
    }
    workers_ = std::make_unique<httplib::ThreadPool>(limits_.workers);
    thread_ = std::thread([this] { Run(); });
    return ntohs(address.sin_port);
}

void HttpFront::Stop() {
    stopping_ = true;
    if (thread_.joinable()) {
        WakeFront();
        thread_.join();
    }
    {
        std::lock_guard lock(mutex_);
        for (const int fd : busy_)
            ::shutdown(fd, SHUT_RDWR);
    }
    if (workers_) {
        workers_->shutdown();
        workers_.reset();
    }
    std::lock_guard lock(mutex_); // Poke may come from another thread meanwhile
    for (const auto& returned : returned_)
        ::close(returned.fd);
    returned_.clear();
    for (int* fd : {&listenFd_, &epollFd_, &wakeFd_}) {
        if (*fd >= 0)
            ::close(*fd);
        *fd = -1;
    }
}

void HttpFront::Poke() {
    std::lock_guard lock(mutex_);
    if (!stopping_ && wakeFd_ >= 0)
        WakeFront();
}

void HttpFront::WakeFront() {
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t ignored = ::write(wakeFd_, &one, sizeof one);
}

void HttpFront::Run() {
    std::array<epoll_event, 64> events{};
    while (!stopping_) {
        int timeout = held_.empty() ? -1 : 1000; // held answers look at the clock, too
        if (!waiting_.empty()) {
            auto first = Clock::time_point::max();
            for (const auto& [fd, waiting] : waiting_)
                first = std::min(first, waiting.deadline);
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(first - Clock::now());
            const int untilDeadline = static_cast<int>(std::max<int64_t>(0, left.count()) + 1);
            timeout = timeout < 0 ? untilDeadline : std::min(timeout, untilDeadline);
        }
        const int count = ::epoll_wait(epollFd_, events.data(), events.size(), timeout);
        for (int i = 0; i < count && !stopping_; ++i)
            Event(events[static_cast<std::size_t>(i)].data.fd,
                  events[static_cast<std::size_t>(i)].events);
        DropExpired();
        ResumeReady();
    }
    for (const auto& [fd, waiting] : waiting_)
        ::close(fd);
    waiting_.clear();
    for (const auto& [fd, held] : held_)
        ::close(fd);
    held_.clear();
}

void HttpFront::Event(int fd, uint32_t events) {
    if (fd == listenFd_) {
        AcceptAll();
    } else if (fd == wakeFd_) {
        uint64_t ignored = 0;
        [[maybe_unused]] const ssize_t n = ::read(wakeFd_, &ignored, sizeof ignored);
        TakeReturned();
    } else if (const auto held = held_.find(fd); held != held_.end()) {
        if (held->second.untilWritable && (events & (EPOLLRDHUP | EPOLLHUP | EPOLLERR)) == 0) {
            held->second.writable = true;
            return;
        }
        held_.erase(held);
        ::epoll_ctl(epollFd_, EPOLL_CTL_DEL, fd, nullptr);
        ::close(fd); // the player went away while its answer waited
    } else {
        ReadFrom(fd);
    }
}

void HttpFront::TakeReturned() {
    std::vector<Returned> returned;
    {
        std::lock_guard lock(mutex_);
        returned.swap(returned_);
    }
    for (auto& [fd, unread, answered] : returned) {
        if (answered.then == Answered::Then::KeepAlive)
            Watch(fd, std::move(unread));
        else if (answered.then != Answered::Then::Wait)
            ::close(fd);
        else {
            // A hang-up is watched, and room in the socket where the answer waits for it: bytes
            // the player sends meanwhile wait in the socket.
            const uint32_t watched = EPOLLRDHUP | (answered.untilWritable ? EPOLLOUT : 0u);
            epoll_event event{watched, {.fd = fd}};
            if (::epoll_ctl(epollFd_, EPOLL_CTL_ADD, fd, &event) != 0) {
                ::close(fd);
                continue;
            }
            held_[fd] = {std::move(unread),
                         std::move(answered.ready),
                         std::move(answered.resume),
                         answered.untilWritable,
                         false,
                         Clock::now() + limits_.writeTimeout};
        }
    }
}

void HttpFront::ResumeReady() {
    const auto now = Clock::now();
    for (auto held = held_.begin(); held != held_.end() && !stopping_;) {
        const int fd = held->first;
        bool ready = true;
        if (held->second.untilWritable) {
            ready = held->second.writable;
            if (!ready && now >= held->second.writeDeadline) {
                ::epoll_ctl(epollFd_, EPOLL_CTL_DEL, fd, nullptr);
                ::close(fd); // a player that reads nothing any more
                held = held_.erase(held);
                continue;
            }
        } else {
            try {
                ready = held->second.ready();
            } catch (...) {
            }
        }
        if (!ready) {
            ++held;
            continue;
        }
        ::epoll_ctl(epollFd_, EPOLL_CTL_DEL, fd, nullptr);
        {
            std::lock_guard lock(mutex_);
            busy_.insert(fd);
        }
        workers_->enqueue([this, fd, unread = std::move(held->second.unread),
                           resume = std::move(held->second.resume)] { Serve(fd, unread, resume); });
        held = held_.erase(held);
    }
}

void HttpFront::AcceptAll() {
    while (true) {
        const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EINTR)
                continue;
            if ((errno == EMFILE || errno == ENFILE) && !waiting_.empty()) {
                DropOldest(); // out of descriptors: a new player counts more than a slow head
                continue;
            }
            return;
        }
        // Headers and body go in separate writes; Nagle would hold the body back for an ACK.
        const int yes = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
        Watch(fd, {});
    }
}

void HttpFront::Watch(int fd, std::string received) {
    epoll_event event{EPOLLIN | EPOLLRDHUP, {.fd = fd}};
    if (::epoll_ctl(epollFd_, EPOLL_CTL_ADD, fd, &event) != 0) {
        ::close(fd);
        return;
    }
    waiting_[fd] = {std::move(received), Clock::now() + limits_.headDeadline};
    if (HeadComplete(waiting_[fd].received, limits_.maxHead))
        return Dispatch(fd);
    if (waiting_.size() > limits_.maxWaiting)
        DropOldest();
}

void HttpFront::DropOldest() {
    const auto oldest =
        std::min_element(waiting_.begin(), waiting_.end(), [](const auto& a, const auto& b) {
            return a.second.deadline < b.second.deadline;
        });
    if (oldest != waiting_.end())
        Drop(oldest->first);
}

void HttpFront::ReadFrom(int fd) {
    const auto found = waiting_.find(fd);
    if (found == waiting_.end())
        return;
    std::string& received = found->second.received;
    bool ended = false;
    std::array<char, 4096> buffer{};
    while (received.size() <= limits_.maxHead) {
        const ssize_t n = ::recv(fd, buffer.data(), buffer.size(), 0);
        if (n > 0) {
            received.append(buffer.data(), static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        ended = n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK);
        break;
    }
    if (HeadComplete(received, limits_.maxHead))
        Dispatch(fd);
    else if (ended || received.size() > limits_.maxHead)
        Drop(fd);
}

void HttpFront::Drop(int fd) {
    ::epoll_ctl(epollFd_, EPOLL_CTL_DEL, fd, nullptr);
    ::close(fd);
    waiting_.erase(fd);
}

void HttpFront::DropExpired() {
    const auto now = Clock::now();
    std::vector<int> expired;
    for (const auto& [fd, waiting] : waiting_)
        if (waiting.deadline <= now)
            expired.push_back(fd);
    for (const int fd : expired)
        Drop(fd);
}

void HttpFront::Dispatch(int fd) {
    ::epoll_ctl(epollFd_, EPOLL_CTL_DEL, fd, nullptr);
    std::string received = std::move(waiting_[fd].received);
    waiting_.erase(fd);
    {
        std::lock_guard lock(mutex_);
        busy_.insert(fd);
    }
    workers_->enqueue([this, fd, received] { Serve(fd, received, answer_); });
}

void HttpFront::Serve(int fd, std::string received, const Step& step) {
    Answered answered;
    std::string unread;
    if (!stopping_) {
        FrontConnection connection(fd, std::move(received));
        try {
            answered = step(connection);
        } catch (...) {
            answered = {};
        }
        unread = connection.TakeUnread();
    }
    std::lock_guard lock(mutex_);
    busy_.erase(fd);
    if (answered.then != Answered::Then::Close && !stopping_) {
        returned_.push_back({fd, std::move(unread), std::move(answered)});
        WakeFront();
    } else {
        ::close(fd);
    }
}

} // namespace kestrivane
