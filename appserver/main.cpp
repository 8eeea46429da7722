// appserver: the engine server. Serves spelling, suggestions, grammar, thesaurus and personal
// dictionaries to orthd over TCP. Logs to standard error; writes one "ready on HOST:PORT" line
// when it serves; stops cleanly on SIGTERM or SIGINT. Exit codes: 0 stopped, 1 failed to start,
// 2 bad command line or settings. "appserver --copy-dictionaries FROM TO" copies the personal
// dictionaries of one store into another (DictionaryCopy) and exits.
#include <pthread.h>
#include <signal.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <utility>

#include "api/LanguageDetector.h"
#include "api/OwnedDictionaryFunctions.h"
#include "api/TextMatchService.h"
#include "core/EngineMetrics.h"
#include "core/IdleTrimmer.h"
#include "core/Log.h"
#include "core/RequestDispatcher.h"
#include "core/ResidentMemory.h"
#include "core/ServerConfig.h"
#include "dict/DictionaryCopy.h"
#include "dict/DictionaryStore.h"
#include "grammar/GrammarLanguages.h"
#include "grammar/GrammarService.h"
#include "net/TcpServer.h"
#include "spell/LanguageRegistry.h"
#include "spell/SpellService.h"
#include "spell/SuggestionCache.h"
#include "thes/Thesaurus.h"
#include "utils/HeapSettings.h"
#include "utils/metrics/MetricsEndpointThread.h"
#include "utils/metrics/MetricsRegistry.h"

namespace {

std::string Joined(const std::vector<std::string>& items) {
    std::string out;
    for (const auto& item : items) out += (out.empty() ? "" : ", ") + item;
    return out;
}

// Whether `code` is the main variant of `language`: "de_DE" of "de", and "en_US".
bool MainVariant(const std::string& code, const std::string& language) {
    std::string upper = language;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return code == language || code == language + "_" + upper || code == "en_US";
}

// One served variant of each language with grammar rules, the main variant where served, for
// telling a grammar text's language: few candidates keep that cheap.
std::vector<std::string> GrammarCandidates(const GrammarLanguages& grammar,
                                           const std::vector<std::string>& served) {
    std::vector<std::string> out;
    for (const std::string& language : grammar.Languages()) {
        std::string pick;
        for (const std::string& code : served)
            if (grammar.For(code) == grammar.For(language) &&
                (pick.empty() || MainVariant(code, language)))
                pick = code;
        if (!pick.empty()) out.push_back(pick);
    }
    return out;
}

std::unique_ptr<Thesaurus> OpenThesaurus(const ServerConfig& config) {
    try {
        auto thesaurus = std::make_unique<Thesaurus>(config.mythesDir, config.thesaurus);
        Log::Info("thesaurus: " + thesaurus->dataFile());
        return thesaurus;
    } catch (const std::exception& e) {
        Log::Warning(std::string("thesaurus functions disabled: ") + e.what());
        return nullptr;
    }
}

// What the network front and the suggestion cache count, read when the page is rendered.
void AddServerMetrics(MetricsRegistry& metrics, const TcpServer& server,
                      const SuggestionCache& cache) {
    using Type = MetricsRegistry::Type;
    metrics.AddSampled("appserver_busy_refusals_total",
                       "Requests refused because the server was busy.", Type::Counter,
                       [&server] { return static_cast<double>(server.refusedBusy()); });
    metrics.AddSampled("appserver_open_connections", "Client connections open now.", Type::Gauge,
                       [&server] { return static_cast<double>(server.openConnections()); });
    metrics.AddSampled("appserver_suggestion_cache_hits_total",
                       "Suggestion lists found in the cache.", Type::Counter,
                       [&cache] { return static_cast<double>(cache.hits()); });
    metrics.AddSampled("appserver_suggestion_cache_misses_total",
                       "Suggestion lists looked for in the cache and not found.", Type::Counter,
                       [&cache] { return static_cast<double>(cache.misses()); });
}

// The operator's metrics page, when an address is configured.
std::unique_ptr<MetricsEndpointThread> StartMetrics(const ServerConfig& config,
                                                    const MetricsRegistry& metrics) {
    if (config.metricsListen.empty()) return nullptr;
    auto endpoint = std::make_unique<MetricsEndpointThread>(
        config.metricsListen, *PeerAllowList::Parse(config.metricsAllow),
        [&metrics] { return metrics.Render(); });
    Log::Info("metrics on " + config.metricsListen + " (port " + std::to_string(endpoint->port()) +
              ", readers " + config.metricsAllow + ")");
    return endpoint;
}

// A database URI may hold a password: only its scheme is logged.
std::string DatabaseShown(const std::string& location) {
    return DictionaryStore::IsDatabaseUri(location) ? "postgresql" : location;
}

// Where the suggestion indexes are stored (empty: nowhere): the configured folder, else
// "suggestion-index" beside the database file.
std::string IndexFolder(const ServerConfig& config) {
    static constexpr std::string_view kFolderName = "suggestion-index";
    if (config.indexDir == "none") return {};
    if (!config.indexDir.empty()) return config.indexDir;
    const size_t slash = config.dbPath.rfind('/');
    if (DictionaryStore::IsDatabaseUri(config.dbPath) || slash == std::string::npos)
        return std::string(kFolderName);
    return config.dbPath.substr(0, slash + 1) + std::string(kFolderName);
}

int CopyDictionaries(const char* from, const char* to) {
    try {
        const auto source = DictionaryStore::Open(from);
        const auto target = DictionaryStore::Open(to);
        const DictionaryCopy::Counts counts = DictionaryCopy::Run(*source, *target);
        Log::Info("copied " + std::to_string(counts.copied) + " dictionaries, refused " +
                  std::to_string(counts.refused));
        return counts.refused == 0 ? 0 : 1;
    } catch (const std::exception& e) {
        Log::Error(std::string("copy failed: ") + e.what());
        return 1;
    }
}

int Run(const ServerConfig& config, const sigset_t& stopSignals) {
    LanguageRegistry languages(config);  // first: a settings error leaves no database behind
    const std::unique_ptr<DictionaryStore> store = DictionaryStore::Open(
        config.dbPath, static_cast<size_t>(config.maxDictionaryStoreMiB) << 20);
    DictionaryStore& dictionaries = *store;
    Log::Info("languages: " + Joined(languages.Describe()));
    if (config.preload) languages.Preload();
    SuggestionCache cache(static_cast<size_t>(config.cacheEntries));
    const std::string indexFolder = IndexFolder(config);
    Log::Info("suggestion indexes in " + (indexFolder.empty() ? "memory only" : indexFolder));
    SpellService spell(languages, dictionaries, cache, static_cast<size_t>(config.maxSuggestions),
                       "", indexFolder);
    // A language's suggestion index is made on its first suggestion request, beside serving;
    // with --preload every language's before serving.
    if (config.preload) spell.PrepareSuggestions();
    const GrammarLanguages grammarLanguages;
    Log::Info("grammar languages: " + Joined(grammarLanguages.Languages()));
    const std::vector<std::string> grammarCandidates =
        GrammarCandidates(grammarLanguages, languages.Codes());
    const LanguageDetector grammarDetector(spell, grammarCandidates);
    GrammarService grammar(grammarLanguages, [&](std::string_view text) {
        if (grammarCandidates.size() > 1) return grammarDetector.Detect(text, {}).code;
        return grammarCandidates.empty() ? std::string() : grammarCandidates.front();
    });
    const std::unique_ptr<Thesaurus> thesaurus = OpenThesaurus(config);
    RequestDispatcher dispatcher(spell, grammar, thesaurus.get(), dictionaries);
    const TextMatchService matchService(spell, grammarLanguages, languages.Codes());
    for (const auto& [name, count] : {std::pair{"check_matches", 5}, {"check_selected_matches", 6}})
        dispatcher.Add(name, count, [&matchService](const RequestDispatcher::Params& p) {
            return std::vector<std::string>{matchService.CheckMatches(p)};
        });
    OwnedDictionaryFunctions::Register(dispatcher, dictionaries);
    dispatcher.Add("list_languages", 0, [&matchService](const RequestDispatcher::Params&) {
        return std::vector<std::string>{matchService.Languages()};
    });

    NetLimits limits;
    limits.readTimeoutMs = config.readTimeoutMs;
    limits.requestDeadlineMs = config.requestDeadlineMs;
    limits.headerTimeoutMs = config.headerTimeoutMs;
    limits.maxInFlightBytes = static_cast<size_t>(config.maxInFlightMiB) << 20;
    limits.callDeadlineMs = config.callDeadlineMs;
    limits.suggestBudgetMs = config.suggestBudgetMs;
    MetricsRegistry metrics;
    const EngineMetrics engineMetrics(metrics, dispatcher.Functions());
    TcpServer server(config.listenHost, config.listenPort, config.workers, limits,
                     [&dispatcher, &engineMetrics](std::string_view body) {
                         return engineMetrics.Measure(body, [&dispatcher](std::string_view b) {
                             return dispatcher.Answer(b);
                         });
                     });
    AddServerMetrics(metrics, server, cache);
    const std::unique_ptr<MetricsEndpointThread> metricsPage = StartMetrics(config, metrics);
    server.Start();
    const IdleTrimmer trimmer([&server] { return server.served(); });
    const bool v6 = config.listenHost.find(':') != std::string::npos;
    Log::Info("memory at start: resident " + std::to_string(ResidentMemory::MiB()) + " MiB");
    Log::Info("ready on " + (v6 ? "[" + config.listenHost + "]" : config.listenHost) + ":" +
              std::to_string(server.port()) + " (" + std::to_string(config.workers) +
              " workers, database " + DatabaseShown(config.dbPath) + ")");

    int signal = 0;
    sigwait(&stopSignals, &signal);
    Log::Info("stopping on signal " + std::to_string(signal));
    server.Stop();
    Log::Info("stopped after " + std::to_string(server.served()) + " requests");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    // Every thread inherits this mask, so the stop signals reach only sigwait in Run.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    ::signal(SIGPIPE, SIG_IGN);
    HeapSettings::KeepForRequests();

    if (argc == 4 && std::strcmp(argv[1], "--copy-dictionaries") == 0)
        return CopyDictionaries(argv[2], argv[3]);
    ServerConfig config;
    try {
        if (!config.Load(argc, argv)) {
            std::fputs(ServerConfig::Usage().c_str(), stdout);
            return 0;
        }
    } catch (const ConfigError& e) {
        std::fprintf(stderr, "appserver: %s\n%s", e.what(), ServerConfig::Usage().c_str());
        return 2;
    }
    try {
        return Run(config, stopSignals);
    } catch (const ConfigError& e) {
        Log::Error(e.what());
        return 2;
    } catch (const std::exception& e) {
        Log::Error(std::string("cannot start: ") + e.what());
        return 1;
    }
}
