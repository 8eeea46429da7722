#pragma once
// The FastCGI side of both programs: the same request pipeline served over FastCGI by a
// persistent process. Either a process manager (lighttpd's bin-path, spawn-fcgi) hands the
// process a listening socket as standard input, or the program opens one itself
// ("--fastcgi HOST:PORT", "--fastcgi unix:PATH") and keeps `workers` processes serving it,
// starting a new one whenever one ends (the watchdog ends a worker whose request runs too long).
//
// During each request the process environment is the request's parameters and the
// RequestChannel is the request's connection, so every stage reads and writes as under CGI.
// Configuration is the process's own: parameters named VERBARIUM_* are dropped and the
// process's own VERBARIUM_* values stand in their place. Who may connect: a listener opened
// here is on loopback unless a host is named, libfcgi accepts only the IPv4 peers listed in
// the process's FCGI_WEB_SERVER_ADDRS when that is set, and a client that sends or reads
// nothing for kClientTimeoutMs loses its connection.
#include <functional>
#include <string>
#include <vector>

class FastCgiServer {
  public:
    static constexpr int kListenBacklog = 128;
    static constexpr int kMaxWorkers = 256;
    static constexpr long kClientTimeoutMs = 30000;
    static constexpr char kDefaultHost[] = "127.0.0.1";

    // True when standard input is a listening socket rather than a CGI request.
    static bool StartedByManager();

    // Opens the listening socket named by `spec`: "HOST:PORT", ":PORT" (on kDefaultHost) or
    // "unix:PATH" (an old socket file at PATH is replaced). Returns the descriptor, or -1 with
    // errno set.
    static int OpenListener(const std::string& spec);

    // The environment of one request (null-terminated; its strings stay owned by the two).
    static std::vector<char*> RequestEnvironment(char** request, char** process);

    // `listenFd` stays open for the life of the process; 0 as `clientTimeoutMs` waits forever.
    explicit FastCgiServer(int listenFd, long clientTimeoutMs = kClientTimeoutMs)
        : listenFd_(listenFd), clientTimeoutMs_(clientTimeoutMs) {}

    // Accepts requests one at a time and runs `serveOne` for each; returns when accepting fails
    // (the listening socket was closed). Returns the number of requests served.
    long Serve(const std::function<void()>& serveOne);

    // Forks `workers` processes that each Serve(serveOne), and starts a new one whenever one
    // ends, until the parent receives SIGTERM or SIGINT; then stops the workers. Returns the
    // parent's exit status.
    int Supervise(int workers, const std::function<void()>& serveOne);

  private:
    int listenFd_;
    long clientTimeoutMs_;
};
