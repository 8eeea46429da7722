#pragma once
// The TCP front of the engine server: one request per connection. Each worker thread accepts
// a connection itself (no hand-over between threads on the request path), reads the request
// (RequestReader), asks the handler for the answer message, sends it and closes; connections
// that find every worker busy wait in the kernel's listen queue. A refused request (time-out,
// oversize, no length) gets a "VerbarError" answer where one can still be sent; a client that
// vanished is dropped.
// Construction binds and listens (throws std::runtime_error); Start runs the workers; Stop
// (idempotent, also run by the destructor) stops accepting, ends waiting reads, lets running
// requests finish and joins every thread.
#include <atomic>
#include <functional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

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
    void WorkerLoop();
    void Serve(UniqueFd connection);
    static bool SendAll(int fd, std::string_view data);
    static void Drain(int fd);

    UniqueFd listen_;
    int port_ = 0;
    const int workerCount_;
    const NetLimits limits_;
    const Handler handler_;

    std::atomic<bool> stopping_{false};
    std::atomic<unsigned long long> served_{0};
    std::vector<std::thread> workers_;
};
