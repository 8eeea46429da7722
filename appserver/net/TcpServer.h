#pragma once
// The TCP front of the engine server: one request per connection. One reading thread accepts
// connections and reads their requests as bytes arrive (poll), so slow or silent clients hold
// no worker; each whole request goes to a bounded queue that the worker threads serve: a worker
// asks the handler for the answer message, sends it and closes. Limits (NetLimits): the header
// within its time, the body at a minimum rate, the whole request within the deadline, and the
// bytes of all requests held at once within the in-flight budget. A refused request (time-out,
// oversize, no length, busy) gets a "VerbarError" answer where one can still be sent; a client
// that vanished is dropped. After a large request the workers give freed memory back to the
// system.
// Construction binds and listens (throws std::runtime_error); Start runs the threads; Stop
// (idempotent, also run by the destructor) stops accepting, closes the connections being read
// or waiting, lets running requests finish and joins every thread.
#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "net/Connection.h"
#include "net/InFlightBudget.h"
#include "net/NetLimits.h"
#include "net/UniqueFd.h"

class TcpServer {
  public:
    using Handler = std::function<std::string(std::string_view body)>;

    TcpServer(const std::string& host, int port, int workers, NetLimits limits, Handler handler);
    ~TcpServer();
    TcpServer(const TcpServer&) = delete;
    TcpServer& operator=(const TcpServer&) = delete;

    // The port actually bound (useful with port 0).
    int port() const { return port_; }
    void Start();
    void Stop();
    unsigned long long served() const { return served_.load(); }

  private:
    struct Job {
        UniqueFd fd;
        std::string body;
        size_t reserved = 0;
        bool extraBytes = false;
    };
    using Connections = std::vector<std::unique_ptr<Connection>>;

    void ReadLoop();
    void AcceptAll(Connections& connections, long long now);
    void Advance(Connection& c, long long now);
    void OnHeader(Connection& c, long long now);
    void CheckTime(Connection& c, long long now);
    void Refuse(Connection& c, RequestReader::Outcome outcome, long long now);
    void Drain(Connection& c, long long now);
    void Finish(Connection& c);
    bool QueueFull();
    void Enqueue(Job job);

    void WorkerLoop();
    void Answer(Job job);
    static bool SendAll(int fd, std::string_view data);
    static void DrainBlocking(int fd);

    UniqueFd listen_;
    UniqueFd wakeRead_;
    UniqueFd wakeWrite_;
    int port_ = 0;
    const int workerCount_;
    const NetLimits limits_;
    const Handler handler_;
    InFlightBudget budget_;

    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<Job> queue_;

    std::atomic<bool> stopping_{false};
    std::atomic<unsigned long long> served_{0};
    std::thread reader_;
    std::vector<std::thread> workers_;
};
