#include "kernel/FastCgiChannel.h"

#include <algorithm>
#include <climits>

namespace {
constexpr size_t kReadChunkBytes = 64 * 1024;
}  // namespace

FastCgiChannel::FastCgiChannel(FCGX_Request& request)
    : request_(request), buffer_(request.out), out_(&buffer_) {}

std::string FastCgiChannel::ReadBody(size_t maxBytes) {
    std::string body;
    while (body.size() < maxBytes) {
        const size_t want = std::min(kReadChunkBytes, maxBytes - body.size());
        const size_t old = body.size();
        body.resize(old + want);
        const int got = FCGX_GetStr(body.data() + old, static_cast<int>(want), request_.in);
        body.resize(old + static_cast<size_t>(std::max(got, 0)));
        if (got < static_cast<int>(want)) break;
    }
    return body;
}

std::ostream& FastCgiChannel::Output() { return out_; }

FastCgiChannel::OutputBuffer::int_type FastCgiChannel::OutputBuffer::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    return FCGX_PutChar(c, stream_) == EOF ? traits_type::eof() : c;
}

std::streamsize FastCgiChannel::OutputBuffer::xsputn(const char* bytes, std::streamsize count) {
    std::streamsize written = 0;
    while (written < count) {
        const int chunk = static_cast<int>(std::min<std::streamsize>(count - written, INT_MAX));
        const int n = FCGX_PutStr(bytes + written, chunk, stream_);
        if (n <= 0) break;
        written += n;
    }
    return written;
}

// The request's end (FCGX_Finish_r) sends what is buffered together with the closing records,
// in one write and one wake-up of the web server; a flush of its own would send them apart. A
// full buffer is still sent as it fills.
int FastCgiChannel::OutputBuffer::sync() { return 0; }
