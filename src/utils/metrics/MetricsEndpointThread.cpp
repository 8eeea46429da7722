#include "utils/metrics/MetricsEndpointThread.h"

MetricsEndpointThread::MetricsEndpointThread(const std::string& listen, PeerAllowList allow,
                                             MetricsEndpoint::Render render)
    : endpoint_(listen, std::move(allow), std::move(render)),
      thread_([this] { endpoint_.Serve(); }) {}

MetricsEndpointThread::~MetricsEndpointThread() {
    endpoint_.Stop();
    thread_.join();
}
