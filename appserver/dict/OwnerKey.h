#pragma once
// The secret key of a personal dictionary's owner. The key is 32 random bytes written as 64
// lower-case hexadecimal digits; the store keeps only its SHA-256, and a presented key is
// compared by hashing it and comparing the two hashes in constant time, so neither the stored
// value nor the time of a refusal tells anything about the key.
#include <string>
#include <string_view>

class OwnerKey {
  public:
    static constexpr size_t kKeyBytes = 32;

    // A fresh key from the system's cryptographic random source; throws std::runtime_error when
    // that fails.
    static std::string Generate();
    // The SHA-256 of `key` (32 raw bytes).
    static std::string Hash(std::string_view key);
    // `bytes` as lower-case hexadecimal digits, two per byte (the form of a key).
    static std::string Hex(std::string_view bytes);
    // True when `key` hashes to `storedHash`, compared in constant time.
    static bool Matches(std::string_view key, std::string_view storedHash);
};
