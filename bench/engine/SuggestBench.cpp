// Suggestion quality and speed: the engine's ranked suggestions against the Aspell and Hunspell
// libraries' own lists, in one run on the same pairs (en_US). For each list of misspellings it
// prints top-1 / top-5 (the correct word first / among the first five) and the median and p95
// processor time per word (of this thread, so that other processes' load does not count) of: Aspell
// alone, Hunspell alone, and the engine (in-process, no cache) on each of the two back ends. Calls
// alternate word by word so that all see the same machine load. Pairs whose misspelling the back
// end accepts, or one of whose correct words it rejects, are left out; so are misspellings of
// two words (the service checks one word at a time). A correct answer of two words ("alot" is
// "a lot") counts when a suggestion is the same two words; those pairs are counted in the totals
// and on a line of their own.
//
// Lists: the held-out half of Debian's codespell dictionary (--development: the other half, on
// which the ranking's weights were chosen, and nothing else) and every pair of that half with a
// two-word answer (few in a spread of --words), the Wikipedia list of the shared
// test data, one slip in each common English word, one slip in each German word (TypoMaker).
// --aspell-only leaves Hunspell out (quick runs while tuning). Usage: suggest_bench [--misses]
// [--development] [--aspell-only] [--words N] [--mitton FILE] [--codespell FILE]
// [--german-words FILE] [--data DIR]
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "MisspellingPairs.h"
#include "TypoMaker.h"
#include "core/ServerConfig.h"
#include "dict/SqliteDictionaryStore.h"
#include "spell/AspellBackend.h"
#include "spell/HunspellBackend.h"
#include "spell/LanguageRegistry.h"
#include "spell/SpellService.h"
#include "spell/SuggestionCache.h"
#include "suggest/LanguageSuggester.h"

namespace {

// Processor time of this thread: on a shared machine, wall time mostly measures the others.
double ThreadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}
constexpr size_t kMaxSuggestions = 10;

struct Tally {
    using Suggest = std::function<std::vector<std::string>(const std::string&)>;
    Tally(std::string n, Suggest s) : name(std::move(n)), suggest(std::move(s)) {}
    std::string name;
    Suggest suggest;
    std::vector<double> ms;
    // All pairs, and those whose answer is two words (counted in both).
    struct Score {
        size_t pairs = 0, top1 = 0, top5 = 0;
    } all, split;
    // "wrong -> first suggestion (correct) #place" for --misses; the place of the correct word in
    // the list, 0 when it is not in it.
    std::vector<std::string> misses;

    void Run(const MisspellingPair& p) {
        const double t0 = ThreadCpuMs();
        const std::vector<std::string> list = suggest(p.wrong);
        ms.push_back(ThreadCpuMs() - t0);
        const bool first = !list.empty() && list[0] == p.correct;
        const auto end = list.begin() + static_cast<long>(std::min<size_t>(5, list.size()));
        const bool five = std::find(list.begin(), end, p.correct) != end;
        for (Score* s : {&all, p.Split() ? &split : nullptr})
            if (s) {
                ++s->pairs;
                s->top1 += first;
                s->top5 += five;
            }
        if (!first) {
            const auto at = std::find(list.begin(), list.end(), p.correct);
            const long place = at == list.end() ? 0 : at - list.begin() + 1;
            misses.push_back(p.wrong + " -> " + (list.empty() ? "" : list[0]) + " (" + p.correct +
                             ") #" + std::to_string(place));
        }
    }
    static double Percent(size_t count, const Score& of) {
        return 100.0 * static_cast<double>(count) / static_cast<double>(of.pairs);
    }
    double Mean() const {
        double sum = 0;
        for (const double m : ms) sum += m;
        return ms.empty() ? 0 : sum / static_cast<double>(ms.size());
    }
    double Percentile(double q) {
        if (ms.empty()) return 0;
        std::sort(ms.begin(), ms.end());
        return ms[std::min(ms.size() - 1, static_cast<size_t>(q * static_cast<double>(ms.size())))];
    }
};

// One language of the run: the Aspell dictionary name, the Hunspell files' base path and the
// word-tier file's language.
struct Language {
    std::string code;
    std::string hunspellBase;
    std::string tiersBase;
};

struct Engine {
    Engine(const Language& language, const std::string& backend, const std::string& dbPath,
           const std::string& dataDir)
        : languages(Config(language.code, backend)),
          dictionaries(dbPath),
          cache(0),
          service(languages, dictionaries, cache, kMaxSuggestions, dataDir,
                  dataDir + "/../suggestion-index") {
        service.PrepareSuggestions();
    }
    static ServerConfig Config(const std::string& code, const std::string& backend) {
        ServerConfig config;
        config.languages = {code};
        config.backends[code] = backend;
        return config;
    }
    LanguageRegistry languages;
    SqliteDictionaryStore dictionaries;
    SuggestionCache cache;
    SpellService service;
};

bool g_misses = false;
bool g_aspellOnly = false;

void Report(const std::string& title, const Language& language, std::vector<MisspellingPair> pairs,
            const std::string& dbPath, const std::string& dataDir) {
    AspellBackend aspell("/usr/lib/aspell", language.code);
    HunspellBackend hunspell(language.hunspellBase + ".aff", language.hunspellBase + ".dic");
    pairs.erase(std::remove_if(pairs.begin(), pairs.end(),
                               [&](const MisspellingPair& p) {
                                   return p.wrong.find(' ') != std::string::npos ||
                                          aspell.Check(p.wrong) || hunspell.Check(p.wrong) ||
                                          !aspell.CheckEach(p.correct) ||
                                          !hunspell.CheckEach(p.correct);
                               }),
                pairs.end());
    Engine onAspell(language, "aspell", dbPath + ".a", dataDir);
    const std::unique_ptr<Engine> onHunspell =
        g_aspellOnly ? nullptr
                     : std::make_unique<Engine>(language, "hunspell", dbPath + ".h", dataDir);
    // The engine's index and ranking without the library (what the index finds alone).
    LanguageSuggester indexOnly(language.code,
                                std::make_shared<const WordTiers>(WordTiers::Load(
                                    dataDir + "/word-tiers-" + language.tiersBase + ".txt")),
                                [&](const WordTiers& tiers) {
                                    std::vector<std::string> words = aspell.DictionaryWords();
                                    for (std::string& w : tiers.Words(WordTiers::kRarestTier - 1))
                                        if (aspell.Check(w)) words.push_back(std::move(w));
                                    return words;
                                });
    indexOnly.Prepare();
    const std::string& code = language.code;
    std::vector<Tally> tallies = {
        {"Aspell library",
         [&](const std::string& w) { return aspell.Suggest(w, kMaxSuggestions); }},
        {"Hunspell library",
         [&](const std::string& w) { return hunspell.Suggest(w, kMaxSuggestions); }},
        {"engine on Aspell",
         [&](const std::string& w) { return onAspell.service.SuggestWord(code, w); }},
        {"engine on Hunspell",
         [&](const std::string& w) { return onHunspell->service.SuggestWord(code, w); }},
        {"engine index alone",
         [&](const std::string& w) {
             return indexOnly.Suggest(w, kMaxSuggestions,
                                      [](std::string_view) { return std::vector<std::string>(); });
         }},
    };
    const auto skipped = [](size_t k) { return g_aspellOnly && (k == 1 || k == 3); };
    for (size_t i = 0; i < pairs.size(); ++i)
        for (size_t k = 0; k < tallies.size(); ++k)
            if (!skipped((i + k) % tallies.size())) tallies[(i + k) % tallies.size()].Run(pairs[i]);

    const double n = static_cast<double>(pairs.size());
    std::printf("\n== %s: %zu pairs, %zu with a two-word answer ==\n", title.c_str(), pairs.size(),
                tallies[0].split.pairs);
    const double aspellMedian = tallies[0].Percentile(0.5);
    for (size_t k = 0; k < tallies.size(); ++k) {
        if (skipped(k)) continue;
        Tally& t = tallies[k];
        std::printf(
            "%-20s top-1 %5.1f%%  top-5 %5.1f%%  median %7.3f ms  p95 %7.3f ms  mean %7.3f ms  "
            "median ratio to Aspell %.2f\n",
            t.name.c_str(), 100.0 * static_cast<double>(t.all.top1) / n,
            100.0 * static_cast<double>(t.all.top5) / n, t.Percentile(0.5), t.Percentile(0.95),
            t.Mean(), t.Percentile(0.5) / aspellMedian);
    }
    const size_t split = tallies[0].split.pairs;
    for (size_t k = 0; k < tallies.size() && split > 0 && split < pairs.size(); ++k)
        if (!skipped(k))
            std::printf("%-20s two-word answers: top-1 %5.1f%%  top-5 %5.1f%%\n",
                        tallies[k].name.c_str(),
                        Tally::Percent(tallies[k].split.top1, tallies[k].split),
                        Tally::Percent(tallies[k].split.top5, tallies[k].split));
    const double best1 = static_cast<double>(std::max(tallies[0].all.top1, tallies[1].all.top1));
    const double best5 = static_cast<double>(std::max(tallies[0].all.top5, tallies[1].all.top5));
    for (size_t k : {2, 3})
        if (!skipped(k))
            std::printf("%-20s over the better library: top-1 %+5.1f points, top-5 %+5.1f points\n",
                        tallies[k].name.c_str(),
                        100.0 * (static_cast<double>(tallies[k].all.top1) - best1) / n,
                        100.0 * (static_cast<double>(tallies[k].all.top5) - best5) / n);
    if (!g_aspellOnly)
        std::printf("engine on Hunspell / engine on Aspell, median time: %.2f, mean time: %.2f\n",
                    tallies[3].Percentile(0.5) / tallies[2].Percentile(0.5),
                    tallies[3].Mean() / tallies[2].Mean());
    for (const Tally& t : tallies)
        for (size_t i = 0; g_misses && i < t.misses.size(); ++i)
            std::printf("  %s missed: %s\n", t.name.c_str(), t.misses[i].c_str());
}

// Half of the codespell pairs, by a hash of the misspelling: the development half (the one the
// weights were chosen on) or the held-out half.
std::vector<MisspellingPair> Half(const std::vector<MisspellingPair>& pairs, bool development) {
    std::vector<MisspellingPair> out;
    for (const MisspellingPair& p : pairs) {
        uint32_t h = 2166136261u;
        for (const char c : p.wrong) h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
        if (((h >> 7) % 2 == 0) == development) out.push_back(p);
    }
    return out;
}

// The words of a word-tier file up to `maxTier` (lower case, four letters or more), or of a
// plain word list (`maxTier` 0), in file order.
std::vector<std::string> WordsOf(const std::string& path, int maxTier) {
    std::vector<std::string> words;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        const size_t tab = line.find('\t');
        const std::string word = line.substr(0, tab);
        if (word.size() < 4) continue;
        if (maxTier > 0) {
            if (tab == std::string::npos || std::atoi(line.c_str() + tab + 1) > maxTier) continue;
            if (std::any_of(word.begin(), word.end(),
                            [](char c) { return !(c >= 'a' && c <= 'z'); }))
                continue;
        }
        words.push_back(word);
    }
    return words;
}

}  // namespace

int main(int argc, char** argv) {
    std::string mitton = MISSPELLINGS_FILE;
    std::string codespell = CODESPELL_FILE;
    std::string german = GERMAN_WORDS_FILE;
    std::string dataDir = APPSERVER_DATA_DIR;
    size_t limit = 1000;
    bool development = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--misses" || arg == "--development" || arg == "--aspell-only") {
            (arg == "--misses"        ? g_misses
             : arg == "--development" ? development
                                      : g_aspellOnly) = true;
            continue;
        }
        if (i + 1 == argc) break;
        ++i;
        if (arg == "--words") limit = std::strtoul(argv[i], nullptr, 10);
        if (arg == "--mitton") mitton = argv[i];
        if (arg == "--codespell") codespell = argv[i];
        if (arg == "--german-words") german = argv[i];
        if (arg == "--data") dataDir = argv[i];
    }
    const std::string dbPath = std::filesystem::temp_directory_path() /
                               ("suggest_bench_" + std::to_string(::getpid()) + ".db");
    const Language english{"en_US", "/usr/share/hunspell/en_US", "en"};
    const Language deutsch{"de_DE", "/usr/share/hunspell/de_DE", "de"};
    try {
        if (std::filesystem::exists(codespell)) {
            const std::string half = development ? "development" : "held-out";
            const std::vector<MisspellingPair> pairs =
                Half(MisspellingPairs::LoadCodespell(codespell), development);
            Report("codespell, " + half + " half (" + codespell + ")", english,
                   MisspellingPairs::Spread(pairs, limit), dbPath, dataDir);
            std::vector<MisspellingPair> split;
            std::copy_if(pairs.begin(), pairs.end(), std::back_inserter(split),
                         [](const MisspellingPair& p) { return p.Split(); });
            Report("codespell, every two-word answer of the " + half + " half", english, split,
                   dbPath, dataDir);
        } else
            std::printf("codespell: skipped, %s is missing (apt-get install codespell)\n",
                        codespell.c_str());
        if (development) return 0;
        Report("Wikipedia misspellings (" + mitton + ")", english,
               MisspellingPairs::Spread(MisspellingPairs::LoadMitton(mitton), limit), dbPath,
               dataDir);
        Report("one slip in each common English word (scowl tiers 10-50)", english,
               TypoMaker(false).Make(
                   MisspellingPairs::Spread(WordsOf(dataDir + "/word-tiers-en.txt", 50), limit)),
               dbPath, dataDir);
        if (std::filesystem::exists(german) &&
            std::filesystem::exists(deutsch.hunspellBase + ".dic"))
            Report("one slip in each German word (" + german + ")", deutsch,
                   TypoMaker(true).Make(MisspellingPairs::Spread(WordsOf(german, 0), limit)),
                   dbPath, dataDir);
        else
            std::printf("German: skipped, %s or the Hunspell de_DE dictionary is missing\n",
                        german.c_str());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "suggest_bench: %s\n", e.what());
        return 1;
    }
    for (const char* s : {".a", ".a-wal", ".a-shm", ".h", ".h-wal", ".h-shm"})
        std::filesystem::remove(dbPath + s);
    return 0;
}
