#pragma once
// The CGI request of the running process: getenv and standard input read as bytes (the body
// comes from the active RequestChannel instead when a FastCGI request is being served).
#include "kernel/RequestSource.h"

class ProcessRequestSource final : public RequestSource {
  public:
    static constexpr size_t kReadChunkBytes = 64 * 1024;

    std::optional<std::string> Env(const char* name) const override;
    // Clears the error state of standard input first, so an earlier failed read does not hide
    // the body.
    std::string ReadBody(size_t maxBytes) override;
};
