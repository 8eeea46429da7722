#include "spell/LanguageRegistry.h"

#include <algorithm>
#include <set>

#include "spell/AspellBackend.h"
#include "spell/HunspellBackend.h"
#include "spell/LanguageName.h"

namespace {

bool Contains(const std::vector<std::string>& list, const std::string& item) {
    return std::find(list.begin(), list.end(), item) != list.end();
}

}  // namespace

LanguageRegistry::LanguageRegistry(const ServerConfig& config) {
    const std::vector<std::string> aspell = AspellBackend::InstalledLanguages(config.aspellDir);
    const std::vector<std::string> hunspell =
        HunspellBackend::InstalledLanguages(config.hunspellDir);

    std::set<std::string> wanted(config.languages.begin(), config.languages.end());
    if (wanted.empty()) {
        wanted.insert(aspell.begin(), aspell.end());
        wanted.insert(hunspell.begin(), hunspell.end());
    }
    for (const std::string& language : wanted) {
        const bool hasAspell = Contains(aspell, language);
        const bool hasHunspell = Contains(hunspell, language);
        std::string backend = hasAspell ? "aspell" : "hunspell";
        if (const auto chosen = config.backends.find(language); chosen != config.backends.end())
            backend = chosen->second;
        if ((backend == "aspell" && !hasAspell) || (backend == "hunspell" && !hasHunspell))
            throw ConfigError("no " + backend + " dictionary installed for language " + language);

        const auto handles = static_cast<size_t>(config.spellersPerLanguage);
        const SpellerPool::Factory aspellFactory = [dir = config.aspellDir, language] {
            return std::make_unique<AspellBackend>(dir, language);
        };
        if (backend == "aspell") {
            wordListFiles_[language] = AspellBackend::WordListFiles(config.aspellDir, language);
            pools_.emplace(
                language, std::make_unique<SpellerPool>(language, backend, aspellFactory, handles));
            continue;
        }
        const std::string stem = config.hunspellDir + "/" + language;
        wordListFiles_[language] = {stem + ".aff", stem + ".dic"};
        auto pool = std::make_unique<SpellerPool>(
            language, backend,
            [stem] { return std::make_unique<HunspellBackend>(stem + ".aff", stem + ".dic"); },
            handles);
        if (hasAspell) {
            suggestionSources_.push_back(
                std::make_unique<SpellerPool>(language, "aspell", aspellFactory, handles));
            pool->SetSuggestionSource(suggestionSources_.back().get());
        }
        pools_.emplace(language, std::move(pool));
    }
    if (pools_.empty()) throw ConfigError("no spelling dictionary installed");
}

SpellerPool* LanguageRegistry::Find(std::string_view requested) const {
    if (const auto hit = pools_.find(requested); hit != pools_.end()) return hit->second.get();
    const std::string normal = LanguageName::Normalize(requested);
    if (const auto hit = pools_.find(normal); hit != pools_.end()) return hit->second.get();
    const std::string base = LanguageName::BaseOf(normal);
    if (base.empty()) return nullptr;
    if (const auto hit = pools_.find(base); hit != pools_.end()) return hit->second.get();
    const auto region = pools_.lower_bound(base + "_");
    if (region != pools_.end() && region->first.rfind(base + "_", 0) == 0)
        return region->second.get();
    return nullptr;
}

std::vector<std::string> LanguageRegistry::Describe() const {
    std::vector<std::string> out;
    for (const auto& [name, pool] : pools_) out.push_back(name + " (" + pool->backend() + ")");
    return out;
}

std::vector<SpellerPool*> LanguageRegistry::Pools() const {
    std::vector<SpellerPool*> out;
    for (const auto& [name, pool] : pools_) out.push_back(pool.get());
    return out;
}

std::vector<std::string> LanguageRegistry::Codes() const {
    std::vector<std::string> out;
    for (const auto& entry : pools_) out.push_back(entry.first);
    return out;
}

std::vector<std::string> LanguageRegistry::WordListFiles(const std::string& language) const {
    const auto it = wordListFiles_.find(language);
    return it == wordListFiles_.end() ? std::vector<std::string>() : it->second;
}

void LanguageRegistry::Preload() {
    for (const auto& [name, pool] : pools_) pool->Acquire();
}
