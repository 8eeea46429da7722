#pragma once
// A MetricsEndpoint served by its own thread for the life of this object: the destructor stops
// it and joins the thread. What `render` reads must outlive this object.
#include <memory>
#include <string>
#include <thread>

#include "utils/metrics/MetricsEndpoint.h"

class MetricsEndpointThread {
  public:
    // Throws std::runtime_error as MetricsEndpoint does.
    MetricsEndpointThread(const std::string& listen, PeerAllowList allow,
                          MetricsEndpoint::Render render);
    ~MetricsEndpointThread();
    MetricsEndpointThread(const MetricsEndpointThread&) = delete;
    MetricsEndpointThread& operator=(const MetricsEndpointThread&) = delete;

    int port() const { return endpoint_.port(); }

  private:
    MetricsEndpoint endpoint_;
    std::thread thread_;
};
