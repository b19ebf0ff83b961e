#pragma once

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

namespace kestrivane {

struct FrontLimits {
    // From a connection's start (or the end of its last answer) to the end of a request head:
    // one deadline for the whole head, however slowly its bytes come.
    std::chrono::milliseconds headDeadline{5000};
    // How long one write may wait for a player that reads nothing.
    std::chrono::milliseconds writeTimeout{5000};
    std::size_t workers = 16;
    // Connections waiting for a head; past this the one waiting longest is dropped.
    std::size_t maxWaiting = 256;
    std::size_t maxHead = 16 * 1024;
};

// The received bytes of one request, head first, and its socket for the answer. Reads never
// wait: a worker only gets what the front has collected, so a slow client cannot hold it.
class FrontConnection : public httplib::Stream {
public:
    FrontConnection(int fd, std::string received, std::chrono::milliseconds writeTimeout);

    // The answer may rewrite the head before it is read.
    std::string& received() { return received_; }
    // Bytes after what was read (the next request on this connection, if any).
    std::string TakeUnread();

    bool is_readable() const override;
    bool is_writable() const override;
    ssize_t read(char* ptr, size_t size) override;
    ssize_t write(const char* ptr, size_t size) override;
    void get_remote_ip_and_port(std::string& ip, int& port) const override;
    void get_local_ip_and_port(std::string& ip, int& port) const override;
    socket_t socket() const override { return fd_; }

private:
    int fd_;
    std::string received_;
    std::size_t readPosition_ = 0;
    std::chrono::milliseconds writeTimeout_;
};

// Accepts connections on 127.0.0.1 and collects request heads on one event thread; a bounded
// pool of workers answers complete requests. Idle and slow connections cost no worker.
class HttpFront {
public:
    // Answers the request at the start of `connection`; true keeps the connection open.
    using Answer = std::function<bool(FrontConnection& connection)>;

    HttpFront(Answer answer, FrontLimits limits);
    ~HttpFront();
    HttpFront(const HttpFront&) = delete;
    HttpFront& operator=(const HttpFront&) = delete;

    // Binds an ephemeral port on 127.0.0.1; 0 when none could be bound.
    int Start();
    // Closes every connection (answers being written end at once) and joins all threads.
    void Stop();

private:
    using Clock = std::chrono::steady_clock;
    struct Waiting {
        std::string received;
        Clock::time_point deadline;
    };

    void Run();
    void AcceptAll();
    void Watch(int fd, std::string received);
    void ReadFrom(int fd);
    void Drop(int fd);
    void DropExpired();
    void DropOldest();
    void Dispatch(int fd);
    void Serve(int fd, std::string received);
    void WakeFront();

    Answer answer_;
    FrontLimits limits_;
    int listenFd_ = -1;
    int epollFd_ = -1;
    int wakeFd_ = -1;
    std::thread thread_;
    std::unique_ptr<httplib::ThreadPool> workers_;
    std::atomic<bool> stopping_{false};
    std::unordered_map<int, Waiting> waiting_; // front thread only

    std::mutex mutex_;
    std::vector<std::pair<int, std::string>> returned_; // kept alive by workers, for the front
    std::set<int> busy_;                                // being answered by a worker
};

} // namespace kestrivane
