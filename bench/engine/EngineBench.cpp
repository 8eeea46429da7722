// The engine server against direct calls of the Aspell and Hunspell libraries, in one run on
// the same word lists (en_US):
//   - check throughput in words/s on a 1 KB text: direct calls word by word, versus
//     check_spelling4 requests through the server (one client; and four clients at once);
//   - suggestion latency (median, p95) for every misspelling of the list: direct versus
//     get_suggestions4 through the server with its cache disabled, then with the cache warm;
//   - top-1/top-5 accuracy of the suggestions on that list;
//   - the exchange alone (a request without words): the best ratio the protocol leaves.
// Direct and server measurements alternate (slices of the check time, word by word for the
// suggestions), so that both see the same load on a shared machine.
// Usage: engine_bench [--words N] [--seconds S] [--workers N] [MISSPELLINGS_FILE]
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "BenchServer.h"
#include "MisspellingPairs.h"
#include "core/ServerConfig.h"
#include "dict/SqliteDictionaryStore.h"
#include "spell/AspellBackend.h"
#include "spell/HunspellBackend.h"
#include "spell/LanguageRegistry.h"
#include "spell/SpellRequest.h"
#include "spell/SpellService.h"
#include "spell/SuggestionCache.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr size_t kTextBytes = 1024;
constexpr size_t kMisspeltEvery = 10;  // one word in ten of the text is misspelt
constexpr size_t kMaxSuggestions = 10;
constexpr int kConcurrentClients = 4;
int g_workers = kConcurrentClients;  // server workers (--workers)

using Pair = MisspellingPair;

// About 1 KB of words: correct words of the list with every tenth one misspelt.
std::vector<std::string> TextWords(const std::vector<Pair>& pairs) {
    std::vector<std::string> words;
    size_t bytes = 0;
    for (size_t i = 0; bytes < kTextBytes && i < pairs.size(); ++i) {
        const std::string& w = i % kMisspeltEvery == 0 ? pairs[i].wrong : pairs[i].correct;
        if (w.find(' ') != std::string::npos) continue;
        words.push_back(w);
        bytes += w.size() + 1;
    }
    return words;
}

std::string Joined(const std::vector<std::string>& words) {
    std::string text;
    for (const auto& w : words) text += (text.empty() ? "" : " ") + w;
    return text;
}

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

struct Latencies {
    std::vector<double> ms;
    size_t top1 = 0, top5 = 0;
    double Median() { return Percentile(0.5); }
    double Percentile(double p) {
        if (ms.empty()) return 0;
        std::sort(ms.begin(), ms.end());
        return ms[std::min(ms.size() - 1, static_cast<size_t>(p * static_cast<double>(ms.size())))];
    }
};

void Score(Latencies& l, const std::vector<std::string>& list, const std::string& correct) {
    if (!list.empty() && list[0] == correct) ++l.top1;
    for (size_t i = 0; i < list.size() && i < 5; ++i)
        if (list[i] == correct) {
            ++l.top5;
            break;
        }
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> out;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        out.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return out;
}

constexpr int kRounds = 10;

// Runs `a` and `b` in alternating slices for `seconds` in all, so that both see the same load
// on a shared machine; returns runs per second of each.
std::pair<double, double> Rates(double seconds, const std::function<void()>& a,
                                const std::function<void()>& b) {
    size_t runs[2] = {0, 0};
    double spent[2] = {0, 0};
    const double slice = seconds / (2 * kRounds);
    for (int round = 0; round < kRounds; ++round) {
        for (int which = 0; which < 2; ++which) {
            const auto& once = which == 0 ? a : b;
            const auto start = Clock::now();
            do {
                once();
                ++runs[which];
            } while (Seconds(Clock::now() - start) < slice);
            spent[which] += Seconds(Clock::now() - start);
        }
    }
    return {static_cast<double>(runs[0]) / spent[0], static_cast<double>(runs[1]) / spent[1]};
}

double ConcurrentRate(double seconds, int clients, const std::function<void()>& once) {
    std::atomic<size_t> runs{0};
    const auto start = Clock::now();
    std::vector<std::thread> threads;
    for (int c = 0; c < clients; ++c)
        threads.emplace_back([&] {
            while (Seconds(Clock::now() - start) < seconds) {
                once();
                ++runs;
            }
        });
    for (auto& t : threads) t.join();
    return static_cast<double>(runs.load()) / Seconds(Clock::now() - start);
}

std::vector<std::string> SpellParams(const std::string& text) {
    return {"en_US", "", "00001", text, "", ""};
}

void RunBackend(const std::string& backend, std::unique_ptr<ISpeller> direct,
                const std::vector<Pair>& pairs, const std::vector<std::string>& words,
                double seconds, const std::string& dbPath) {
    const std::string text = Joined(words);
    std::printf("\n== %s (en_US), %zu-byte text of %zu words, %zu misspellings ==\n",
                backend.c_str(), text.size(), words.size(), pairs.size());

    const std::vector<std::string> common = {"--languages",
                                             "en_US",
                                             "--backend",
                                             "en_US=" + backend,
                                             "--workers",
                                             std::to_string(g_workers),
                                             "--spellers-per-language",
                                             std::to_string(kConcurrentClients)};
    std::vector<std::string> cold = common;
    cold.insert(cold.end(), {"--cache-entries", "0"});
    BenchServer server(dbPath, cold);
    const std::vector<std::string> checkParams = {"en_US", "", "00001", text, "", "", ""};
    const std::string misspelt = server.Call("check_spelling4", checkParams);
    const auto [directRuns, serverRuns] = Rates(
        seconds,
        [&] {
            for (const auto& w : words) direct->Check(w);
        },
        [&] { server.Call("check_spelling4", checkParams); });
    const double wordsPerText = static_cast<double>(words.size());
    const double directChecks = directRuns * wordsPerText;
    const double serverChecks = serverRuns * wordsPerText;
    // The same work without the network: where the server's time goes.
    ServerConfig config;
    config.languages = {"en_US"};
    config.backends["en_US"] = backend;
    LanguageRegistry languages(config);
    SqliteDictionaryStore dictionaries(dbPath + ".inproc");
    SuggestionCache noCache(0);
    SpellService service(languages, dictionaries, noCache, kMaxSuggestions);
    const SpellRequest request = SpellRequest::Parse(checkParams);
    const auto [directAgain, serviceRuns] = Rates(
        seconds / 2,
        [&] {
            for (const auto& w : words) direct->Check(w);
        },
        [&] { service.CheckSpelling(request); });
    const double serviceChecks = serviceRuns * wordsPerText;
    const double directChecksAgain = directAgain * wordsPerText;

    const double serverChecksConcurrent =
        ConcurrentRate(seconds / 2, kConcurrentClients,
                       [&] { server.Call("check_spelling4", checkParams); }) *
        wordsPerText;

    // The same exchange without words to check: what connection, request and answer cost alone.
    const std::vector<std::string> noText = {"en_US", "", "00001", "", "", "", ""};
    const double exchangesConcurrent = ConcurrentRate(
        seconds / 2, kConcurrentClients, [&] { server.Call("check_spelling4", noText); });
    Latencies exchange;
    for (size_t i = 0; i < pairs.size(); ++i) {
        const auto t0 = Clock::now();
        server.Call("get_suggestions4", SpellParams(""));
        exchange.ms.push_back(Seconds(Clock::now() - t0) * 1000);
    }

    Latencies directSug, serverSug, warmSug;
    // Word by word, the order alternating: the second call of a pair may find the processor's
    // caches warmer or colder.
    for (size_t i = 0; i < pairs.size(); ++i) {
        const Pair& p = pairs[i];
        for (int step = 0; step < 2; ++step) {
            const bool directTurn = (step == 0) == (i % 2 == 0);
            const auto t0 = Clock::now();
            const auto list = directTurn
                                  ? direct->Suggest(p.wrong, kMaxSuggestions)
                                  : Lines(server.Call("get_suggestions4", SpellParams(p.wrong)));
            Latencies& into = directTurn ? directSug : serverSug;
            into.ms.push_back(Seconds(Clock::now() - t0) * 1000);
            Score(into, list, p.correct);
        }
    }
    {
        BenchServer cached(dbPath, common);
        for (const auto& p : pairs) cached.Call("get_suggestions4", SpellParams(p.wrong));
        for (const auto& p : pairs) {
            const auto t0 = Clock::now();
            cached.Call("get_suggestions4", SpellParams(p.wrong));
            warmSug.ms.push_back(Seconds(Clock::now() - t0) * 1000);
        }
    }

    const double n = static_cast<double>(pairs.size());
    std::printf("misspellings found in the text by the server: %zu\n",
                static_cast<size_t>(std::count(misspelt.begin(), misspelt.end(), ';')));
    std::printf("check, direct library calls       %12.0f words/s\n", directChecks);
    std::printf("check, server, 1 client           %12.0f words/s   ratio to direct %.2f\n",
                serverChecks, serverChecks / directChecks);
    std::printf(
        "check, service in-process         %12.0f words/s   ratio to direct %.2f (same run)\n",
        serviceChecks, serviceChecks / directChecksAgain);
    std::printf("check, server, %d clients          %12.0f words/s   ratio to direct %.2f\n",
                kConcurrentClients, serverChecksConcurrent, serverChecksConcurrent / directChecks);
    std::printf(
        "exchange only, %d clients          %12.0f requests/s  at most %.2f of direct for this "
        "text\n",
        kConcurrentClients, exchangesConcurrent, exchangesConcurrent * wordsPerText / directChecks);
    const double dm = directSug.Median(), dp = directSug.Percentile(0.95);
    const double sm = serverSug.Median(), sp = serverSug.Percentile(0.95);
    std::printf("suggest, direct                   median %8.3f ms  p95 %8.3f ms\n", dm, dp);
    std::printf(
        "suggest, server (no cache)        median %8.3f ms  p95 %8.3f ms  ratio to direct %.2f / "
        "%.2f\n",
        sm, sp, sm / dm, sp / dp);
    std::printf(
        "suggest, server (warm cache)      median %8.3f ms  p95 %8.3f ms  ratio to direct %.2f / "
        "%.2f\n",
        warmSug.Median(), warmSug.Percentile(0.95), warmSug.Median() / dm,
        warmSug.Percentile(0.95) / dp);
    std::printf(
        "suggest, exchange only            median %8.3f ms  direct + exchange: ratio %.2f\n",
        exchange.Median(), (dm + exchange.Median()) / dm);
    std::printf("accuracy, direct                  top-1 %5.1f%%  top-5 %5.1f%%\n",
                100.0 * static_cast<double>(directSug.top1) / n,
                100.0 * static_cast<double>(directSug.top5) / n);
    std::printf("accuracy, server                  top-1 %5.1f%%  top-5 %5.1f%%\n",
                100.0 * static_cast<double>(serverSug.top1) / n,
                100.0 * static_cast<double>(serverSug.top5) / n);
}

}  // namespace

int main(int argc, char** argv) {
    std::string file = MISSPELLINGS_FILE;
    size_t limit = 0;
    double seconds = 2.0;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--words" && i + 1 < argc)
            limit = std::strtoul(argv[++i], nullptr, 10);
        else if (arg == "--workers" && i + 1 < argc)
            g_workers = std::atoi(argv[++i]);
        else if (arg == "--seconds" && i + 1 < argc)
            seconds = std::strtod(argv[++i], nullptr);
        else
            file = arg;
    }
    try {
        std::vector<Pair> pairs = MisspellingPairs::LoadMitton(file);
        const std::vector<std::string> words = TextWords(pairs);
        if (limit > 0 && limit < pairs.size()) pairs.resize(limit);
        const std::string dbPath = std::filesystem::temp_directory_path() /
                                   ("engine_bench_" + std::to_string(::getpid()) + ".db");
        RunBackend("aspell", std::make_unique<AspellBackend>("/usr/lib/aspell", "en_US"), pairs,
                   words, seconds, dbPath);
        RunBackend("hunspell",
                   std::make_unique<HunspellBackend>("/usr/share/hunspell/en_US.aff",
                                                     "/usr/share/hunspell/en_US.dic"),
                   pairs, words, seconds, dbPath);
        for (const char* suffix : {"", "-wal", "-shm", ".inproc", ".inproc-wal", ".inproc-shm"})
            std::filesystem::remove(dbPath + suffix);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "engine_bench: %s\n", e.what());
        return 1;
    }
    return 0;
}
