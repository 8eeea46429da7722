#pragma once
// Serves the metrics page over minimal HTTP/1.0 on its own listening socket, meant for the
// operator's network only: "GET /metrics" from an allowed peer gets the rendered page; a peer
// not on the allow-list gets 403, a malformed or oversized request 400, anything else 404.
// Every connection gets one answer and is closed.
//
// One connection at a time, each bounded: its request head within kMaxRequestHeadBytes and
// kRequestTimeoutMs, its answer within kWriteTimeoutMs. A client that stalls delays the next
// scrape by those times at most.
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "utils/metrics/PeerAllowList.h"

class MetricsEndpoint {
  public:
    static constexpr std::size_t kMaxRequestHeadBytes = 8192;
    static constexpr int kRequestTimeoutMs = 2000;
    static constexpr int kWriteTimeoutMs = 2000;
    static constexpr int kListenBacklog = 16;

    using Render = std::function<std::string()>;

    // Binds and listens on `listen`: "HOST:PORT" or "[IPV6]:PORT" (port 0 picks a free one).
    // Throws std::runtime_error with a message for the operator.
    MetricsEndpoint(const std::string& listen, PeerAllowList allow, Render render);
    ~MetricsEndpoint();
    MetricsEndpoint(const MetricsEndpoint&) = delete;
    MetricsEndpoint& operator=(const MetricsEndpoint&) = delete;

    int port() const { return port_; }

    // Answers connections until Stop() (thread-safe) is called.
    void Serve();
    void Stop();

    // The whole answer to a request head (everything before the blank line; `complete` false when
    // the blank line never came within the limits) from a peer that is `allowed` or not.
    static std::string Answer(std::string_view head, bool complete, bool allowed,
                              const Render& render);

  private:
    void ServeConnection(int fd);

    int listen_ = -1;
    int stop_ = -1;  // an eventfd, readable once Stop() was called
    int port_ = 0;
    PeerAllowList allow_;
    Render render_;
};
