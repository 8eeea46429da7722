// Suggestion quality and speed: the engine's ranked suggestions against the Aspell and Hunspell
// libraries' own lists, in one run on the same pairs (en_US). For each list of misspellings it
// prints top-1 / top-5 (the correct word first / among the first five) and the median and p95
// processor time per word (of this thread, so that other processes' load does not count) of: Aspell
// alone, Hunspell alone, and the engine (in-process, no cache) on each of the two back ends. Calls
// alternate word by word so that all see the same machine load. Pairs whose misspelling the back
// end accepts, or whose correct word it rejects, are left out. Usage: suggest_bench [--misses]
// [--words N] [--mitton FILE] [--codespell FILE] [--data DIR]
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "MisspellingPairs.h"
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
    size_t top1 = 0, top5 = 0;
    std::vector<std::string> misses;  // "wrong -> first suggestion (correct)" for --misses

    void Run(const MisspellingPair& p) {
        const double t0 = ThreadCpuMs();
        const std::vector<std::string> list = suggest(p.wrong);
        ms.push_back(ThreadCpuMs() - t0);
        if (!list.empty() && list[0] == p.correct)
            ++top1;
        else
            misses.push_back(p.wrong + " -> " + (list.empty() ? "" : list[0]) + " (" + p.correct +
                             ")");
        const auto end = list.begin() + static_cast<long>(std::min<size_t>(5, list.size()));
        if (std::find(list.begin(), end, p.correct) != end) ++top5;
    }
    double Percentile(double q) {
        if (ms.empty()) return 0;
        std::sort(ms.begin(), ms.end());
        return ms[std::min(ms.size() - 1, static_cast<size_t>(q * static_cast<double>(ms.size())))];
    }
};

struct Engine {
    Engine(const std::string& backend, const std::string& dbPath, const std::string& dataDir)
        : languages(Config(backend)),
          dictionaries(dbPath),
          cache(0),
          service(languages, dictionaries, cache, kMaxSuggestions, dataDir) {
        service.PrepareSuggestions();
    }
    static ServerConfig Config(const std::string& backend) {
        ServerConfig config;
        config.languages = {"en_US"};
        config.backends["en_US"] = backend;
        return config;
    }
    LanguageRegistry languages;
    SqliteDictionaryStore dictionaries;
    SuggestionCache cache;
    SpellService service;
};

bool g_misses = false;

void Report(const std::string& title, std::vector<MisspellingPair> pairs, const std::string& dbPath,
            const std::string& dataDir) {
    AspellBackend aspell("/usr/lib/aspell", "en_US");
    HunspellBackend hunspell("/usr/share/hunspell/en_US.aff", "/usr/share/hunspell/en_US.dic");
    pairs.erase(std::remove_if(pairs.begin(), pairs.end(),
                               [&](const MisspellingPair& p) {
                                   return aspell.Check(p.wrong) || !aspell.Check(p.correct) ||
                                          hunspell.Check(p.wrong) || !hunspell.Check(p.correct);
                               }),
                pairs.end());
    Engine onAspell("aspell", dbPath + ".a", dataDir);
    Engine onHunspell("hunspell", dbPath + ".h", dataDir);
    // The engine's index and ranking without the library (what the index finds alone).
    LanguageSuggester indexOnly(
        "en_US", std::make_shared<const WordTiers>(WordTiers::Load(dataDir + "/word-tiers-en.txt")),
        [&](const WordTiers& tiers) {
            std::vector<std::string> words;
            for (std::string& w : tiers.Words())
                if (aspell.Check(w)) words.push_back(std::move(w));
            return words;
        });
    indexOnly.Prepare();
    std::vector<Tally> tallies = {
        {"Aspell library",
         [&](const std::string& w) { return aspell.Suggest(w, kMaxSuggestions); }},
        {"Hunspell library",
         [&](const std::string& w) { return hunspell.Suggest(w, kMaxSuggestions); }},
        {"engine on Aspell",
         [&](const std::string& w) { return onAspell.service.SuggestWord("en_US", w); }},
        {"engine on Hunspell",
         [&](const std::string& w) { return onHunspell.service.SuggestWord("en_US", w); }},
        {"engine index alone",
         [&](const std::string& w) {
             return indexOnly.Suggest(w, kMaxSuggestions,
                                      [](std::string_view) { return std::vector<std::string>(); });
         }},
    };
    for (size_t i = 0; i < pairs.size(); ++i)
        for (size_t k = 0; k < tallies.size(); ++k) tallies[(i + k) % tallies.size()].Run(pairs[i]);

    const double n = static_cast<double>(pairs.size());
    std::printf("\n== %s: %zu pairs ==\n", title.c_str(), pairs.size());
    const double aspellMedian = tallies[0].Percentile(0.5);
    for (Tally& t : tallies)
        std::printf(
            "%-20s top-1 %5.1f%%  top-5 %5.1f%%  median %7.3f ms  p95 %7.3f ms  "
            "median ratio to Aspell %.2f\n",
            t.name.c_str(), 100.0 * static_cast<double>(t.top1) / n,
            100.0 * static_cast<double>(t.top5) / n, t.Percentile(0.5), t.Percentile(0.95),
            t.Percentile(0.5) / aspellMedian);
    for (const Tally& t : tallies)
        for (size_t i = 0; g_misses && i < t.misses.size(); ++i)
            std::printf("  %s missed: %s\n", t.name.c_str(), t.misses[i].c_str());
}

}  // namespace

int main(int argc, char** argv) {
    std::string mitton = MISSPELLINGS_FILE;
    std::string codespell = CODESPELL_FILE;
    std::string dataDir = APPSERVER_DATA_DIR;
    size_t limit = 1000;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--misses") {
            g_misses = true;
            continue;
        }
        if (i + 1 == argc) break;
        ++i;
        if (arg == "--words") limit = std::strtoul(argv[i], nullptr, 10);
        if (arg == "--mitton") mitton = argv[i];
        if (arg == "--codespell") codespell = argv[i];
        if (arg == "--data") dataDir = argv[i];
    }
    const std::string dbPath = std::filesystem::temp_directory_path() /
                               ("suggest_bench_" + std::to_string(::getpid()) + ".db");
    try {
        Report("Wikipedia misspellings (" + mitton + ")",
               MisspellingPairs::Spread(MisspellingPairs::LoadMitton(mitton), limit), dbPath,
               dataDir);
        if (std::filesystem::exists(codespell))
            Report("codespell (" + codespell + ")",
                   MisspellingPairs::Spread(MisspellingPairs::LoadCodespell(codespell), limit),
                   dbPath, dataDir);
        else
            std::printf("codespell: skipped, %s is missing (apt-get install codespell)\n",
                        codespell.c_str());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "suggest_bench: %s\n", e.what());
        return 1;
    }
    for (const char* s : {".a", ".a-wal", ".a-shm", ".h", ".h-wal", ".h-shm"})
        std::filesystem::remove(dbPath + s);
    return 0;
}
