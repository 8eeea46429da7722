#pragma once
// The spelling functions of the protocol, on top of the language registry, the personal
// dictionaries and the suggestion cache. Each returns the function's one result string.
// Throws EngineError for an unsupported language, a text that is not UTF-8 or a speller that
// cannot be opened. Thread-safe.
//
// A word is misspelt when no option skips it, it is not an ignored word, not an accepted word
// (exact, or the accepted word with the first letter capitalised, or in capitals), and the
// language's speller rejects it (typographic apostrophes are checked as "'").
#include <atomic>
#include <cstddef>
#include <string>
#include <thread>
#include <vector>

#include "spell/SpellRequest.h"
#include "spell/WordRef.h"
#include "suggest/SuggesterRegistry.h"

class DictionaryStore;
class LanguageRegistry;
class SpellerPool;
class SuggestionCache;

class SpellService {
  public:
    // `dataFolder`: where the suggestion data files are (SuggesterRegistry); empty for the
    // program's folder.
    SpellService(const LanguageRegistry& languages, DictionaryStore& dictionaries,
                 SuggestionCache& cache, size_t maxSuggestions, std::string dataFolder = "");

    // "pos,len;" per misspelt word, in text order (UTF-16 code units).
    std::string CheckSpelling(const SpellRequest& request);
    // "correct" or "incorrect".
    std::string CheckIsCorrect(const SpellRequest& request);
    // Suggestions for the text taken as one word, separated by LF.
    std::string Suggestions(const SpellRequest& request);
    // "word:s1,s2" lines separated by CR LF ("word:no_any_suggestions" when none).
    std::string AllSuggestions(const SpellRequest& request);
    // "word:s1<LF>s2;" entries, a backslash, then the correct words separated by ",".
    std::string CheckAndSuggestions(const SpellRequest& request);

    // Builds the suggestion index of every language now, and logs their memory and time.
    void PrepareSuggestions();
    // The same on a thread of its own, so that the server serves while it runs (a language's
    // suggestions are ranked without its index until that is ready). The destructor stops it.
    void PrepareSuggestionsInBackground();
    ~SpellService();

    // Ranked suggestions for one word through the cache (benchmarks, tests).
    std::vector<std::string> SuggestWord(const std::string& language, const std::string& word);

  private:
    // The misspelt words view into the request's text.
    struct Verdict {
        std::vector<WordRef> misspelt;     // reported misspellings, text order
        std::vector<std::string> correct;  // distinct other words, first occurrence order
    };
    SpellerPool& PoolFor(const std::string& language) const;
    LanguageSuggester& SuggesterFor(SpellerPool& pool);
    Verdict Check(const SpellRequest& request, bool wantCorrect);
    std::vector<std::string> SuggestWith(SpellerPool& pool, const std::string& word);
    // Suggestions without the characters that the answer format uses as separators.
    std::vector<std::string> CleanSuggestions(SpellerPool& pool, const std::string& word,
                                              std::string_view forbidden);

    const LanguageRegistry& languages_;
    DictionaryStore& dictionaries_;
    SuggestionCache& cache_;
    const size_t maxSuggestions_;
    SuggesterRegistry suggesters_;
    std::atomic<bool> stopping_{false};  // the destructor asks the preparing thread to stop
    std::thread preparing_;
};
