#pragma once
// Limits that protect the server from its clients.
#include <cstddef>

struct NetLimits {
    static constexpr size_t kMaxRequestBytes = 8u << 20;  // body, as the protocol allows
    static constexpr size_t kMaxHeaderBytes = 16u << 10;
    static constexpr int kWriteTimeoutMs = 10000;
    static constexpr int kStopPollMs = 100;  // how often a waiting reader looks at the stop flag
    static constexpr int kDrainMs = 200;     // reading what a refused client still sends
    static constexpr size_t kMaxDrainBytes = 256u << 10;

    int readTimeoutMs = 10000;      // longest silence while a request is read
    int requestDeadlineMs = 30000;  // longest time for a whole request
};
