#pragma once
// One LanguageSuggester per language, made on first use. The word tiers of a language are read
// from "word-tiers-LL.txt" in the data folder (LL: the language without its region, "en" for
// "en_US"); languages without such a file are ranked without word frequencies. Thread-safe.
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "suggest/LanguageSuggester.h"

class SuggesterRegistry {
  public:
    // `dataFolder` empty: the folder of the running program. `indexFolder` empty: indexes are
    // not stored.
    explicit SuggesterRegistry(std::string dataFolder, std::string indexFolder = "");

    // The suggester of `language`; `words` gives the dictionary's words when it is made, from
    // `wordListFiles` (none: its index is not stored).
    LanguageSuggester& For(const std::string& language, LanguageSuggester::WordSource words,
                           const std::vector<std::string>& wordListFiles = {});

  private:
    std::shared_ptr<const WordTiers> TiersOf(const std::string& base);

    std::string TiersPath(const std::string& base) const;

    const std::string dataFolder_;
    const std::string indexFolder_;
    std::mutex mutex_;
    std::map<std::string, std::unique_ptr<LanguageSuggester>> suggesters_;
    std::map<std::string, std::shared_ptr<const WordTiers>> tiers_;
};
