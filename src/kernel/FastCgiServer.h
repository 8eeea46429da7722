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
// here is on loopback unless a host is named, and only the IPv4 peers listed in the process's
// FCGI_WEB_SERVER_ADDRS are served when that is set (libfcgi's rule; IPv6 peers then only as
// mapped IPv4 addresses). A client has kClientTimeoutMs to send its whole request and again to
// take its whole answer once the answer is ready, however it spreads its bytes; then it loses
// its connection and the worker serves the next one.
#include <sys/socket.h>
#include <sys/types.h>

#include <functional>
#include <string>
#include <string_view>
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

    // Whether a connection from `peer` may be served: `allowList` is FCGI_WEB_SERVER_ADDRS
    // (IPv4 addresses, comma-separated; empty: everyone); unix-socket peers always may.
    static bool PeerAllowed(const sockaddr* peer, std::string_view allowList);

    // `listenFd` stays open for the life of the process; 0 as `clientTimeoutMs` waits forever.
    explicit FastCgiServer(int listenFd, long clientTimeoutMs = kClientTimeoutMs)
        : listenFd_(listenFd), clientTimeoutMs_(clientTimeoutMs) {}

    // Accepts requests one at a time and runs `serveOne` for each; returns when accepting fails
    // (the listening socket was closed). Returns the number of requests served. SIGTERM ends
    // the process (its default action, also where libfcgi would catch it).
    long Serve(const std::function<void()>& serveOne);

    // Forks `workers` processes that each Serve(serveOne), and starts a new one whenever one
    // ends, until the parent receives SIGTERM or SIGINT; then sends the workers SIGTERM, waits
    // for them (SIGKILL to those still there after a few seconds) and returns the parent's exit
    // status. A worker gets SIGTERM as well when the parent ends in any other way (SIGKILL, a
    // crash), so that no worker outlives its supervisor.
    int Supervise(int workers, const std::function<void()>& serveOne);

    // In a process just forked from `parent`: SIGTERM when the parent ends; ends at once when
    // the parent has already ended.
    static void EndWithParent(pid_t parent);

  private:
    // The next connection from an allowed peer; -1 with errno when accepting fails.
    int AcceptClient(std::string_view allowList) const;

    int listenFd_;
    long clientTimeoutMs_;
};
