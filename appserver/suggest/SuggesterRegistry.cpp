#include "suggest/SuggesterRegistry.h"

#include "core/Log.h"
#include "core/ProgramFolder.h"
#include "spell/LanguageName.h"

SuggesterRegistry::SuggesterRegistry(std::string dataFolder)
    : dataFolder_(dataFolder.empty() ? ProgramFolder::Path() : std::move(dataFolder)) {}

std::shared_ptr<const WordTiers> SuggesterRegistry::TiersOf(const std::string& base) {
    auto& tiers = tiers_[base];
    if (!tiers) {
        const std::string path = dataFolder_ + "/word-tiers-" + base + ".txt";
        tiers = std::make_shared<const WordTiers>(WordTiers::Load(path));
        Log::Info("word tiers " + base + ": " + std::to_string(tiers->size()) + " words, " +
                  std::to_string(tiers->ApproximateBytes() >> 20) + " MiB from " + path);
    }
    return tiers;
}

LanguageSuggester& SuggesterRegistry::For(const std::string& language,
                                          LanguageSuggester::WordSource words) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto& suggester = suggesters_[language];
    if (!suggester) {
        std::string base = LanguageName::BaseOf(language);
        if (base.empty()) base = language;
        suggester = std::make_unique<LanguageSuggester>(language, TiersOf(base), std::move(words));
    }
    return *suggester;
}
