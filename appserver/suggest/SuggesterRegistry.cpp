#include "suggest/SuggesterRegistry.h"

#include <filesystem>

#include "core/Log.h"
#include "core/ProgramFolder.h"
#include "spell/LanguageName.h"
#include "suggest/WordListIdentity.h"

SuggesterRegistry::SuggesterRegistry(std::string dataFolder, std::string indexFolder)
    : dataFolder_(dataFolder.empty() ? ProgramFolder::Path() : std::move(dataFolder)),
      indexFolder_(std::move(indexFolder)) {}

std::string SuggesterRegistry::TiersPath(const std::string& base) const {
    return dataFolder_ + "/word-tiers-" + base + ".txt";
}

std::shared_ptr<const WordTiers> SuggesterRegistry::TiersOf(const std::string& base) {
    auto& tiers = tiers_[base];
    if (!tiers) {
        const std::string path = TiersPath(base);
        tiers = std::make_shared<const WordTiers>(WordTiers::Load(path));
        Log::Info("word tiers " + base + ": " + std::to_string(tiers->size()) + " words, " +
                  std::to_string(tiers->ApproximateBytes() >> 20) + " MiB from " + path);
    }
    return tiers;
}

LanguageSuggester& SuggesterRegistry::For(const std::string& language,
                                          LanguageSuggester::WordSource words,
                                          const std::vector<std::string>& wordListFiles) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto& suggester = suggesters_[language];
    if (!suggester) {
        std::string base = LanguageName::BaseOf(language);
        if (base.empty()) base = language;
        LanguageSuggester::StoredIndex stored;
        if (!indexFolder_.empty() && !wordListFiles.empty()) {
            std::vector<std::string> files = wordListFiles;
            std::error_code error;
            if (std::filesystem::is_regular_file(TiersPath(base), error))
                files.push_back(TiersPath(base));
            const WordListIdentity identity = WordListIdentity::Of(files);
            if (!identity.empty())
                stored = {indexFolder_ + "/" + identity.fileName(), identity.text()};
        }
        suggester = std::make_unique<LanguageSuggester>(language, TiersOf(base), std::move(words),
                                                        std::move(stored));
    }
    return *suggester;
}
