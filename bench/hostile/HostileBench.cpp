// Sends hostile requests to orthd.cgi, run as a web server runs it (one process per request,
// body on standard input), with the engine server behind it.
//
// By default every command, at 256 KiB, 1 MiB and 4 MiB (or only --bytes N): a body of mixed
// misspellings, markup and references with the parameters the command reads; for each, the
// wall time, the CPU time of the CGI process and of the engine server, the peak resident memory
// of each (the engine's high-water mark is reset before every request), and the answer's size
// as a ratio of the request's. Growth that is not linear shows as a ratio between the sizes far
// above 4.
//
// With --patterns: the spell command against hostile patterns of one size (default 4 MiB),
// each also as a ratio of a benign request of the same size (prose in correct words).
//
// With --fairness: orthd.cgi as a FastCGI server with --workers N (default 8) processes; 4
// clients send the worst-case request (--heavy COMMAND at --bytes, default grammar at 4 MiB)
// again and again while another client sends 1 KiB spell requests one after another for
// --seconds S (default 20); the same light requests are first sent alone for S seconds. Prints
// the small requests' latency (median, p99, worst) alone and beside the heavy clients.
//
//   hostile_bench [--bytes N] [--orthd path/to/orthd.cgi] [--only name] [--patterns]
//                 [--fairness [--workers N] [--heavy COMMAND] [--seconds S]]
#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "support/FastCgiClient.h"
#include "support/StartedEngineServer.h"

namespace fs = std::filesystem;

namespace {

struct Pattern {
    const char* name;
    const char* command;
    std::string unit;  // repeated, URL-encoded, into "text" (or the body itself when raw)
    bool raw = false;  // the unit fills the body after the parameters, outside "text"
    const char* separator = "+";  // after each numbered word (an empty unit)
};

struct Run {
    double seconds = 0;
    double cpuSeconds = 0;  // of orthd.cgi alone (the rest of the wall time is the engine's)
    long peakKiB = 0;
    size_t answerBytes = 0;
    int status = 0;
    double engineCpuSeconds = 0;
    long enginePeakKiB = 0;
};

// A command and the parameters it reads besides "text" (URL-encoded, each followed by "&").
struct Command {
    const char* name;
    const char* params;
    const char* unit = kMixedUnit;

    static constexpr const char* kMixedUnit =
        "teh+qzx+%3Cb%3Ewrod%3C%2Fb%3E+the+%26amp%3B+house%2C+";
};

constexpr const char* kWordList = "teh%2Cqzx%2Cwrod%2Chouse%2C";
constexpr const char* kDialog = "pos=0&len=3&word=the&igproblem=1&";

// Every command of orthd, with a text that makes it work as hard as its size allows.
const std::vector<Command>& Commands() {
    static const std::vector<Command> commands = {
        {"spell", ""},
        {"check", ""},
        {"spellsuggestall", ""},
        {"suggest", "word=teh&"},
        {"flash_spell", ""},
        {"check_spelling", "version=1.0&"},
        {"spellcheck",
         "callback=dojo.io.script.jsonp_dojoIoScript2._jsonpCallback&words=", kWordList},
        {"sc", "v=2.1&callback=cb&words=", kWordList},
        {"kwirl_spell", "format=json&"},
        {"kwirl_spelltext", ""},
        {"kwirl_suggest", "sug_len=5&", kWordList},
        {"kwirl_add_word", ""},
        {"kwirl_optshow", ""},
        {"dictionary", "action=addword&word=teh&"},
        {"ospshow", ""},
        {"ospsave", ""},
        {"sp_add", kDialog},
        {"sp_ch", kDialog},
        {"sp_ch_all", kDialog},
        {"gr_ch", kDialog},
        {"th_ch", kDialog},
        {"sp_ig", kDialog},
        {"sp_ig_all", kDialog},
        {"gr_ig", kDialog},
        {"gr_ig_all", kDialog},
        {"grammar", ""},
        {"suggram", "problemid=0&"},
        {"thes", ""},
        {"ants", ""},
        {"getthes", "word=house&"},
        {"getants", "word=good&"},
        {"api_version", ""},
        {"default", ""},
        {"eos", ""},
        {"get_lang_list", ""},
        {"get_opt", ""},
        {"languages", ""},
        {"log", ""},
        {"navbar", ""},
        {"script", "name=x&"},
        {"status", ""},
        {"ui_strings", ""},
        {"ver", ""},
        {"xver", ""},
    };
    return commands;
}

std::string CommandBody(const Command& c, size_t bytes) {
    std::string body = std::string("cmd=") + c.name + "&slang=en_US&" + c.params;
    if (std::strstr(c.params, "words=") == nullptr) body += "text=";
    const std::string unit = c.unit;
    while (body.size() + unit.size() <= bytes) body += unit;
    return body;
}

// CPU seconds (user and system) of a process, from /proc.
double CpuSecondsOf(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    std::getline(stat, line);
    const size_t end = line.rfind(')');
    if (end == std::string::npos) return 0;
    std::istringstream fields(line.substr(end + 2));
    std::string field;
    unsigned long long utime = 0, stime = 0;
    for (int n = 3; fields >> field; ++n) {
        if (n == 14) utime = std::stoull(field);
        if (n == 15) {
            stime = std::stoull(field);
            break;
        }
    }
    return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

long PeakKiBOf(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
    return 0;
}

void ResetPeak(pid_t pid) { std::ofstream("/proc/" + std::to_string(pid) + "/clear_refs") << "5"; }

std::string Numbered(size_t n) {  // distinct letter-only words: qa, qb, ..., qba, ...
    std::string word = "q";
    do {
        word += static_cast<char>('a' + n % 26);
        n /= 26;
    } while (n);
    return word;
}

std::string Body(const Pattern& p, size_t bytes) {
    std::string body = std::string("cmd=") + p.command + "&slang=en_US&text=";
    if (p.raw) body += "word&";
    if (!p.unit.empty()) {
        while (body.size() + p.unit.size() <= bytes) body += p.unit;
    } else {
        for (size_t n = 0; body.size() < bytes - 16; ++n) body += Numbered(n) + p.separator;
    }
    return body;
}

// Runs the CGI program on `body`; peak memory from the child's own resource usage.
Run RunCgi(const std::string& program, const std::string& body) {
    int in[2], out[2];
    if (pipe(in) != 0 || pipe(out) != 0) throw std::runtime_error("pipe");
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(in[0], 0);
        dup2(out[1], 1);
        close(in[1]);
        close(out[0]);
        const std::string length = "CONTENT_LENGTH=" + std::to_string(body.size());
        const char* env[] = {"REQUEST_METHOD=POST",
                             length.c_str(),
                             "CONTENT_TYPE=application/x-www-form-urlencoded",
                             "SCRIPT_NAME=/cgi-bin/orthd.cgi",
                             "HTTP_HOST=127.0.0.1",
                             "REMOTE_ADDR=127.0.0.1",
                             nullptr};
        fs::current_path(fs::path(program).parent_path());
        execle(program.c_str(), program.c_str(), nullptr, env);
        _exit(127);
    }
    close(in[0]);
    close(out[1]);
    signal(SIGPIPE, SIG_IGN);
    Run run;
    // The program reads its whole body before it writes: no deadlock writing first.
    for (size_t sent = 0; sent < body.size();) {
        const ssize_t n = write(in[1], body.data() + sent, body.size() - sent);
        if (n <= 0) break;
        sent += static_cast<size_t>(n);
    }
    close(in[1]);
    char buffer[1 << 16];
    for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;)
        run.answerBytes += static_cast<size_t>(n);
    close(out[0]);
    rusage usage{};
    wait4(pid, &run.status, 0, &usage);
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.peakKiB = usage.ru_maxrss;
    run.cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                     static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    return run;
}

std::string Tree(const fs::path& dir, const std::string& orthd, int enginePort) {
    const fs::path data = fs::path(VERBARIUM_SOURCE_DIR) / "data";
    fs::create_directories(dir / "cgi-bin");
    fs::create_directories(dir / "srv" / "logs");
    fs::copy(data / "texts", dir / "texts", fs::copy_options::recursive);
    fs::copy(data / "templates", dir / "templates", fs::copy_options::recursive);
    std::ofstream ini(dir / "cgi-bin" / "orthd.ini");
    // The first occurrence of a key wins: the port goes before the shipped file.
    ini << "appserver_port=" << enginePort << "\n"
        << std::ifstream(data / "cgi-bin" / "orthd.ini").rdbuf();
    const fs::path program = dir / "cgi-bin" / "orthd.cgi";
    fs::copy_file(orthd, program);
    return program.string();
}

// Runs one request with the engine's CPU time and peak memory measured around it.
Run Measure(const std::string& program, const std::string& body, pid_t engine) {
    ResetPeak(engine);
    const double engineBefore = CpuSecondsOf(engine);
    Run run = RunCgi(program, body);
    run.engineCpuSeconds = CpuSecondsOf(engine) - engineBefore;
    run.enginePeakKiB = PeakKiBOf(engine);
    return run;
}

const char* Outcome(const Run& run) {
    if (WIFEXITED(run.status) && WEXITSTATUS(run.status) == 0) return "ok";
    return WIFSIGNALED(run.status) ? "killed" : "failed";
}

void RunPatterns(const std::string& program, size_t bytes, const std::string& only, pid_t engine) {
    const std::vector<Pattern> patterns = {
        {"prose (baseline)", "spell", "the+quick+brown+fox+jumps+over+the+lazy+dog+"},
        {"misspellings", "spell", "qzx+"},
        {"no-break spaces", "spell", "%C2%A0"},
        {"tabs", "spell", "%09"},
        {"ampersands in text", "spell", "%26"},
        {"ampersands in body", "spell", "&", true},
        {"open angles", "spell", "%3C"},
        {"bold tags", "spell", "%3Cb%3E"},
        {"named references", "spell", "%26amp%3B"},
        {"open brackets", "spell", "%5B"},
        {"forum tags", "spell", "%5BB%5D"},
        {"hashes", "spell", "%23"},
        {"check misspellings", "check", "qzx+"},
        {"suggest-all distinct words", "spellsuggestall", ""},
        {"change-all tabs", "sp_ch_all", "%09"},
        {"change-all the word", "sp_ch_all", "the+"},
        {"kwirl_suggest one word", "kwirl_suggest", "teh%2C"},
        {"kwirl_suggest distinct words", "kwirl_suggest", "", false, "%2C"},
        {"grammar problems", "grammar", "a+apple+"},
    };
    std::printf("%-28s %8s %8s %8s %9s %8s  %s\n", "pattern", "seconds", "x base", "cgi cpu",
                "peak MB", "answer/", "status");
    std::printf("%-28s %8s %8s %8s %9s %8s\n", "", "(wall)", "", "seconds", "", "request");
    double base = 0;
    for (const Pattern& p : patterns) {
        if (!only.empty() && base > 0 && std::string(p.name).find(only) == std::string::npos)
            continue;
        std::string body = Body(p, bytes);
        if (std::string(p.command) == "sp_ch_all")
            body.insert(body.find("&text="), "&pos=0&len=3&word=THE");
        const Run run = Measure(program, body, engine);
        if (base == 0) base = run.seconds;
        std::printf("%-28s %8.2f %8.2f %8.2f %9.1f %8.2f  %s\n", p.name, run.seconds,
                    run.seconds / base, run.cpuSeconds, run.peakKiB / 1024.0,
                    static_cast<double>(run.answerBytes) / static_cast<double>(body.size()),
                    Outcome(run));
        std::fflush(stdout);
    }
}

void RunCommands(const std::string& program, const std::vector<size_t>& sizes,
                 const std::string& only, pid_t engine) {
    std::printf("%-16s %5s %7s %7s %7s %8s %8s %8s  %s\n", "command", "KiB", "wall s", "cgi cpu",
                "eng cpu", "cgi MB", "eng MB", "answer/", "status");
    for (const Command& c : Commands()) {
        if (!only.empty() && std::string(c.name) != only) continue;
        for (size_t bytes : sizes) {
            const std::string body = CommandBody(c, bytes);
            const Run run = Measure(program, body, engine);
            std::printf("%-16s %5zu %7.2f %7.2f %7.2f %8.1f %8.1f %8.2f  %s\n", c.name, bytes >> 10,
                        run.seconds, run.cpuSeconds, run.engineCpuSeconds, run.peakKiB / 1024.0,
                        run.enginePeakKiB / 1024.0,
                        static_cast<double>(run.answerBytes) / static_cast<double>(body.size()),
                        Outcome(run));
            std::fflush(stdout);
        }
    }
}

struct FairnessOptions {
    int workers = 8;
    std::string heavy = "grammar";
    size_t heavyBytes = 4u << 20;
    int seconds = 20;
    static constexpr int kHeavyClients = 4;
    static constexpr size_t kLightBytes = 1024;
};

std::map<std::string, std::string> PostParams(const std::string& body) {
    return {{"REQUEST_METHOD", "POST"},
            {"CONTENT_LENGTH", std::to_string(body.size())},
            {"CONTENT_TYPE", "application/x-www-form-urlencoded"},
            {"SCRIPT_NAME", "/cgi-bin/orthd.cgi"},
            {"HTTP_HOST", "127.0.0.1"},
            {"REMOTE_ADDR", "127.0.0.1"}};
}

int FreeLoopbackPort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    bind(fd, reinterpret_cast<sockaddr*>(&address), size);
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
    close(fd);
    return ntohs(address.sin_port);
}

pid_t StartFastCgi(const std::string& program, int port, int workers) {
    const pid_t pid = fork();
    if (pid == 0) {
        fs::current_path(fs::path(program).parent_path());
        const std::string listen = "127.0.0.1:" + std::to_string(port);
        const std::string count = std::to_string(workers);
        execl(program.c_str(), program.c_str(), "--fastcgi", listen.c_str(), "--workers",
              count.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    return pid;
}

double Percentile(std::vector<double> values, double fraction) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const auto at = static_cast<size_t>(fraction * static_cast<double>(values.size() - 1) + 0.5);
    return values[std::min(at, values.size() - 1)];
}

struct Latencies {
    std::vector<double> seconds;
    int failed = 0;
};

// 1 KiB spell requests one after another for `seconds`.
Latencies SendLight(int port, const std::string& light, int seconds) {
    Latencies out;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (std::chrono::steady_clock::now() < end) {
        const auto start = std::chrono::steady_clock::now();
        const auto result = testsupport::FastCgiRequest(static_cast<unsigned short>(port),
                                                        PostParams(light), light);
        out.seconds.push_back(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        if (!result.completed || result.output.find("Content-Type") == std::string::npos ||
            result.output.find("Status: 5") != std::string::npos)
            ++out.failed;
    }
    return out;
}

void PrintLight(const char* phase, const Latencies& l) {
    std::printf("  %-26s %6zu requests, %d failed, median %.3f s, p99 %.3f s, worst %.3f s\n",
                phase, l.seconds.size(), l.failed, Percentile(l.seconds, 0.5),
                Percentile(l.seconds, 0.99), Percentile(l.seconds, 1.0));
}

void RunFairness(const std::string& program, const FairnessOptions& o) {
    const int port = FreeLoopbackPort();
    const pid_t server = StartFastCgi(program, port, o.workers);
    const std::string light = CommandBody({"spell", ""}, FairnessOptions::kLightBytes);
    for (int tries = 0; tries < 100 && !testsupport::FastCgiRequest(
                                            static_cast<unsigned short>(port), PostParams(light))
                                            .completed;
         ++tries)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    // The same requests first alone, then beside the heavy clients: the ratio of the two.
    const Latencies alone = SendLight(port, light, o.seconds);
    const Command* heavyCommand = &Commands().front();
    for (const Command& c : Commands())
        if (o.heavy == c.name) heavyCommand = &c;
    const std::string heavy = CommandBody(*heavyCommand, o.heavyBytes);
    std::atomic<bool> stop{false};
    std::atomic<int> heavyDone{0};
    std::atomic<int> heavyFailed{0};
    std::vector<std::thread> heavyClients;
    for (int i = 0; i < FairnessOptions::kHeavyClients; ++i)
        heavyClients.emplace_back([&] {
            while (!stop.load()) {
                const auto result = testsupport::FastCgiRequest(static_cast<unsigned short>(port),
                                                                PostParams(heavy), heavy);
                ++heavyDone;
                // An error page: the engine refused the call as busy, or the CPU limit ended it.
                if (!result.completed || result.output.find("<error>") != std::string::npos)
                    ++heavyFailed;
            }
        });
    const Latencies loaded = SendLight(port, light, o.seconds);
    stop = true;
    for (auto& t : heavyClients) t.join();
    kill(server, SIGTERM);
    waitpid(server, nullptr, 0);
    std::printf("workers %d; 1 KiB spell requests from one client, %d s each:\n", o.workers,
                o.seconds);
    PrintLight("alone", alone);
    PrintLight("beside the heavy clients", loaded);
    std::printf(
        "  p99 beside / alone: %.2f; %d clients sending %s of %zu KiB: %d answered, %d of "
        "them failed\n",
        Percentile(loaded.seconds, 0.99) / Percentile(alone.seconds, 0.99),
        FairnessOptions::kHeavyClients, o.heavy.c_str(), o.heavyBytes >> 10, heavyDone.load(),
        heavyFailed.load());
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<size_t> sizes = {256u << 10, 1u << 20, 4u << 20};
    std::string orthd = ORTHD_CGI;
    std::string only;
    bool patterns = false;
    bool fairness = false;
    FairnessOptions fair;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--patterns") patterns = true;
        if (arg == "--fairness") fairness = true;
        if (i + 1 >= argc) continue;
        if (arg == "--workers") fair.workers = std::stoi(argv[i + 1]);
        if (arg == "--heavy") fair.heavy = argv[i + 1];
        if (arg == "--seconds") fair.seconds = std::stoi(argv[i + 1]);
        if (arg == "--bytes") sizes = {std::stoul(argv[i + 1])};
        if (arg == "--orthd") orthd = argv[i + 1];
        if (arg == "--only") only = argv[i + 1];
    }
    const fs::path dir = fs::temp_directory_path() / ("hostile_bench." + std::to_string(getpid()));
    fs::create_directories(dir);
    auto engine = testsupport::StartedEngineServer::Start(
        APPSERVER_BIN, (dir / "engine.db").string(), {"--languages", "en_US"});
    if (engine.port == 0) {
        std::fprintf(stderr, "the engine server did not start:\n%s\n", engine.log.c_str());
        return 1;
    }
    // The engine's log is read away, so that it never blocks on a full pipe.
    std::thread([fd = engine.stderrFd] {
        char sink[4096];
        while (read(fd, sink, sizeof sink) > 0) {
        }
    }).detach();
    const std::string program = Tree(dir, orthd, engine.port);
    if (fairness) {
        if (sizes.size() == 1) fair.heavyBytes = sizes[0];
        RunFairness(program, fair);
    } else if (patterns)
        RunPatterns(program, sizes.size() == 1 ? sizes[0] : 4u << 20, only, engine.pid);
    else
        RunCommands(program, sizes, only, engine.pid);
    kill(engine.pid, SIGTERM);
    waitpid(engine.pid, nullptr, 0);
    fs::remove_all(dir);
    return 0;
}
