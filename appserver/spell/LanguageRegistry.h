#pragma once
// The languages the server checks and the back end of each. Built once at start from the
// installed dictionaries and the settings; read-only afterwards, so Find is thread-safe.
//
// Back end per language: the one named by the "backend" setting, else Aspell when it has the
// language (it suggests about a hundred times faster), else Hunspell. Throws ConfigError when
// a named language or back end has no dictionary, or no language is left at all.
//
// A Hunspell language whose Aspell dictionary is installed too takes the library's suggestion
// candidates from Aspell (SpellerPool::suggestionSource): Hunspell takes tens of milliseconds a
// word, Aspell under one, and Aspell's phonetic list is the better one. The words still have to
// pass the Hunspell dictionary, which stays the one that checks.
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/ServerConfig.h"
#include "spell/SpellerPool.h"

class LanguageRegistry {
  public:
    explicit LanguageRegistry(const ServerConfig& config);

    // The pool for a requested language: the exact name, else its normal spelling ("en-us"),
    // else the bare language ("he_IL" -> "he"), else the first region of the bare language
    // ("vi" -> "vi_VN"). nullptr when none is served.
    SpellerPool* Find(std::string_view requested) const;

    // "en_US (aspell)" for each language, in name order.
    std::vector<std::string> Describe() const;
    // The served language names ("en_US"), in name order.
    std::vector<std::string> Codes() const;
    size_t size() const { return pools_.size(); }

    // Every language's pool, in name order.
    std::vector<SpellerPool*> Pools() const;

    // The files that hold `language`'s words (empty when unknown or not served).
    std::vector<std::string> WordListFiles(const std::string& language) const;

    // Opens one handle of every language now; throws on the first that fails.
    void Preload();

  private:
    // The Aspell pools that suggest for Hunspell languages (declared first: they outlive the
    // pools that point to them).
    std::vector<std::unique_ptr<SpellerPool>> suggestionSources_;
    std::map<std::string, std::unique_ptr<SpellerPool>, std::less<>> pools_;
    std::map<std::string, std::vector<std::string>> wordListFiles_;
};
