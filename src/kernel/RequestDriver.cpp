#include "kernel/RequestDriver.h"

#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string_view>

#include "client/CAppServerClient.h"
#include "kernel/FastCgiServer.h"
#include "kernel/ModulePath.h"
#include "kernel/ServerRedirectInfo.h"
#include "kernel/TimeGuard.h"
#include "utils/FileCache.h"
#include "utils/InternalDataKeys.h"
#include "utils/logging/Logger.h"

namespace {

constexpr char kFastCgiOption[] = "--fastcgi";
constexpr char kWorkersOption[] = "--workers";
// More than the heavy requests expected at once, so that small ones find a free worker.
constexpr int kDefaultWorkers = 6;
constexpr size_t kCgiOutputBufferBytes = 64 * 1024;

// What a request of a persistent process must not inherit from the one before: the settings'
// engine redirects and the engine client's address.
void ForgetEarlierRequest() {
    ServerRedirectInfo::Process() = ServerRedirectInfo();
    AppServerUninit();
}

// One FastCGI request: the hourly debug log is chosen again, as a CGI process would.
void ServeOne(const ProgramInfo& info, const std::string& moduleDir) {
    ForgetEarlierRequest();
    GetLogger().Init(DebugLogPath(moduleDir));
    RunRequest(info, "", TimeGuard::kWatchdogLimitMs);
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
    auto serveOne = [&] { ServeOne(info, moduleDir); };
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
    if (argc >= 5 && std::string_view(argv[3]) == kWorkersOption)
        options.workers = std::atoi(argv[4]);
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

void RunRequest(const ProgramInfo& info, const char* cmdLine, int watchdogLimitMs) {
    TimeGuard guard(watchdogLimitMs);
    guard.Start();
    {
        StringMap map;
        InternalData data;
        Pipeline pipeline(info.program, info.buildFilters);
        SeedRequest(info, ModuleDirectory(), cmdLine ? cmdLine : "", map, data);
        pipeline.apply(map, data);
    }
    guard.Stop();
}

int ProgramMain(const ProgramInfo& info, int argc, char** argv) {
    ForbidCoreFiles();
    if (auto options = ParseFastCgiOptions(argc, argv)) {
        if (options->listen.empty() || options->workers < 1) {
            std::fprintf(stderr, "usage: %s --fastcgi HOST:PORT|unix:PATH [--workers N]\n",
                         argv[0]);
            return 2;
        }
        return ServeFastCgi(info, *options);
    }
    if (FastCgiServer::StartedByManager()) return ServeFastCgi(info, FastCgiOptions{});
    // The whole answer in one write where it fits: the web server reads it at one wake-up.
    static char outputBuffer[kCgiOutputBufferBytes];
    std::setvbuf(stdout, outputBuffer, _IOFBF, sizeof outputBuffer);
    GetLogger().Init(DebugLogPath(ModuleDirectory()));
    RunRequest(info, argc >= 2 ? argv[1] : "", TimeGuard::kWatchdogLimitMs);
    EndCgiProcess();
}
