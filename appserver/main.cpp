// appserver: the engine server. Serves spelling, suggestions, grammar, thesaurus and personal
// dictionaries to orthd over TCP. Logs to standard error; writes one "ready on HOST:PORT" line
// when it serves; stops cleanly on SIGTERM or SIGINT. Exit codes: 0 stopped, 1 failed to start,
// 2 bad command line or settings.
#include <pthread.h>
#include <signal.h>

#include <cstdio>
#include <memory>
#include <string>

#include "api/OwnedDictionaryFunctions.h"
#include "api/TextMatchService.h"
#include "core/IdleTrimmer.h"
#include "core/Log.h"
#include "core/RequestDispatcher.h"
#include "core/ServerConfig.h"
#include "dict/DictionaryStore.h"
#include "grammar/GrammarChecker.h"
#include "grammar/GrammarService.h"
#include "net/TcpServer.h"
#include "spell/LanguageRegistry.h"
#include "spell/SpellService.h"
#include "spell/SuggestionCache.h"
#include "thes/Thesaurus.h"
#include "utils/HeapSettings.h"

namespace {

std::string Joined(const std::vector<std::string>& items) {
    std::string out;
    for (const auto& item : items) out += (out.empty() ? "" : ", ") + item;
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

int Run(const ServerConfig& config, const sigset_t& stopSignals) {
    LanguageRegistry languages(config);  // first: a settings error leaves no database behind
    DictionaryStore dictionaries(config.dbPath, static_cast<size_t>(config.maxDictionaryStoreMiB)
                                                    << 20);
    Log::Info("languages: " + Joined(languages.Describe()));
    if (config.preload) languages.Preload();
    SuggestionCache cache(static_cast<size_t>(config.cacheEntries));
    SpellService spell(languages, dictionaries, cache, static_cast<size_t>(config.maxSuggestions));
    // The suggestion indexes are built at start, never inside a request: before serving with
    // --preload, else beside it.
    if (config.preload)
        spell.PrepareSuggestions();
    else
        spell.PrepareSuggestionsInBackground();
    GrammarService grammar;
    const std::unique_ptr<Thesaurus> thesaurus = OpenThesaurus(config);
    RequestDispatcher dispatcher(spell, grammar, thesaurus.get(), dictionaries);
    const GrammarChecker grammarChecker;
    const TextMatchService matchService(spell, grammarChecker, languages.Codes());
    dispatcher.Add("check_matches", 5, [&matchService](const RequestDispatcher::Params& p) {
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
    TcpServer server(config.listenHost, config.listenPort, config.workers, limits,
                     [&dispatcher](std::string_view body) { return dispatcher.Answer(body); });
    server.Start();
    const IdleTrimmer trimmer([&server] { return server.served(); });
    const bool v6 = config.listenHost.find(':') != std::string::npos;
    Log::Info("ready on " + (v6 ? "[" + config.listenHost + "]" : config.listenHost) + ":" +
              std::to_string(server.port()) + " (" + std::to_string(config.workers) +
              " workers, database " + config.dbPath + ")");

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
