#include "suggest/LanguageSuggester.h"

#include <algorithm>
#include <chrono>

#include "core/Log.h"

LanguageSuggester::LanguageSuggester(std::string language, std::shared_ptr<const WordTiers> tiers,
                                     WordSource words)
    : language_(std::move(language)),
      tiers_(tiers ? std::move(tiers) : std::make_shared<const WordTiers>()),
      ranker_(tiers_),
      words_(std::move(words)) {}

void LanguageSuggester::Prepare(const std::atomic<bool>* stop) {
    std::call_once(built_, [this, stop] {
        const auto start = std::chrono::steady_clock::now();
        index_ = std::make_unique<const SymmetricDeleteIndex>(words_(*tiers_), stop);
        if (stop && stop->load()) return;
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                            std::chrono::steady_clock::now() - start)
                            .count();
        Log::Info("suggestion index " + language_ + ": " + std::to_string(index_->words()) +
                  " words, " + std::to_string(index_->ApproximateBytes() >> 20) + " MiB, " +
                  std::to_string(ms) + " ms");
        ready_.store(true, std::memory_order_release);
    });
}

const SymmetricDeleteIndex* LanguageSuggester::Ready() const {
    return ready_.load(std::memory_order_acquire) ? index_.get() : nullptr;
}

size_t LanguageSuggester::IndexBytes() const {
    const SymmetricDeleteIndex* index = Ready();
    return index ? index->ApproximateBytes() : 0;
}

std::vector<std::string> LanguageSuggester::Suggest(std::string_view word, size_t max,
                                                    const Library& library, LibrarySpeed speed) {
    // Without words of its own or their frequencies the engine knows nothing the library does
    // not: the library's order stands.
    const SymmetricDeleteIndex* index = Ready();
    if ((!index || index->words() == 0) && tiers_->size() == 0) {
        std::vector<std::string> list = library(word);
        if (list.size() > max) list.resize(max);
        return list;
    }
    std::vector<SuggestionRanker::Candidate> candidates;
    double best = SymmetricDeleteIndex::kMaxDistance + 1;
    if (index)
        for (SymmetricDeleteIndex::Match& m : index->Near(word)) {
            best = std::min(best, m.distance);
            candidates.push_back({std::move(m.word), m.distance, -1});
        }
    const bool unclear =
        speed == LibrarySpeed::kFast && ranker_.Margin(word, candidates) < kClearMargin;
    if (best > kCheapDistance || unclear) {
        const std::vector<std::string> list = library(word);
        for (size_t i = 0; i < list.size(); ++i)
            candidates.push_back({list[i], -1, static_cast<int>(i)});
    }
    return ranker_.Rank(word, std::move(candidates), max);
}
