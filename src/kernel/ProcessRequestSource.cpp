#include "kernel/ProcessRequestSource.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "kernel/RequestChannel.h"

std::optional<std::string> ProcessRequestSource::Env(const char* name) const {
    const char* value = std::getenv(name);
    if (value == nullptr) return std::nullopt;
    return std::string(value);
}

std::string ProcessRequestSource::ReadBody(size_t maxBytes) {
    if (RequestChannel* channel = RequestChannel::Active()) return channel->ReadBody(maxBytes);
    std::clearerr(stdin);
    std::string body;
    // Grows with what actually arrives, so a length that promises more than is sent costs nothing.
    while (body.size() < maxBytes) {
        const size_t want = std::min(kReadChunkBytes, maxBytes - body.size());
        const size_t old = body.size();
        body.resize(old + want);
        const size_t got = std::fread(body.data() + old, 1, want, stdin);
        body.resize(old + got);
        if (got < want) break;
    }
    return body;
}
