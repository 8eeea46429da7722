// Feeds arbitrary bytes to the relay's reader of the service host's answer header.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "client/ParseResponseHeader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const ResponseHeader header =
        ParseResponseHeader(std::string_view(reinterpret_cast<const char*>(data), size));
    if (header.wellFormed && header.status.size() != 3) __builtin_trap();
    return 0;
}
