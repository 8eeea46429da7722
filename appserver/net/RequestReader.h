#pragma once
// Reads one request (header block, then Content-length bytes of body) from a non-blocking
// socket, as far as the bytes that have arrived allow; called again whenever more arrive.
// Never reads past the body. Thread-compatible.
#include <cstddef>
#include <string>

#include "net/NetLimits.h"

class RequestReader {
  public:
    enum class Outcome {
        kOk,          // the whole request is there (TakeBody)
        kNeedMore,    // nothing wrong; more bytes must come
        kHeaderDone,  // the header has just been read (once): the length is known, no body
                      // byte beyond what came with the header has been read yet
        kClosed,      // the client closed before sending a whole request
        kTimedOut,    // silence longer than the read time-out, or past a deadline
        kStopped,     // the server is stopping
        kHeaderTooLarge,
        kNoLength,  // Content-length missing or malformed
        kTooLarge,  // Content-length above the request limit
        kBusy,      // the server holds too much text already
        kFailed,    // a socket error
    };

    // Reads what `fd` holds now and returns where the request stands.
    Outcome ReadAvailable(int fd);

    bool headerDone() const { return headerEnd_ != std::string::npos; }
    // The announced body length; valid once headerDone().
    size_t contentLength() const { return total_ - headerEnd_; }
    size_t bodyBytesRead() const { return buffer_.size() - headerEnd_; }
    // The body of a whole request (kOk); the reader is spent afterwards.
    std::string TakeBody();

    // True when the client sent bytes past the announced body (they are dropped unread, so
    // the connection must be drained before it is closed).
    bool sawExtraBytes() const { return extraBytes_; }

    // The error answer text for a failed outcome (empty when none is sent).
    static const char* MessageFor(Outcome outcome);

  private:
    Outcome AfterRead();

    std::string buffer_;
    size_t headerEnd_ = std::string::npos;
    size_t searchFrom_ = 0;
    size_t total_ = 0;
    bool extraBytes_ = false;
};
