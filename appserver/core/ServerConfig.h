#pragma once
// The engine server's settings: defaults, then the config file, then the command line.
//
// Config file: one "key = value" per line, "#" starts a comment line, blank lines are ignored.
// Every key is also a command-line flag "--key value" (or "--key=value"); "_" and "-" in keys
// are the same. Keys: listen, db, aspell-dir, hunspell-dir, mythes-dir, thesaurus, languages,
// backend (LANG=aspell|hunspell, repeatable), workers, spellers-per-language, read-timeout-ms,
// request-deadline-ms, cache-entries, max-suggestions, preload (true/false), config (command
// line only), header-timeout-ms, max-inflight-mb, call-deadline-ms, suggest-budget-ms,
// max-dictionary-store-mb, metrics-listen, metrics-allow, index-dir. Load throws ConfigError
// with a message fit for the user.
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "utils/metrics/PeerAllowList.h"

class ConfigError : public std::runtime_error {
  public:
    explicit ConfigError(const std::string& message) : std::runtime_error(message) {}
};

struct ServerConfig {
    std::string listenHost = "127.0.0.1";
    int listenPort = 2880;
    std::string dbPath = "appserver.db";  // an SQLite file or a postgresql:// URI
    std::string aspellDir = "/usr/lib/aspell";
    std::string hunspellDir = "/usr/share/hunspell";
    std::string mythesDir = "/usr/share/mythes";
    std::string thesaurus = "en_US";              // language of the MyThes data to load
    std::vector<std::string> languages;           // empty: every installed dictionary
    std::map<std::string, std::string> backends;  // language -> "aspell" or "hunspell"
    int workers = 8;
    int spellersPerLanguage = 2;
    int readTimeoutMs = 10000;       // longest silence of a client while it sends its request
    int requestDeadlineMs = 30000;   // longest time to receive a whole request
    int headerTimeoutMs = 2000;      // longest time to receive a request's header
    int maxInFlightMiB = 180;        // request memory held at once (NetLimits::maxInFlightBytes)
    int callDeadlineMs = 20000;      // longest time to answer a call once read
    int suggestBudgetMs = 1000;      // longest time one call spends on suggestions
    int maxDictionaryStoreMiB = 64;  // words of all personal dictionaries together
    int cacheEntries = 20000;        // suggestion lists kept, all languages together
    int maxSuggestions = 10;
    // Open one speller and build the suggestion index per language before serving (without it
    // the indexes are built beside serving).
    bool preload = false;
    std::string metricsListen;  // HOST:PORT of the metrics page; empty: off
    std::string metricsAllow = PeerAllowList::kLoopback;  // peers that may read it
    // Where suggestion indexes are stored, shared by every engine that names the same folder;
    // empty: "suggestion-index" beside the database file; "none": never stored.
    std::string indexDir;

    // Parses argv (argv[0] is skipped). Returns false when --help was asked for.
    bool Load(int argc, char** argv);
    static std::string Usage();

  private:
    void Apply(const std::string& key, const std::string& value);
    void LoadFile(const std::string& path);
};
