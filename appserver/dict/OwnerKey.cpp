#include "dict/OwnerKey.h"

#include <openssl/crypto.h>
#include <openssl/rand.h>
#include <openssl/sha.h>

#include <stdexcept>

std::string OwnerKey::Generate() {
    unsigned char bytes[kKeyBytes];
    if (RAND_bytes(bytes, sizeof bytes) != 1)
        throw std::runtime_error("no random bytes for a dictionary key");
    return Hex(std::string_view(reinterpret_cast<const char*>(bytes), sizeof bytes));
}

std::string OwnerKey::Hex(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char b : bytes) {
        out += kDigits[b >> 4];
        out += kDigits[b & 0xF];
    }
    return out;
}

std::string OwnerKey::Hash(std::string_view key) {
    unsigned char digest[SHA256_DIGEST_LENGTH];
    SHA256(reinterpret_cast<const unsigned char*>(key.data()), key.size(), digest);
    return std::string(reinterpret_cast<const char*>(digest), sizeof digest);
}

bool OwnerKey::Matches(std::string_view key, std::string_view storedHash) {
    const std::string presented = Hash(key);
    return storedHash.size() == presented.size() &&
           CRYPTO_memcmp(presented.data(), storedHash.data(), presented.size()) == 0;
}
