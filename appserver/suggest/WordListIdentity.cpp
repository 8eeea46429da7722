#include "suggest/WordListIdentity.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>

#include "core/MappedFile.h"

namespace {

constexpr uint64_t kPrime = 0x100000001b3ull;

uint64_t Mix(uint64_t h, uint64_t value) {
    h ^= value;
    h *= kPrime;
    return h ^ (h >> 29);
}

// A 64-bit hash of `bytes`, eight at a time.
uint64_t HashOf(std::span<const std::byte> bytes) {
    uint64_t h = 0xcbf29ce484222325ull ^ bytes.size();
    size_t at = 0;
    for (; at + 8 <= bytes.size(); at += 8) {
        uint64_t word = 0;
        std::memcpy(&word, bytes.data() + at, 8);
        h = Mix(h, word);
    }
    for (; at < bytes.size(); ++at) h = Mix(h, static_cast<uint64_t>(bytes[at]));
    return h;
}

std::string Hex(uint64_t value) {
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(value));
    return hex;
}

}  // namespace

WordListIdentity WordListIdentity::Of(const std::vector<std::string>& files) {
    if (files.empty()) return {};
    WordListIdentity identity;
    for (const std::string& file : files) {
        const std::unique_ptr<const MappedFile> mapped = MappedFile::Open(file, kMaxFileBytes);
        if (!mapped) return {};
        const std::span<const std::byte> bytes = mapped->bytes();
        identity.text_ += std::to_string(bytes.size()) + " " + Hex(HashOf(bytes)) + "\n";
    }
    const std::string& text = identity.text_;
    identity.fileName_ =
        "words-" + Hex(HashOf({reinterpret_cast<const std::byte*>(text.data()), text.size()})) +
        ".index";
    return identity;
}
