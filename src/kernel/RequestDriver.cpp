#include "kernel/RequestDriver.h"

#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>
#include <stdexcept>
#include <string_view>

#include "client/CAppServerClient.h"
#include "kernel/FastCgiServer.h"
#include "kernel/ModulePath.h"
#include "kernel/RequestMetrics.h"
#include "kernel/ServerRedirectInfo.h"
#include "kernel/TimeGuard.h"
#include "utils/FileCache.h"
#include "utils/HeapSettings.h"
#include "utils/InternalDataKeys.h"
#include "utils/logging/Logger.h"
#include "utils/metrics/MetricsEndpoint.h"

namespace {

constexpr char kFastCgiOption[] = "--fastcgi";
constexpr char kWorkersOption[] = "--workers";
constexpr char kMetricsListenOption[] = "--metrics-listen";
constexpr char kMetricsAllowOption[] = "--metrics-allow";
// More than the heavy requests expected at once, so that small ones find a free worker.
constexpr int kDefaultWorkers = 6;
constexpr size_t kCgiOutputBufferBytes = 64 * 1024;

// What a request of a persistent process must not inherit from the one before: the settings'
// engine redirects and the engine client's address.
void ForgetEarlierRequest() {
    ServerRedirectInfo::Process() = ServerRedirectInfo();
    AppServerUninit();
}

// One FastCGI request: the hourly debug log is chosen again, as a CGI process would. Recorded in
// `metrics` when there are any (a request the watchdog ends is not).
void ServeOne(const ProgramInfo& info, const std::string& moduleDir,
              const RequestMetrics* metrics) {
    ForgetEarlierRequest();
    GetLogger().Init(DebugLogPath(moduleDir));
    if (!metrics) return RunRequest(info, "", TimeGuard::kWatchdogLimitMs);
    const CAppServerClient& client = CAppServerClient::Instance();
    const std::uint64_t failures = client.failures();
    const std::uint64_t failovers = client.failovers();
    const auto start = std::chrono::steady_clock::now();
    RequestOutcome outcome;
    RunRequest(info, "", TimeGuard::kWatchdogLimitMs, &outcome);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    metrics->Record(outcome.command, outcome.status, took.count(), client.failures() - failures,
                    client.failovers() - failovers);
}

// The workers' metrics, served from a process of its own forked before the workers: it shares
// their counters, no stalled scrape or watchdog abort of a worker touches it, and it ends with
// the parent. Null (after a message) when the address or the shared memory cannot be had.
std::unique_ptr<RequestMetrics> StartMetricsProcess(const ProgramInfo& info,
                                                    const FastCgiOptions& options) {
    try {
        auto metrics = std::make_unique<RequestMetrics>(info.appName,
                                                        CommandRegistry::Of(info.program).Names());
        const RequestMetrics& shared = *metrics;
        const auto allow = PeerAllowList::Parse(options.metricsAllow);
        MetricsEndpoint endpoint(options.metricsListen, *allow,
                                 [&shared] { return shared.Render(); });
        const pid_t parent = getpid();
        const pid_t pid = fork();
        if (pid < 0) throw std::runtime_error("cannot start the metrics process");
        if (pid == 0) {
            FastCgiServer::EndWithParent(parent);
            std::signal(SIGTERM, SIG_DFL);
            std::signal(SIGINT, SIG_DFL);
            std::signal(SIGPIPE, SIG_IGN);
            endpoint.Serve();
            _exit(0);
        }
        std::fprintf(stderr, "%s: metrics on %s (port %d, readers %s)\n", info.appName.c_str(),
                     options.metricsListen.c_str(), endpoint.port(), options.metricsAllow.c_str());
        return metrics;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n", info.appName.c_str(), e.what());
        return nullptr;
    }
}

// The size of a CGI request as the web server announces it: the body's declared length and the
// query string. A missing or malformed length counts as none (the request stage judges it).
unsigned long long CgiRequestBytes() {
    unsigned long long bytes = 0;
    if (const char* length = std::getenv("CONTENT_LENGTH")) {
        char* end = nullptr;
        errno = 0;
        const unsigned long long value = std::strtoull(length, &end, 10);
        if (errno == 0 && end != length && *end == '\0' && *length != '-') bytes = value;
    }
    if (const char* query = std::getenv("QUERY_STRING")) bytes += std::strlen(query);
    return bytes;
}

int ServeFastCgi(const ProgramInfo& info, const FastCgiOptions& options) {
    const std::string moduleDir = ModuleDirectory();
    GetLogger().Init(DebugLogPath(moduleDir));
    // INI files, texts and templates stay in memory while they are unchanged on disk.
    FileCache::Process().keep(true);
    // Web servers start a CGI program in its own folder, and relative paths in the INI file
    // ("../templates/") count from there: a FastCGI process works from the same place.
    if (chdir(moduleDir.c_str()) != 0)
        report_error("*WARNING* cannot change to the program's folder %s", moduleDir.c_str());
    std::unique_ptr<RequestMetrics> metrics;
    if (!options.metricsListen.empty()) {
        metrics = StartMetricsProcess(info, options);
        if (!metrics) return 1;
    }
    auto serveOne = [&] { ServeOne(info, moduleDir, metrics.get()); };
    if (options.listen.empty()) {
        FastCgiServer(0).Serve(serveOne);
        return 0;
    }
    const int fd = FastCgiServer::OpenListener(options.listen);
    if (fd < 0) {
        std::fprintf(stderr, "%s: cannot listen on %s: %s\n", info.appName.c_str(),
                     options.listen.c_str(), std::strerror(errno));
        return 1;
    }
    std::fprintf(stderr, "%s: FastCGI on %s, %d workers\n", info.appName.c_str(),
                 options.listen.c_str(), options.workers);
    return FastCgiServer(fd).Supervise(options.workers, serveOne);
}

// The answer is complete once the streams are flushed (log lines are written as they come).
// What is left would only tidy memory the kernel takes back anyway: static destructors and exit
// handlers cost a CGI process a noticeable share of its short life.
[[noreturn]] void EndCgiProcess() {
    std::cout.flush();
    std::fflush(nullptr);
    std::_Exit(0);
}

}  // namespace

void ForbidCoreFiles() {
    // A watchdog abort must leave no core file beside the program: it holds the request's text
    // and cookies, and the program's folder is a served one.
    const rlimit none{0, 0};
    setrlimit(RLIMIT_CORE, &none);
    prctl(PR_SET_DUMPABLE, 0, 0, 0, 0);  // also where cores are piped to a collector
}

std::optional<FastCgiOptions> ParseFastCgiOptions(int argc, char** argv) {
    if (argc < 2 || std::string_view(argv[1]) != kFastCgiOption) return std::nullopt;
    FastCgiOptions options;
    options.workers = kDefaultWorkers;
    if (argc >= 3) options.listen = argv[2];
    for (int i = 3; i < argc; i += 2) {
        const std::string_view name = argv[i];
        if (i + 1 >= argc) {
            options.wellFormed = false;
        } else if (name == kWorkersOption) {
            options.workers = std::atoi(argv[i + 1]);
        } else if (name == kMetricsListenOption) {
            options.metricsListen = argv[i + 1];
        } else if (name == kMetricsAllowOption) {
            options.metricsAllow = argv[i + 1];
        } else {
            options.wellFormed = false;
        }
    }
    if (!PeerAllowList::Parse(options.metricsAllow)) options.wellFormed = false;
    return options;
}

void SeedRequest(const ProgramInfo& info, const std::string& appPath, const std::string& cmdLine,
                 StringMap& map, InternalData& data) {
    map[":app_path:"] = appPath;
    map[":ini_name:"] = info.iniName;
    map[":app_name:"] = info.appName;
    map[":app_platform:"] = release::kPlatform;
    map[":app__ver:"] = info.version;
    map[":cmd_line:"] = cmdLine;
    map["product_copyright"] = release::kCopyright;
    map["product_website"] = release::kWebsite;
    map["product_url"] = release::kUrl;
    data.Insert<std::string>(idkey::ServerName, info.serverName);
}

void RunRequest(const ProgramInfo& info, const char* cmdLine, int watchdogLimitMs,
                RequestOutcome* outcome) {
    TimeGuard guard(watchdogLimitMs);
    guard.Start();
    {
        StringMap map;
        InternalData data;
        Pipeline pipeline(info.program, info.buildFilters);
        SeedRequest(info, ModuleDirectory(), cmdLine ? cmdLine : "", map, data);
        pipeline.apply(map, data);
        if (outcome) {
            outcome->command = map["cmd"];
            if (data.Find(idkey::HttpStatus))
                outcome->status = data.Get<std::string>(idkey::HttpStatus);
        }
    }
    guard.Stop();
}

int ProgramMain(const ProgramInfo& info, int argc, char** argv) {
    ForbidCoreFiles();
    if (auto options = ParseFastCgiOptions(argc, argv)) {
        if (options->listen.empty() || options->workers < 1 || !options->wellFormed) {
            std::fprintf(stderr,
                         "usage: %s --fastcgi HOST:PORT|unix:PATH [--workers N]\n"
                         "  [--metrics-listen HOST:PORT] [--metrics-allow ADDR[/BITS],...]\n",
                         argv[0]);
            return 2;
        }
        return ServeFastCgi(info, *options);
    }
    if (FastCgiServer::StartedByManager()) return ServeFastCgi(info, FastCgiOptions{});
    // The whole answer in one write where it fits: the web server reads it at one wake-up.
    static char outputBuffer[kCgiOutputBufferBytes];
    std::setvbuf(stdout, outputBuffer, _IOFBF, sizeof outputBuffer);
    HeapSettings::PrepareForOneRequest(CgiRequestBytes());
    GetLogger().Init(DebugLogPath(ModuleDirectory()));
    RunRequest(info, argc >= 2 ? argv[1] : "", TimeGuard::kWatchdogLimitMs);
    EndCgiProcess();
}
