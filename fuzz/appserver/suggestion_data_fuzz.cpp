// The word-tier file parser and the suggestion index on arbitrary bytes: the parsed words are
// indexed, and the input itself is looked up and ranked, so hostile words reach every step.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "suggest/SuggestionRanker.h"
#include "suggest/SymmetricDeleteIndex.h"
#include "suggest/WordTiers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    auto tiers = std::make_shared<const WordTiers>(WordTiers::Parse(text));
    const SymmetricDeleteIndex index(tiers->Words());
    const SuggestionRanker ranker(tiers);
    const std::string_view typed = text.substr(0, 120);
    std::vector<SuggestionRanker::Candidate> candidates;
    for (auto& m : index.Near(typed)) candidates.push_back({m.word, m.distance, -1});
    candidates.push_back({std::string(text.substr(0, 200)), -1, 0});
    ranker.Margin(typed, candidates);
    ranker.Rank(typed, std::move(candidates), 10);
    return 0;
}
