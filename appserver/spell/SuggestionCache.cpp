#include "spell/SuggestionCache.h"

std::string SuggestionCache::KeyOf(std::string_view language, std::string_view word) {
    std::string key;
    key.reserve(language.size() + 1 + word.size());
    key.append(language).append(1, '\0').append(word);
    return key;
}

std::optional<std::vector<std::string>> SuggestionCache::Find(std::string_view language,
                                                              std::string_view word) {
    if (capacity_ == 0) {
        ++misses_;
        return std::nullopt;
    }
    const std::string key = KeyOf(language, word);
    std::lock_guard<std::mutex> lock(mutex_);
    const auto hit = index_.find(key);
    if (hit == index_.end()) {
        ++misses_;
        return std::nullopt;
    }
    ++hits_;
    order_.splice(order_.begin(), order_, hit->second);
    return hit->second->second;
}

void SuggestionCache::Store(std::string_view language, std::string_view word,
                            std::vector<std::string> list) {
    if (capacity_ == 0) return;
    std::string key = KeyOf(language, word);
    std::lock_guard<std::mutex> lock(mutex_);
    const auto hit = index_.find(key);
    if (hit != index_.end()) {
        hit->second->second = std::move(list);
        order_.splice(order_.begin(), order_, hit->second);
        return;
    }
    order_.emplace_front(key, std::move(list));
    index_.emplace(std::move(key), order_.begin());
    if (order_.size() > capacity_) {
        index_.erase(order_.back().first);
        order_.pop_back();
    }
}

size_t SuggestionCache::size() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return order_.size();
}
