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
    // How long an answer may wait for a player that reads nothing before it is dropped (the
    // wait holds no worker).
    std::chrono::milliseconds writeTimeout{5000};
    std::size_t workers = 16;
    // Connections waiting for a head; past this the one waiting longest is dropped.
    std::size_t maxWaiting = 256;
    std::size_t maxHead = 16 * 1024;
};

// The received bytes of one request, head first, and its socket for the answer. Neither reads
// nor writes wait: a worker only gets what the front has collected, and sends only what the
// socket takes at once, so a client that is slow to send or to read cannot hold it.
class FrontConnection : public httplib::Stream {
public:
    FrontConnection(int fd, std::string received);

    // The answer may rewrite the head before it is read.
    std::string& received() { return received_; }
    // Marks `count` more received bytes as read (a head the answer parsed itself).
    void Consume(std::size_t count);
    // Bytes after what was read (the next request on this connection, if any).
    std::string TakeUnread();

    // What the socket takes of `size` bytes, or of the file's `count` bytes from `offset`, without
    // waiting: how many (0 when it is full), or -1 once the connection is broken.
    ssize_t Send(const char* data, size_t size);
    ssize_t SendFile(int file, uint64_t offset, size_t count);

    bool is_readable() const override;
    bool is_writable() const override;
    ssize_t read(char* ptr, size_t size) override;
    // All of it, or -1: the general request handling writes only small answers, which a new
    // connection's socket always takes.
    ssize_t write(const char* ptr, size_t size) override;
    void get_remote_ip_and_port(std::string& ip, int& port) const override;
    void get_local_ip_and_port(std::string& ip, int& port) const override;
    socket_t socket() const override { return fd_; }

private:
    int fd_;
    std::string received_;
    std::size_t readPosition_ = 0;
};

// What an answer leaves to the front: close the connection, keep it for the next request, or
// wait for something (bytes not yet downloaded, room in the socket) without holding a worker
// meanwhile.
struct Answered {
    enum class Then { Close, KeepAlive, Wait };
    Then then = Then::Close;
    // For Wait: until the socket takes more bytes (the connection is dropped when it has taken
    // none for the write timeout), or else until `ready`, asked on the front thread after every
    // HttpFront::Poke() and at least once a second, is true. Then `resume` runs on a worker.
    bool untilWritable = false;
    std::function<bool()> ready;
    std::function<Answered(FrontConnection& connection)> resume;
};

// Accepts connections on 127.0.0.1 and collects request heads on one event thread; a bounded
// pool of workers answers complete requests. Idle and slow connections cost no worker, and
// neither do answers waiting for their bytes: the event thread holds them too.
class HttpFront {
public:
    // Answers the request at the start of `connection`.
    using Answer = std::function<Answered(FrontConnection& connection)>;

    HttpFront(Answer answer, FrontLimits limits);
    ~HttpFront();
    HttpFront(const HttpFront&) = delete;
    HttpFront& operator=(const HttpFront&) = delete;

    // Binds an ephemeral port on 127.0.0.1; 0 when none could be bound.
    int Start();
    // Closes every connection (answers being written end at once) and joins all threads.
    void Stop();
    // Something a waiting answer may be waiting for has changed; any thread.
    void Poke();

private:
    using Clock = std::chrono::steady_clock;
    using Step = std::function<Answered(FrontConnection& connection)>;
    struct Waiting {
        std::string received;
        Clock::time_point deadline;
    };
    struct Held { // an answer waiting to go on
        std::string unread;
        std::function<bool()> ready;
        Step resume;
        bool untilWritable = false;
        bool writable = false;
        Clock::time_point writeDeadline{};
    };
    struct Returned { // from a worker, for the front
        int fd;
        std::string unread;
        Answered answered;
    };

    void Run();
    void Event(int fd, uint32_t events);
    void AcceptAll();
    void Watch(int fd, std::string received);
    void ReadFrom(int fd);
    void Drop(int fd);
    void DropExpired();
    void DropOldest();
    void Dispatch(int fd);
    void TakeReturned();
    void ResumeReady();
    void Serve(int fd, std::string received, const Step& step);
    void WakeFront();

    Answer answer_;
    FrontLimits limits_;
    int listenFd_ = -1;
    int epollFd_ = -1;
    int wakeFd_ = -1;
    std::thread thread_;
    std::unique_ptr<httplib::ThreadPool> workers_;
    std::atomic<bool> stopping_{false};
    std::unordered_map<int, Waiting> waiting_; // front thread only: collecting a head
    std::unordered_map<int, Held> held_;       // front thread only: answers waiting

    std::mutex mutex_;
    std::vector<Returned> returned_; // kept alive by workers, for the front
    std::set<int> busy_;             // being answered by a worker
};

} // namespace kestrivane
