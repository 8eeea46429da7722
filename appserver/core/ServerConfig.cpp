#include "core/ServerConfig.h"

#include <algorithm>
#include <fstream>
#include <sstream>

#include "utils/metrics/PeerAllowList.h"

namespace {

constexpr int kMaxWorkers = 256;
constexpr int kMaxSpellersPerLanguage = 64;
constexpr int kMaxTimeoutMs = 3600 * 1000;
constexpr int kMaxInFlightMiB = 64 * 1024;
constexpr int kMaxCacheEntries = 10 * 1000 * 1000;
constexpr int kMaxSuggestionsLimit = 100;

std::string Trim(const std::string& s) {
    const size_t b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return "";
    const size_t e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

std::string NormalKey(std::string key) {
    std::replace(key.begin(), key.end(), '_', '-');
    return key;
}

int ParseInt(const std::string& key, const std::string& value, int low, int high) {
    size_t used = 0;
    long long n = 0;
    try {
        n = std::stoll(value, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used == 0 || used != value.size() || n < low || n > high)
        throw ConfigError("invalid value for " + key + ": '" + value + "' (expected " +
                          std::to_string(low) + ".." + std::to_string(high) + ")");
    return static_cast<int>(n);
}

bool ParseBool(const std::string& key, const std::string& value) {
    if (value == "1" || value == "true" || value == "yes") return true;
    if (value == "0" || value == "false" || value == "no") return false;
    throw ConfigError("invalid value for " + key + ": '" + value + "' (expected true or false)");
}

std::vector<std::string> SplitList(const std::string& value) {
    std::vector<std::string> items;
    std::stringstream in(value);
    std::string item;
    while (std::getline(in, item, ',')) {
        item = Trim(item);
        if (!item.empty()) items.push_back(item);
    }
    return items;
}

bool IsKnownKey(const std::string& key) {
    static const char* const kKeys[] = {"listen",
                                        "db",
                                        "config",
                                        "aspell-dir",
                                        "hunspell-dir",
                                        "mythes-dir",
                                        "thesaurus",
                                        "languages",
                                        "backend",
                                        "workers",
                                        "spellers-per-language",
                                        "read-timeout-ms",
                                        "request-deadline-ms",
                                        "cache-entries",
                                        "max-suggestions",
                                        "preload",
                                        "header-timeout-ms",
                                        "max-inflight-mb",
                                        "call-deadline-ms",
                                        "suggest-budget-ms",
                                        "max-dictionary-store-mb",
                                        "metrics-listen",
                                        "metrics-allow",
                                        "index-dir"};
    for (const char* known : kKeys)
        if (key == known) return true;
    return false;
}

}  // namespace

std::string ServerConfig::Usage() {
    return "usage: appserver [--listen HOST:PORT] [--db PATH|postgresql://URI] [--config FILE]\n"
           "  [--aspell-dir DIR] [--hunspell-dir DIR] [--mythes-dir DIR] [--thesaurus LANG]\n"
           "  [--languages L1,L2,...] [--backend LANG=aspell|hunspell]... [--workers N]\n"
           "  [--spellers-per-language N] [--read-timeout-ms MS] [--request-deadline-ms MS]\n"
           "  [--cache-entries N] [--max-suggestions N] [--preload]\n"
           "  [--header-timeout-ms MS] [--max-inflight-mb N] [--call-deadline-ms MS]\n"
           "  [--suggest-budget-ms MS] [--max-dictionary-store-mb N]\n"
           "  [--metrics-listen HOST:PORT] [--metrics-allow ADDR[/BITS],...]\n"
           "  [--index-dir DIR|none]\n"
           "Defaults: --listen 127.0.0.1:2880 --db appserver.db, every installed dictionary.\n"
           "   or: appserver --copy-dictionaries FROM TO  (a file or URI each)\n";
}

void ServerConfig::Apply(const std::string& rawKey, const std::string& value) {
    const std::string key = NormalKey(rawKey);
    if (key == "listen") {
        const size_t colon = value.rfind(':');
        if (colon == std::string::npos || colon == 0)
            throw ConfigError("invalid value for listen: '" + value + "' (expected HOST:PORT)");
        std::string host = value.substr(0, colon);
        if (host.size() > 2 && host.front() == '[' && host.back() == ']')
            host = host.substr(1, host.size() - 2);
        listenHost = host;
        listenPort = ParseInt(key, value.substr(colon + 1), 0, 65535);
    } else if (key == "db") {
        dbPath = value;
    } else if (key == "aspell-dir") {
        aspellDir = value;
    } else if (key == "hunspell-dir") {
        hunspellDir = value;
    } else if (key == "mythes-dir") {
        mythesDir = value;
    } else if (key == "thesaurus") {
        thesaurus = value;
    } else if (key == "languages") {
        languages = SplitList(value);
    } else if (key == "backend") {
        const size_t eq = value.find('=');
        const std::string lang = Trim(value.substr(0, eq));
        const std::string name = eq == std::string::npos ? "" : Trim(value.substr(eq + 1));
        if (lang.empty() || (name != "aspell" && name != "hunspell"))
            throw ConfigError("invalid value for backend: '" + value +
                              "' (expected LANG=aspell or LANG=hunspell)");
        backends[lang] = name;
    } else if (key == "workers") {
        workers = ParseInt(key, value, 1, kMaxWorkers);
    } else if (key == "spellers-per-language") {
        spellersPerLanguage = ParseInt(key, value, 1, kMaxSpellersPerLanguage);
    } else if (key == "read-timeout-ms") {
        readTimeoutMs = ParseInt(key, value, 1, kMaxTimeoutMs);
    } else if (key == "request-deadline-ms") {
        requestDeadlineMs = ParseInt(key, value, 1, kMaxTimeoutMs);
    } else if (key == "cache-entries") {
        cacheEntries = ParseInt(key, value, 0, kMaxCacheEntries);
    } else if (key == "max-suggestions") {
        maxSuggestions = ParseInt(key, value, 1, kMaxSuggestionsLimit);
    } else if (key == "header-timeout-ms") {
        headerTimeoutMs = ParseInt(key, value, 1, kMaxTimeoutMs);
    } else if (key == "max-inflight-mb") {
        maxInFlightMiB = ParseInt(key, value, 1, kMaxInFlightMiB);
    } else if (key == "call-deadline-ms") {
        callDeadlineMs = ParseInt(key, value, 1, kMaxTimeoutMs);
    } else if (key == "suggest-budget-ms") {
        suggestBudgetMs = ParseInt(key, value, 0, kMaxTimeoutMs);
    } else if (key == "max-dictionary-store-mb") {
        maxDictionaryStoreMiB = ParseInt(key, value, 1, kMaxInFlightMiB);
    } else if (key == "metrics-listen") {
        metricsListen = value;
    } else if (key == "metrics-allow") {
        if (!PeerAllowList::Parse(value))
            throw ConfigError("invalid value for metrics-allow: '" + value +
                              "' (expected addresses or ADDRESS/BITS, separated by commas)");
        metricsAllow = value;
    } else if (key == "preload") {
        preload = ParseBool(key, value);
    } else if (key == "index-dir") {
        indexDir = value;
    } else {
        throw ConfigError("unknown setting: " + rawKey);
    }
}

void ServerConfig::LoadFile(const std::string& path) {
    std::ifstream in(path);
    if (!in) throw ConfigError("cannot read config file " + path);
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        line = Trim(line);
        if (line.empty() || line[0] == '#') continue;
        const size_t eq = line.find('=');
        if (eq == std::string::npos)
            throw ConfigError(path + ":" + std::to_string(number) + ": expected key = value");
        const std::string key = Trim(line.substr(0, eq));
        if (NormalKey(key) == "config")
            throw ConfigError(path + ":" + std::to_string(number) + ": config cannot nest");
        Apply(key, Trim(line.substr(eq + 1)));
    }
}

bool ServerConfig::Load(int argc, char** argv) {
    std::vector<std::pair<std::string, std::string>> flags;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") return false;
        if (arg.rfind("--", 0) != 0) throw ConfigError("unexpected argument: " + arg);
        arg = arg.substr(2);
        const size_t eq = arg.find('=');
        if (!IsKnownKey(NormalKey(arg.substr(0, eq))))
            throw ConfigError("unknown option --" + arg.substr(0, eq));
        if (eq != std::string::npos) {
            flags.emplace_back(arg.substr(0, eq), arg.substr(eq + 1));
        } else if (NormalKey(arg) == "preload") {
            flags.emplace_back(arg, "true");
        } else {
            if (i + 1 >= argc) throw ConfigError("missing value for --" + arg);
            flags.emplace_back(arg, argv[++i]);
        }
    }
    // The file first, so that the command line wins over it.
    for (const auto& [key, value] : flags)
        if (NormalKey(key) == "config") LoadFile(value);
    for (const auto& [key, value] : flags)
        if (NormalKey(key) != "config") Apply(key, value);
    return true;
}
