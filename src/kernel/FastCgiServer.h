#pragma once
// The FastCGI side of both programs: the same request pipeline served over FastCGI by a
// persistent process. Either a process manager (lighttpd's bin-path, spawn-fcgi) hands the
// process a listening socket as standard input, or the program opens one itself
// ("--fastcgi HOST:PORT", "--fastcgi unix:PATH") and keeps `workers` processes serving it,
// starting a new one whenever one ends (the watchdog ends a worker whose request runs too long).
//
// During each request the process environment is the request's parameters and the
// RequestChannel is the request's connection, so every stage reads and writes as under CGI.
#include <functional>
#include <string>

class FastCgiServer {
  public:
    static constexpr int kListenBacklog = 128;
    static constexpr int kMaxWorkers = 256;

    // True when standard input is a listening socket rather than a CGI request.
    static bool StartedByManager();

    // Opens the listening socket named by `spec`: "HOST:PORT", ":PORT" or "unix:PATH" (an old
    // socket file at PATH is replaced). Returns the descriptor, or -1 with errno set.
    static int OpenListener(const std::string& spec);

    // `listenFd` stays open for the life of the process.
    explicit FastCgiServer(int listenFd) : listenFd_(listenFd) {}

    // Accepts requests one at a time and runs `serveOne` for each; returns when accepting fails
    // (the listening socket was closed). Returns the number of requests served.
    long Serve(const std::function<void()>& serveOne);

    // Forks `workers` processes that each Serve(serveOne), and starts a new one whenever one
    // ends, until the parent receives SIGTERM or SIGINT; then stops the workers. Returns the
    // parent's exit status.
    int Supervise(int workers, const std::function<void()>& serveOne);

  private:
    int listenFd_;
};
