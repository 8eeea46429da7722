#pragma once
// Where the request being served comes from and its answer goes to when it is not the process's
// own standard input and output: a FastCGI connection. The CGI path installs none, and
// ProcessRequestSource and StandardOutput() then use the process's streams.
//
// Single-threaded: the request thread installs a channel for one request (Scope) and nothing
// else reads or writes it meanwhile. The environment of the request is the process environment
// for that time (the server swaps it), so filters read it with getenv either way.
#include <cstddef>
#include <ostream>
#include <string>

class RequestChannel {
  public:
    virtual ~RequestChannel() = default;

    // Up to `maxBytes` bytes of the body; fewer when the body ends.
    virtual std::string ReadBody(size_t maxBytes) = 0;
    // The stream the answer (header block and body) is written to.
    virtual std::ostream& Output() = 0;

    // The installed channel, or nullptr when the process serves CGI.
    static RequestChannel* Active();

    // Installs `channel` for its lifetime; `channel` must outlive the Scope.
    class Scope {
      public:
        explicit Scope(RequestChannel& channel);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

      private:
        RequestChannel* previous_;
    };
};
