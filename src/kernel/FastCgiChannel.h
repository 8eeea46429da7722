#pragma once
// The body and the answer stream of one accepted FastCGI request. The request must stay
// accepted (not finished) while the channel is in use.
#include <fcgiapp.h>

#include <ostream>
#include <streambuf>

#include "kernel/RequestChannel.h"

class FastCgiChannel final : public RequestChannel {
  public:
    explicit FastCgiChannel(FCGX_Request& request);
    FastCgiChannel(const FastCgiChannel&) = delete;
    FastCgiChannel& operator=(const FastCgiChannel&) = delete;

    std::string ReadBody(size_t maxBytes) override;
    std::ostream& Output() override;

  private:
    // Unbuffered on our side: FCGX_Stream buffers, and sends when full or at the request's end.
    class OutputBuffer final : public std::streambuf {
      public:
        explicit OutputBuffer(FCGX_Stream* stream) : stream_(stream) {}

      protected:
        int_type overflow(int_type c) override;
        std::streamsize xsputn(const char* bytes, std::streamsize count) override;
        int sync() override;

      private:
        FCGX_Stream* stream_;
    };

    FCGX_Request& request_;
    OutputBuffer buffer_;
    std::ostream out_;
};
