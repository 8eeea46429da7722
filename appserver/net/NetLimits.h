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
    // A request refused as busy is read to its end (its announced length, at most the request
    // limit) so that its client, still sending, sees the answer.
    static constexpr int kBusyDrainMs = 2000;
    // The body must arrive at least this fast (after the header's time): a client that sends a
    // byte now and then is cut off after a time in proportion to what it announced.
    static constexpr size_t kMinBodyBytesPerSecond = 16u << 10;
    static constexpr size_t kMaxConnections = 1024;    // open at once; more wait in the backlog
    static constexpr size_t kMaxQueuedRequests = 256;  // read whole, waiting for a worker
    // How long a whole request waits for room for its working memory before the busy answer;
    // with the call's deadline below the 30 s its client waits.
    static constexpr int kWorkingMemoryWaitMs = 8000;
    // Bodies at least this large give their memory back to the system once answered.
    static constexpr size_t kTrimAfterBytes = 1u << 20;

    int readTimeoutMs = 10000;      // longest silence while a request is read
    int requestDeadlineMs = 30000;  // longest time for a whole request
    int headerTimeoutMs = 2000;     // longest time from accept to the end of the header
    // The memory of all requests held at once: the bodies announced, being read or queued, and
    // the working memory of the calls being answered (WorkingMemory). A request whose body
    // would go beyond is refused at once with a busy answer; a whole one whose working memory
    // would waits up to kWorkingMemoryWaitMs for room first. With the resident size of an idle
    // server serving English (some 90 MB with its grammar and thesaurus), the server stays under
    // 256 MB; a 4 MiB text, the largest the service sends, still fits, with the bodies of the
    // calls waiting behind it.
    size_t maxInFlightBytes = 180u << 20;
    // Once read, a call is answered within this time (below the 30 s that orthd waits): work
    // that can stop early stops (CallDeadline), also when the client has gone.
    int callDeadlineMs = 20000;
    // The time one call may spend on suggestions; later words are answered without.
    int suggestBudgetMs = 1000;
};
