#include "grammar/GrammarResultCache.h"

namespace {

// A list node, a map node and its bucket, as allocated.
constexpr size_t kEntryOverhead = 128;

}  // namespace

size_t GrammarResultCache::EntryBytes(const std::u16string& text,
                                      const std::vector<GrammarProblem>& problems) {
    size_t bytes = kEntryOverhead + text.size() * sizeof(char16_t);
    for (const GrammarProblem& p : problems) {
        bytes += sizeof(GrammarProblem) + p.explanation.size();
        for (const std::string& variant : p.variants) bytes += sizeof(std::string) + variant.size();
    }
    return bytes;
}

std::optional<std::vector<GrammarProblem>> GrammarResultCache::Find(const std::u16string& text) {
    if (budget_ == 0) return std::nullopt;
    std::lock_guard<std::mutex> lock(mutex_);
    const auto hit = index_.find(text);
    if (hit == index_.end()) return std::nullopt;
    order_.splice(order_.begin(), order_, hit->second);
    return hit->second->problems;
}

void GrammarResultCache::Store(const std::u16string& text,
                               const std::vector<GrammarProblem>& problems) {
    const size_t bytes = EntryBytes(text, problems);
    if (bytes > budget_ / kMaxEntryShare) return;
    std::lock_guard<std::mutex> lock(mutex_);
    if (index_.count(text)) return;  // stored by another call meanwhile: the same problems
    order_.push_front({text, problems, bytes});
    index_.emplace(order_.front().text, order_.begin());
    bytes_ += bytes;
    while (bytes_ > budget_) {
        bytes_ -= order_.back().bytes;
        index_.erase(order_.back().text);
        order_.pop_back();
    }
}

size_t GrammarResultCache::size() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return order_.size();
}

size_t GrammarResultCache::bytes() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return bytes_;
}
