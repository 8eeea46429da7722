// The INI parser on arbitrary bytes: it must never fail, and no stored pair may hold an empty
// key or value, a line break or TAB, or a blank in the key.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "kernel/CIniParser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto entries = CIniParser::ParseIniText(text);
    size_t stored = 0;
    for (const auto& [key, value] : entries) {
        if (key.empty() || value.empty()) std::abort();
        if (key.find_first_of(" \t\r\n") != std::string::npos) std::abort();
        if (value.find_first_of("\t\r\n") != std::string::npos) std::abort();
        if (value.front() == ' ') std::abort();
        stored += key.size() + value.size();
    }
    if (stored > size) std::abort();
    return 0;
}
