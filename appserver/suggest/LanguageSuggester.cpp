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

void LanguageSuggester::Prepare() { Index(); }

const SymmetricDeleteIndex& LanguageSuggester::Index() {
    std::call_once(built_, [this] {
        const auto start = std::chrono::steady_clock::now();
        index_ = std::make_unique<const SymmetricDeleteIndex>(words_(*tiers_));
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                            std::chrono::steady_clock::now() - start)
                            .count();
        Log::Info("suggestion index " + language_ + ": " + std::to_string(index_->words()) +
                  " words, " + std::to_string(index_->ApproximateBytes() >> 20) + " MiB, " +
                  std::to_string(ms) + " ms");
    });
    return *index_;
}

std::vector<std::string> LanguageSuggester::Suggest(std::string_view word, size_t max,
                                                    const Library& library) {
    // Without words of its own or their frequencies the engine knows nothing the library does
    // not: the library's order stands.
    if (Index().words() == 0 && tiers_->size() == 0) {
        std::vector<std::string> list = library(word);
        if (list.size() > max) list.resize(max);
        return list;
    }
    std::vector<SuggestionRanker::Candidate> candidates;
    double best = SymmetricDeleteIndex::kMaxDistance + 1;
    for (SymmetricDeleteIndex::Match& m : Index().Near(word)) {
        best = std::min(best, m.distance);
        candidates.push_back({std::move(m.word), m.distance, -1});
    }
    if (best > kCheapDistance || ranker_.Margin(word, candidates) < kClearMargin) {
        const std::vector<std::string> list = library(word);
        for (size_t i = 0; i < list.size(); ++i)
            candidates.push_back({list[i], -1, static_cast<int>(i)});
    }
    return ranker_.Rank(word, std::move(candidates), max);
}
