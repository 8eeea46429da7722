#pragma once
// Reads one request (header block, then Content-length bytes of body) from a connected
// socket, within the limits of NetLimits. Never reads past the body. Thread-compatible.
#include <atomic>
#include <string>

#include "net/NetLimits.h"

class RequestReader {
  public:
    enum class Outcome {
        kOk,
        kClosed,    // the client closed before sending a whole request
        kTimedOut,  // silence longer than the read time-out, or past the deadline
        kStopped,   // the server is stopping
        kHeaderTooLarge,
        kNoLength,  // Content-length missing or malformed
        kTooLarge,  // Content-length above the request limit
        kFailed,    // a socket error
    };

    RequestReader(int fd, const NetLimits& limits, const std::atomic<bool>& stopping)
        : fd_(fd), limits_(limits), stopping_(stopping) {}

    // On kOk `body` holds the request body.
    Outcome Read(std::string& body);

    // True when the client sent bytes past the announced body (they are dropped unread, so
    // the connection must be drained before it is closed).
    bool sawExtraBytes() const { return extraBytes_; }

    // The error answer text for an outcome other than kOk (empty when none is sent).
    static const char* MessageFor(Outcome outcome);

  private:
    // Waits for data and appends what arrives to `buffer` (up to `want` bytes).
    Outcome ReadSome(std::string& buffer, size_t want, long long deadlineMs);

    int fd_;
    const NetLimits& limits_;
    const std::atomic<bool>& stopping_;
    bool extraBytes_ = false;
};
