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
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
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
    // program's folder. `indexFolder`: where suggestion indexes are stored; empty: nowhere.
    SpellService(const LanguageRegistry& languages, DictionaryStore& dictionaries,
                 SuggestionCache& cache, size_t maxSuggestions, std::string dataFolder = "",
                 std::string indexFolder = "");

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

    // Makes the suggestion index of every language now (mapped from its stored file, else
    // built), and logs their memory and time. Without it a language's index is made on its
    // first suggestion request: mapped then, else built on a thread of lower priority while its
    // suggestions are ranked without it (and not cached). The destructor stops that thread.
    void PrepareSuggestions();
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
    // Has `pool`'s index built on the preparing thread.
    void QueueIndex(SpellerPool& pool);
    void PrepareQueued();
    Verdict Check(const SpellRequest& request, bool wantCorrect);
    std::vector<std::string> SuggestWith(SpellerPool& pool, const std::string& word);
    // The library's list of `pool`'s own handles.
    std::vector<std::string> SuggestFrom(SpellerPool& pool, std::string_view typed);
    // The list of `source`, less the words `pool`'s dictionary rejects; `pool`'s own list when
    // none is left or `source` fails.
    std::vector<std::string> SuggestFrom(SpellerPool& source, SpellerPool& pool,
                                         std::string_view typed);
    // Suggestions without the characters that the answer format uses as separators.
    std::vector<std::string> CleanSuggestions(SpellerPool& pool, const std::string& word,
                                              std::string_view forbidden);

    const LanguageRegistry& languages_;
    DictionaryStore& dictionaries_;
    SuggestionCache& cache_;
    const size_t maxSuggestions_;
    SuggesterRegistry suggesters_;
    std::atomic<bool> stopping_{false};  // the destructor asks the preparing thread to stop
    std::mutex queueMutex_;
    std::condition_variable queued_;
    std::deque<SpellerPool*> queue_;
    std::thread preparing_;
};
