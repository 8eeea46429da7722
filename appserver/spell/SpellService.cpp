#include "spell/SpellService.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <memory>
#include <unordered_map>
#include <unordered_set>

#include "core/EngineError.h"
#include "core/Log.h"
#include "core/ResidentMemory.h"
#include "dict/DictionaryStore.h"
#include "spell/LanguageRegistry.h"
#include "spell/SpellerPool.h"
#include "spell/SuggestionBudget.h"
#include "spell/SuggestionCache.h"
#include "spell/WordShape.h"
#include "spell/WordTokenizer.h"

namespace {

// Longer words get no suggestions: the back ends' search time grows with the length.
constexpr size_t kMaxSuggestWordBytes = 100;
// Distinct misspelt words of one call that get suggestions (within the call's time for them,
// SuggestionBudget); the rest are listed without, so that a hostile text cannot hold a worker
// for minutes (Hunspell needs tens to hundreds of ms per word).
constexpr size_t kMaxSuggestedWords = 256;
constexpr std::string_view kTypographicApostrophe = "\xE2\x80\x99";
constexpr std::string_view kNoSuggestions = "no_any_suggestions";
// Words checked under one speller lease while the suggestion index is made.
constexpr size_t kWordsPerLease = 4096;
// The nice value of the thread that makes the indexes beside serving.
constexpr int kPreparingNice = 19;

std::string PlainApostrophes(std::string word) {
    for (size_t at = word.find(kTypographicApostrophe); at != std::string::npos;
         at = word.find(kTypographicApostrophe, at + 1))
        word.replace(at, kTypographicApostrophe.size(), "'");
    return word;
}

bool CheckWord(ISpeller& speller, std::string_view word) {
    if (word.find(kTypographicApostrophe) == std::string_view::npos) return speller.Check(word);
    return speller.Check(PlainApostrophes(std::string(word)));
}

std::string Join(const std::vector<std::string>& items, std::string_view separator) {
    std::string out;
    for (size_t i = 0; i < items.size(); ++i) {
        if (i > 0) out += separator;
        out += items[i];
    }
    return out;
}

std::string Trim(const std::string& s) {
    const size_t b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return std::string();
    return s.substr(b, s.find_last_not_of(" \t\r\n") - b + 1);
}

std::vector<std::string> DistinctWords(const std::vector<WordRef>& words) {
    std::vector<std::string> out;
    std::unordered_set<std::string_view> seen;
    for (const WordRef& w : words)
        if (seen.insert(w.utf8).second) out.emplace_back(w.utf8);
    return out;
}

// Whether the request's options leave the word alone.
bool Skipped(const WordRef& word, const WordShape& shape, const SpellOptions& o) {
    return (o.ignoreCapitals && shape.allCapitals()) || (o.ignoreWithDigits && shape.hasDigit()) ||
           (o.ignoreMixedCase && shape.mixedCase()) || (o.ignoreLinks && word.inLink);
}

bool Ignored(const SpellRequest& request, const WordRef& word) {
    return !request.ignoredWords.empty() && request.ignoredWords.count(std::string(word.utf8)) > 0;
}

// The accepted words of one request: the plain entries and the personal dictionaries.
class AcceptedWords {
  public:
    AcceptedWords(const SpellRequest& request, DictionaryStore& store)
        : plain_(request.acceptedWords.begin(), request.acceptedWords.end()) {
        for (const std::string& name : request.personalDictionaries)
            personal_.push_back(store.Words(name));
    }
    bool empty() const { return plain_.empty() && personal_.empty(); }
    bool Accepts(std::string_view utf8, const WordShape& shape) const {
        if (empty()) return false;
        const std::string word(utf8);
        if (Has(word)) return true;
        if (shape.titleCase() && Has(WordShape::LowerFirst(word))) return true;
        return shape.allCapitals() && Has(WordShape::Lower(word));
    }

  private:
    bool Has(const std::string& word) const {
        if (plain_.count(word)) return true;
        return std::any_of(personal_.begin(), personal_.end(),
                           [&](const auto& set) { return set->count(word) > 0; });
    }
    std::unordered_set<std::string> plain_;
    std::vector<std::shared_ptr<const DictionaryStore::WordSet>> personal_;
};

}  // namespace

SpellService::SpellService(const LanguageRegistry& languages, DictionaryStore& dictionaries,
                           SuggestionCache& cache, size_t maxSuggestions, std::string dataFolder,
                           std::string indexFolder)
    : languages_(languages),
      dictionaries_(dictionaries),
      cache_(cache),
      maxSuggestions_(maxSuggestions),
      suggesters_(std::move(dataFolder), std::move(indexFolder)) {}

SpellService::~SpellService() {
    {
        std::lock_guard<std::mutex> lock(queueMutex_);
        stopping_ = true;
    }
    queued_.notify_all();
    if (preparing_.joinable()) preparing_.join();
}

LanguageSuggester& SpellService::SuggesterFor(SpellerPool& pool) {
    return suggesters_.For(
        pool.language(),
        [this, &pool](const WordTiers& tiers) {
            // Words of the rarest tier are not filed, the dictionary's own included: a
            // dictionary that lists or derives many rare words (Hunspell's en_US: 43,000 more
            // than Aspell's of the same size) would fill the index with words hardly anyone
            // means, which every look-up then measures and ranks. A slip in one of them still
            // reaches the library when the index has nothing close.
            std::vector<std::string> words = pool.Acquire()->DictionaryWords();
            std::erase_if(words, [&](const std::string& w) {
                return tiers.TierOf(w, w) >= WordTiers::kRarestTier;
            });
            std::vector<std::string> candidates = tiers.Words(WordTiers::kRarestTier - 1);
            // A handle is leased for a slice of the words at a time, so that requests arriving
            // meanwhile are not kept waiting for one.
            for (size_t at = 0; at < candidates.size() && !stopping_; at += kWordsPerLease) {
                SpellerPool::Lease speller = pool.Acquire();
                const size_t end = std::min(candidates.size(), at + kWordsPerLease);
                for (size_t i = at; i < end; ++i)
                    if (speller->Check(candidates[i])) words.push_back(std::move(candidates[i]));
            }
            return words;
        },
        languages_.WordListFiles(pool.language()));
}

void SpellService::PrepareSuggestions() {
    const auto start = std::chrono::steady_clock::now();
    size_t bytes = 0, languages = 0;
    for (SpellerPool* pool : languages_.Pools()) {
        if (stopping_) return;
        LanguageSuggester& suggester = SuggesterFor(*pool);
        suggester.Prepare(&stopping_);
        bytes += suggester.IndexBytes();
        ++languages;
    }
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - start)
                        .count();
    Log::Info("suggestion indexes ready: " + std::to_string(languages) + " languages, " +
              std::to_string(bytes >> 20) + " MiB, " + std::to_string(ms) + " ms; resident " +
              std::to_string(ResidentMemory::MiB()) + " MiB");
}

void SpellService::QueueIndex(SpellerPool& pool) {
    {
        std::lock_guard<std::mutex> lock(queueMutex_);
        if (stopping_) return;
        queue_.push_back(&pool);
        if (!preparing_.joinable()) preparing_ = std::thread([this] { PrepareQueued(); });
    }
    queued_.notify_one();
}

void SpellService::PrepareQueued() {
    // Requests come first: this thread runs at a lower priority (Linux: per thread).
    ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), kPreparingNice);
    for (;;) {
        SpellerPool* pool = nullptr;
        {
            std::unique_lock<std::mutex> lock(queueMutex_);
            queued_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
            if (stopping_) return;
            pool = queue_.front();
            queue_.pop_front();
        }
        SuggesterFor(*pool).Prepare(&stopping_);
        Log::Info("resident " + std::to_string(ResidentMemory::MiB()) + " MiB after the " +
                  pool->language() + " suggestion index");
    }
}

SpellerPool& SpellService::PoolFor(const std::string& language) const {
    SpellerPool* pool = languages_.Find(language);
    if (!pool) throw EngineError("Language is not supported");
    return *pool;
}

SpellService::Verdict SpellService::Check(const SpellRequest& request, bool wantCorrect) {
    SpellerPool& pool = PoolFor(request.language);
    const SpellOptions& o = request.options;
    const std::vector<WordRef> words = WordTokenizer::Words(
        request.text, o.ignoreLinks ? WordTokenizer::Links::kMark : WordTokenizer::Links::kIgnore);
    const AcceptedWords accepted(request, dictionaries_);
    const bool shapeMatters =
        o.ignoreCapitals || o.ignoreWithDigits || o.ignoreMixedCase || !accepted.empty();

    Verdict verdict;
    std::unordered_set<std::string_view> misspeltWords;
    std::vector<WordRef> correct;
    {
        SpellerPool::Lease speller = pool.Acquire();
        // A text repeats most of its words: the speller sees each distinct one once.
        std::unordered_map<std::string_view, bool> known;
        const auto spelt = [&](std::string_view w) {
            const auto [at, added] = known.try_emplace(w, false);
            if (added) at->second = CheckWord(*speller, w);
            return at->second;
        };
        for (const WordRef& word : words) {
            const WordShape shape = shapeMatters ? WordShape(word.utf8) : WordShape();
            const bool ok = Skipped(word, shape, o) || Ignored(request, word) ||
                            accepted.Accepts(word.utf8, shape) || spelt(word.utf8);
            if (!ok && request.ignoredPositions.count(word.pos) == 0) {
                misspeltWords.insert(word.utf8);
                verdict.misspelt.push_back(word);
            } else if (wantCorrect) {
                correct.push_back(word);
            }
        }
    }
    if (wantCorrect)
        for (std::string& w : DistinctWords(correct))
            if (!misspeltWords.count(w)) verdict.correct.push_back(std::move(w));
    return verdict;
}

std::vector<std::string> SpellService::SuggestFrom(SpellerPool& pool, std::string_view typed) {
    SpellerPool::Lease speller = pool.Acquire();
    return speller->Suggest(typed, maxSuggestions_);
}

std::vector<std::string> SpellService::SuggestFrom(SpellerPool& source, SpellerPool& pool,
                                                   std::string_view typed) {
    std::vector<std::string> list;
    try {
        list = SuggestFrom(source, typed);
    } catch (const std::exception& e) {
        // A dictionary that does not open would be tried (and fail) on every word: from now
        // on the language's own list is used.
        if (pool.DropSuggestionSource())
            Log::Warning("suggestions for " + pool.language() + " from " + source.backend() +
                         " failed: " + e.what() + "; its own " + pool.backend() +
                         " list is used from now on");
    }
    SpellerPool::Lease speller = pool.Acquire();
    std::erase_if(list, [&](const std::string& w) { return !speller->CheckEach(w); });
    // Words only the language's own dictionary knows (its compounds, say): its own list.
    return list.empty() ? speller->Suggest(typed, maxSuggestions_) : list;
}

std::vector<std::string> SpellService::SuggestWith(SpellerPool& pool, const std::string& word) {
    if (word.empty() || word.size() > kMaxSuggestWordBytes) return {};
    const std::string query = PlainApostrophes(word);
    if (auto hit = cache_.Find(pool.language(), query)) return std::move(*hit);
    LanguageSuggester& suggester = SuggesterFor(pool);
    if (suggester.Start()) QueueIndex(pool);
    SpellerPool* const source = pool.suggestionSource();
    std::vector<std::string> list = suggester.Suggest(
        query, maxSuggestions_,
        [&](std::string_view typed) {
            return source ? SuggestFrom(*source, pool, typed) : SuggestFrom(pool, typed);
        },
        pool.backend() == "hunspell" && !source ? LanguageSuggester::LibrarySpeed::kSlow
                                                : LanguageSuggester::LibrarySpeed::kFast);
    // A list made without the index would outlive it in the cache.
    if (suggester.ready()) cache_.Store(pool.language(), query, list);
    return list;
}

std::vector<std::string> SpellService::CleanSuggestions(SpellerPool& pool, const std::string& word,
                                                        std::string_view forbidden) {
    std::vector<std::string> list = SuggestWith(pool, word);
    list.erase(std::remove_if(list.begin(), list.end(),
                              [&](const std::string& s) {
                                  return s.empty() ||
                                         s.find_first_of(forbidden) != std::string::npos;
                              }),
               list.end());
    return list;
}

std::vector<std::string> SpellService::SuggestWord(const std::string& language,
                                                   const std::string& word) {
    return SuggestWith(PoolFor(language), word);
}

std::string SpellService::CheckSpelling(const SpellRequest& request) {
    std::string out;
    for (const WordRef& w : Check(request, false).misspelt)
        out += std::to_string(w.pos) + "," + std::to_string(w.len) + ";";
    return out;
}

std::string SpellService::CheckIsCorrect(const SpellRequest& request) {
    return Check(request, false).misspelt.empty() ? "correct" : "incorrect";
}

std::string SpellService::Suggestions(const SpellRequest& request) {
    SpellerPool& pool = PoolFor(request.language);
    const std::string word = Trim(request.text);
    WordTokenizer::ToUtf16(word);  // rejects text that is not UTF-8
    return Join(CleanSuggestions(pool, word, "\r\n"), "\n");
}

std::string SpellService::AllSuggestions(const SpellRequest& request) {
    SpellerPool& pool = PoolFor(request.language);
    std::vector<std::string> lines;
    const auto words = DistinctWords(Check(request, false).misspelt);
    SuggestionBudget budget(kMaxSuggestedWords);
    for (const std::string& word : words) {
        const std::vector<std::string> list =
            budget.Take() ? CleanSuggestions(pool, word, ",:\r\n") : std::vector<std::string>();
        lines.push_back(word + ":" +
                        (list.empty() ? std::string(kNoSuggestions) : Join(list, ",")));
    }
    budget.Report("get_all_suggestions4");
    return Join(lines, "\r\n");
}

std::string SpellService::CheckAndSuggestions(const SpellRequest& request) {
    SpellerPool& pool = PoolFor(request.language);
    const Verdict verdict = Check(request, true);
    std::string out;
    const auto words = DistinctWords(verdict.misspelt);
    SuggestionBudget budget(kMaxSuggestedWords);
    for (const std::string& word : words) {
        const std::vector<std::string> list =
            budget.Take() ? CleanSuggestions(pool, word, ";\\\r\n") : std::vector<std::string>();
        out += word + ":" + (list.empty() ? std::string(kNoSuggestions) : Join(list, "\n")) + ";";
    }
    budget.Report("check_and_suggestions");
    out += "\\";
    out += Join(verdict.correct, ",");
    return out;
}
