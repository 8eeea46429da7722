#pragma once
// The TCP front of the engine server: one request per connection. A worker accepts a
// connection and reads what has arrived; a whole request (the usual case: the listening socket
// defers accept until data is there) is answered at once by that worker: it asks the handler
// for the answer message, sends it and closes. A request still arriving goes to one reading
// thread that reads it as bytes come (poll), so slow or silent clients hold no worker; once
// whole it goes to a bounded queue that the workers serve too. Limits (NetLimits): the header
// within its time, the body at a minimum rate, the whole request within the deadline, and the
// memory of all requests held at once within the in-flight budget (a request's body while it is
// read, its working memory once it is answered: WorkingMemory). A refused request (time-out,
// oversize, no length, busy) gets a "VerbarError" answer where one can still be sent; a client
// that vanished is dropped. After a large request the workers give freed memory back to the
// system.
// Construction binds and listens (throws std::runtime_error); Start runs the threads; Stop
// (idempotent, also run by the destructor) stops accepting, closes the connections being read
// or waiting, lets running requests finish and joins every thread.
#include <atomic>
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
    // For the metrics page: requests refused as busy, connections accepted and not yet closed.
    unsigned long long refusedBusy() const { return refusedBusy_.load(); }
    long long openConnections() const { return open_.load(); }

  private:
    struct Job {
        UniqueFd fd;
        std::string body;
        size_t reserved = 0;
        bool extraBytes = false;
    };
    using Connections = std::vector<std::unique_ptr<Connection>>;

    void ReadLoop();
    void TakeHanded(Connections& connections);
    void Step(Connection& c, long long now);
    bool Advance(Connection& c, long long now);
    static Job TakeJob(Connection& c);
    void OnHeader(Connection& c, long long now);
    void CheckTime(Connection& c, long long now);
    void Refuse(Connection& c, RequestReader::Outcome outcome, long long now);
    void Drain(Connection& c, long long now);
    void Finish(Connection& c);
    bool QueueFull();
    void Enqueue(Job job);

    void WorkerLoop();
    bool TakeQueued(Job& job);
    void ServeNewConnection();
    void HandToReader(std::unique_ptr<Connection> c, long long now);
    void Answer(Job job);
    bool HoldWorkingMemory(Job& job);
    void RefuseBusy(Job job);
    void Close(Job job);
    static bool SendAll(int fd, std::string_view data);
    static void DrainBlocking(int fd);

    UniqueFd listen_;
    UniqueFd stop_;   // readable once Stop has begun (never read)
    UniqueFd inbox_;  // counts hand-overs to the reading thread
    UniqueFd jobs_;   // semaphore: one count per queued request
    int port_ = 0;
    const int workerCount_;
    const NetLimits limits_;
    const Handler handler_;
    InFlightBudget budget_;

    std::mutex mutex_;
    std::deque<Job> queue_;
    Connections handed_;  // from the workers, for the reading thread

    std::atomic<size_t> held_{0};  // connections the reading thread holds

    std::atomic<bool> stopping_{false};
    std::atomic<unsigned long long> served_{0};
    std::atomic<unsigned long long> refusedBusy_{0};
    std::atomic<long long> open_{0};
    std::thread reader_;
    std::vector<std::thread> workers_;
};
