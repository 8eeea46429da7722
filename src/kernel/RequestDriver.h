#pragma once
// The per-request driver shared by both programs: starts the watchdog, seeds the stores, runs
// the pipeline once and stops the watchdog.
#include <optional>
#include <string>

#include "kernel/Pipeline.h"
#include "utils/metrics/PeerAllowList.h"

struct ProgramInfo {
    Program program;
    std::string iniName;     // ":ini_name:"
    std::string appName;     // ":app_name:"
    std::string version;     // ":app__ver:"
    std::string serverName;  // InternalData key 22
    Pipeline::Builder buildFilters;
};

namespace release {
inline constexpr char kProductName[] = "Verbarium";
inline constexpr char kEdition[] = "Standard";
inline constexpr char kCopyright[] = "Copyright (c) 2026 the Verbarium developers";
inline constexpr char kWebsite[] = "verbarium.example.org";
inline constexpr char kUrl[] = "https://verbarium.example.org/";
inline constexpr char kPlatform[] = "Linux";
}  // namespace release

// Seeds the string map and InternalData as the driver does before running the pipeline.
void SeedRequest(const ProgramInfo& info, const std::string& appPath, const std::string& cmdLine,
                 StringMap& map, InternalData& data);

// Lets no abort of this process (or of the workers it starts) write a core file.
void ForbidCoreFiles();

// What the metrics count of a request once it ran: its "cmd" parameter and its "Status" header
// value (empty for 200).
struct RequestOutcome {
    std::string command;
    std::string status;
};

// Runs one request with the watchdog limit `watchdogLimitMs`; fills `outcome` when given.
void RunRequest(const ProgramInfo& info, const char* cmdLine, int watchdogLimitMs,
                RequestOutcome* outcome = nullptr);

// How a FastCGI process was asked to run: `listen` empty means a process manager passed the
// listening socket as standard input. `metricsListen` empty: no metrics page.
struct FastCgiOptions {
    std::string listen;
    int workers = 1;
    std::string metricsListen;
    std::string metricsAllow = PeerAllowList::kLoopback;
    bool wellFormed = true;  // false: an unknown option or one without its value
};

// "--fastcgi SPEC [--workers N] [--metrics-listen HOST:PORT] [--metrics-allow LIST]" as the
// first arguments; nullopt when the program runs as CGI.
std::optional<FastCgiOptions> ParseFastCgiOptions(int argc, char** argv);

// The program entry both mains call. As CGI: selects the logger, points it at the hourly debug
// log, runs the one request and ends the process with status 0 once the answer is flushed,
// without static destructors. As FastCGI (standard input is a listening socket, or
// "--fastcgi"): runs each request of the connection the same way, with fresh request state.
int ProgramMain(const ProgramInfo& info, int argc, char** argv);
