#pragma once
// Where Request_FLT takes the CGI request from: the environment and the request body.
// ProcessRequestSource reads the real process's; tests pass their own.
#include <cstddef>
#include <optional>
#include <string>

class RequestSource {
  public:
    virtual ~RequestSource() = default;

    // The environment variable `name`, or nullopt when it is not set.
    virtual std::optional<std::string> Env(const char* name) const = 0;

    // Up to `maxBytes` bytes of the body. Returns fewer (possibly none) when the body ends or
    // cannot be read; never waits for more than the sender has sent before closing.
    virtual std::string ReadBody(size_t maxBytes) = 0;
};
