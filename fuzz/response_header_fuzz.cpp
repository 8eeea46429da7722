// Feeds arbitrary bytes to the relay's reader of the service host's answer header, and to the
// metrics page's reader of a request head and of an allow-list.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "client/ParseResponseHeader.h"
#include "utils/metrics/MetricsEndpoint.h"
#include "utils/metrics/PeerAllowList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const ResponseHeader header = ParseResponseHeader(input);
    if (header.wellFormed && header.status.size() != 3) __builtin_trap();
    const std::string answer =
        MetricsEndpoint::Answer(input, true, true, [] { return std::string("x 1\n"); });
    if (!answer.starts_with("HTTP/1.0 ")) __builtin_trap();
    PeerAllowList::Parse(std::string(input));
    return 0;
}
