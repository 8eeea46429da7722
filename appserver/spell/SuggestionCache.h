#pragma once
// Suggestion lists by (language, word), least recently used dropped first once `capacity`
// lists are held. Capacity 0 disables the cache. Thread-safe.
#include <atomic>
#include <list>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class SuggestionCache {
  public:
    explicit SuggestionCache(size_t capacity) : capacity_(capacity) {}

    std::optional<std::vector<std::string>> Find(std::string_view language, std::string_view word);
    void Store(std::string_view language, std::string_view word, std::vector<std::string> list);
    size_t size() const;
    // Finds that found a list, and those that did not (for the metrics page).
    unsigned long long hits() const { return hits_.load(); }
    unsigned long long misses() const { return misses_.load(); }

  private:
    using Entry = std::pair<std::string, std::vector<std::string>>;
    static std::string KeyOf(std::string_view language, std::string_view word);

    const size_t capacity_;
    std::atomic<unsigned long long> hits_{0};
    std::atomic<unsigned long long> misses_{0};
    mutable std::mutex mutex_;
    std::list<Entry> order_;  // most recently used first
    std::unordered_map<std::string, std::list<Entry>::iterator> index_;
};
